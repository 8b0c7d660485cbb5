#pragma once
// What the counter needs of the widget window and the windows it owns: the strip's labels,
// shapes, gauge colours and menu states, the window colour that serves as the connected flag, the
// tray icon, the detail window and its grid, the dialogs and the help window. The widget window
// implements it; tests script it.

#include "counter/colors.h"
#include "netstats/detail_grid.h"
#include "platform/system_types.h"

#include <QString>
#include <optional>

class CounterView {
public:
    virtual ~CounterView() = default;

    // The widget window's colour: clRed while connected, clGreen while disconnected.
    virtual TColor Color() const = 0;
    virtual void SetColor(TColor color) = 0;
    virtual void SetLabel1(const QString& text) = 0; // cumulated time
    virtual void SetLabel2(const QString& text) = 0; // total throughput
    virtual void SetLabel8(const QString& text) = 0; // connection time or "Déconnecté"
    virtual void SetShape1Color(TColor color) = 0;   // the state mark
    virtual bool Shape2Visible() const = 0;          // the alarm square
    virtual void SetShape2Visible(bool visible) = 0;
    virtual void SetGaugeColors(TColor fore, TColor back) = 0;
    // The enabled states of "Décrocher" and "Raccrocher".
    virtual void SetDialEnabled(bool dial, bool hangUp) = 0;
    // One of the three animation frames, or the application's own icon, in the tray and as the
    // window's icon.
    virtual void ShowTrayFrame(int frame) = 0;
    virtual void ShowApplicationIcon() = 0;
    virtual HWND Handle() = 0;

    // The detail window: its grid, the sampler's fills into it, its two labels.
    virtual const DetailGrid& Grid() const = 0;
    virtual void CaptureMIBData(bool flag) = 0;
    virtual void SetDetailLabel1(const QString& text) = 0; // total throughput
    virtual void SetDetailLabel2(const QString& text) = 0; // reset day and month

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
    virtual void ShowHelpWindow() = 0;
    // Shows the widget window again and ends the program.
    virtual void Terminate() = 0;
};
