// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The widget window: the strip with its labels, state mark, alarm square and gauge, the pop-up
// menu through which every command is reached, and the two timers. Its handlers keep their names
// and hand the counter's work over to Counter, for which it is the CounterView.

#include "counter/counter.h"
#include "netstats/traffic_sampler.h"
#include "shell/history_module.h"
#include "shell/history_process.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class TPiconeBarreTache;
class TForm2;
class TForm4;
class TVerAboutBox;

namespace Ui {
class TForm1;
}

class TForm1 : public QWidget, public CounterView {
    Q_OBJECT

public:
    // The splash, if still open, is the About box until it closes.
    explicit TForm1(TVerAboutBox* splash, QWidget* parent = nullptr);
    ~TForm1() override;

    void setVisible(bool visible) override;

    TPiconeBarreTache& PiconeBarreTache1() { return *piconeBarreTache1_; }
    QMenu* PopupMenu1() const { return popupMenu1_; }
    // Whether the program was ended, possibly during the start-up, before its main loop ran.
    bool Terminated() const { return terminated_; }
    // The menu item of that name ("Dcrocher1", "Quitter1", ...).
    QAction* MenuItem(const char* name) const;
    // The detail and help windows once made (at their first showing); null before.
    TForm2* DetailWindow() const { return detail_.get(); }
    TForm4* HelpWindow() const { return help_.get(); }
    // Where the history's module is looked for; by default platform::ModuleFolders().
    void SetHistoryModuleFolders(QStringList folders) { historyFolders_ = std::move(folders); }
    // The history window's process (see HistoryProcess).
    HistoryProcess& History() { return history_; }

    // CounterView
    Look CurrentLook() const override { return look_; }
    void ShowLook(Look look) override;
    void ShowCumulatedTime(const QString& text) override;
    void ShowConnectionTime(const QString& text) override;
    void ShowThroughput(const QString& text) override;
    void ShowAlarm(bool shown) override;
    void SetDialEnabled(bool dial, bool hangUp) override;
    void ShowTrayFrame(int frame) override;
    void ShowApplicationIcon() override;
    HWND Handle() override;
    const DetailGrid& Grid() const override;
    void CaptureMIBData(bool flag) override;
    void ShowResetDayAndMonth(const QString& text) override;
    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool Confirm(const QString& text) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& value) override;
    std::optional<BillingRule> AskBillingRule(const BillingRule& rule) override;
    void ShowHelpWindow() override;
    void Terminate() override;

public slots:
    void Timer1Timer();
    void FormClick();
    void Voirledtaildesconnexions1Click();
    void Historiquedesconnexions1Click();
    void Rinitialiserlecompteur1Click();
    void Changer1Click();
    void Voir1Click();
    void Fixerleforfait1Click();
    void Fixerleforfaitdevolume1Click();
    void Rglesdefacturation1Click();
    void Corrigerlecompteur1Click();
    void Rduite1Click();
    void Dcrocher1Click();
    void Raccrocher1Click();
    void Quitter1Click();
    void Timer2Timer();
    void SkinForm1MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void origineClick();
    void origineMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void WatchTerminationRequests();
    void FormResize();
    void MoveTo(int left, int top);
    void PaintGaugeOnlyOnScreen();
    int Drifted(int left, qint64 ticks) const;
    void Drift(int left);
    void SelectMoveNotifications(bool selected);
    QPoint DevicePosition(QPoint logical) const;
    void LoadComponents();
    void CreatePopupMenu1();
    void ShowHistoryInstalled();
    CounterFacts HistoryFacts() const;
    TForm2& Detail();
    TForm4& Help();
    TVerAboutBox& AboutBox();
    void GoesWhenClosed(QWidget* window);
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const std::function<void()>& handler);

    std::unique_ptr<Ui::TForm1> ui_;
    // The About box is deleted when it closes, and made again when asked for.
    QPointer<TVerAboutBox> aboutBox_;
    // The detail and help windows are made when first shown: most sessions never show them, and
    // made hidden at the start they would hold their widgets, text and fonts all along.
    DetailGrid grid_;
    QString throughput_;
    QString resetDayAndMonth_;
    std::unique_ptr<TForm2> detail_;
    std::unique_ptr<TForm4> help_;
    // Started when shown, in a process of its own that ends when the window closes: the history
    // costs nothing to a session that does not look at it, and nothing once it was closed.
    HistoryProcess history_;
    QStringList historyFolders_;
    TrafficSampler sampler_;
    Counter counter_;
    QTimer timer1_;
    QTimer timer2_;
    QMenu* popupMenu1_ = nullptr;
    TPiconeBarreTache* piconeBarreTache1_ = nullptr;
    // The connected flag, shown as the window's colour; before the first tick the design's.
    Look look_ = Look::Design;
    // The window's left as the drift moves it, and its top as the handlers set it: hidden (strip
    // above the screen) or revealed.
    int left_ = 0;
    int top_ = 0;
    // Whether the display tells the window of its moves (see SelectMoveNotifications).
    bool moveNotifications_ = true;
    // Shown again after "Masquer", until the next tick puts it where its drift took it.
    bool placing_ = false;
    // Since when "Masquer" hides the strip; invalid while it is shown.
    QElapsedTimer hiddenFor_;
    bool terminated_ = false;
};
