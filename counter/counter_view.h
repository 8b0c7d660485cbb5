// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the counter needs of the widget window and the windows it owns: the times and throughput
// shown, the look (connected or not), the plan alarm and menu states, the tray icon, the detail
// window's grid, the dialogs and the help window. The widget window implements it; tests script it.

#include "counter/billing.h"
#include "netstats/detail_grid.h"
#include "platform/system_types.h"

#include <QString>
#include <optional>

// The tray's animation frames that a connection cycles through.
inline constexpr int kTrayFrameCount = 3;

class CounterView {
public:
    virtual ~CounterView() = default;

    // How the strip shows the connection (the window's colour, the state mark, the gauge's
    // colours), which is also the connected flag that the reload and "Quitter" read. Before the
    // first tick the strip has its design's look, neither connected nor disconnected.
    enum class Look { Design, Connected, Disconnected };
    virtual Look CurrentLook() const = 0;
    virtual void ShowLook(Look look) = 0;
    // The time cumulated since the reset, or the plan warning.
    virtual void ShowCumulatedTime(const QString& text) = 0;
    // The running connection's time, or "Déconnecté".
    virtual void ShowConnectionTime(const QString& text) = 0;
    // The total throughput, on the strip and in the detail window.
    virtual void ShowThroughput(const QString& text) = 0;
    // The plan alarm in its blink phase: shown or not.
    virtual void ShowAlarm(bool shown) = 0;
    // The enabled states of "Décrocher" and "Raccrocher".
    virtual void SetDialEnabled(bool dial, bool hangUp) = 0;
    // One of the three animation frames, or the application's own icon, in the tray and as the
    // window's icon.
    virtual void ShowTrayFrame(int frame) = 0;
    virtual void ShowApplicationIcon() = 0;
    virtual HWND Handle() = 0;

    // The detail window: its grid, the sampler's fills into it, the reset day and month.
    virtual const DetailGrid& Grid() const = 0;
    virtual void CaptureMIBData(bool flag) = 0;
    virtual void ShowResetDayAndMonth(const QString& text) = 0;

    // The message box and the standard error box: both return at once, the box staying open
    // until the user closes it.
    virtual void ShowMessage(const QString& text) = 0;
    virtual void ShowError(const QString& text) = 0;
    // Modal dialogs, during which the timers keep ticking.
    // The confirmation dialog; true for "&Oui".
    virtual bool Confirm(const QString& text) = 0;
    // The edited text on "OK", nothing on "Annuler".
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                            const QString& value) = 0;
    // The dialog of the billing rules, showing rule: the rule on "OK", nothing on "Annuler".
    virtual std::optional<BillingRule> AskBillingRule(const BillingRule& rule) = 0;
    virtual void ShowHelpWindow() = 0;
    // Shows the widget window again and ends the program.
    virtual void Terminate() = 0;
};
