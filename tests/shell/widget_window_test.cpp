// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/widget_window.h"

#include "counter/counter_files.h"
#include "counter/settings.h"
#include "info/help_window.h"
#include "info/ver_about_box.h"
#include "platform/fake/fake_platform.h"
#include "shell/application.h"
#include "shell/bar_gauge.h"
#include "shell/billing_dialog.h"
#include "shell/colors.h"
#include "shell/detail_window.h"
#include "shell/picone_barre_tache.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/working_directory.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <memory>

namespace {

// The program's windows in their start-up order, over a WAN adapter the fake reports.
class WidgetWindow : public InTemporaryDirectory {
protected:
    platform::FakePlatform fake;
    platform::ScopedPlatform installed{fake};
    QStringList failures;
    std::unique_ptr<TForm1> form;

    WidgetWindow() {
        SetErrorPresenter([this](const QString& message) { failures << message; });
        Put(kResetDayFileName, "1\r\n");
        fake.addInterface(1, "ppp0 - Interface WAN (PPP)");
        form = std::make_unique<TForm1>(nullptr);
    }
    ~WidgetWindow() override {
        EXPECT_EQ(failures, QStringList{});
        SetErrorPresenter({});
    }

    template <typename Control> Control* Find(const char* name) const {
        return form->findChild<Control*>(name);
    }
    void Tick(bool connected) {
        fake.connected = connected;
        form->Timer1Timer();
    }
    // Delivered where the window system would: to the topmost control under the pointer that
    // takes mouse input.
    void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at) {
        QWidget* target = form->childAt(at);
        ASSERT_NE(target, nullptr);
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
        QMouseEvent event(type, target->mapFrom(form.get(), at), form->mapToGlobal(at), changed,
                          held, shift);
        QApplication::sendEvent(target, &event);
    }
};

TEST_F(WidgetWindow, AnimationTickCyclesTheGaugeDriftsTheStripAndHidesTheTaskbarEntry) {
    const int width = form->screen()->geometry().width();
    const struct {
        int left, progress, nextLeft, nextProgress;
    } cases[] = {{0, 0, 1, 1}, {width - 236, 9, width - 235, 10}, {width - 235, 10, 0, 0}};
    auto* gauge = Find<TBarGauge>("Gauge1");
    for (const auto& c : cases) {
        form->move(c.left, -48);
        gauge->SetProgress(c.progress);
        form->Timer2Timer();
        EXPECT_EQ(form->pos(), QPoint(c.nextLeft, -48)) << "from " << c.left;
        EXPECT_EQ(gauge->Progress(), c.nextProgress) << "from " << c.progress;
    }
    // The taskbar entry a left press on the tray icon brought back goes at the next tick.
    TPiconeBarreTache& tray = form->PiconeBarreTache1();
    tray.PourHandle().WMTrayIcon(TPourHandle::WM_LBUTTONDOWN);
    EXPECT_EQ(tray.TaskbarEntry(), true);
    form->Timer2Timer();
    EXPECT_EQ(tray.TaskbarEntry(), false);
}

TEST_F(WidgetWindow, TheTongueRevealsTheStripAndTheSkinHidesIt) {
    enum Action { Click, Press, Move };
    const QPoint handle(45, 60), tip(45, 80), bareSkin(100, 10), gauge(200, 4), label1(100, 38);
    const struct {
        const char* name;
        bool alarm, revealed;
        Action action;
        Qt::MouseButton button;
        Qt::KeyboardModifiers shift;
        QPoint at;
        int top;
        bool detailShown;
    } cases[] = {
        {"left click on the handle", false, false, Click, Qt::LeftButton, {}, handle, 48, false},
        {"click on the tip", false, false, Click, Qt::LeftButton, {}, tip, -48, false},
        {"click on the alarm square", true, false, Click, Qt::LeftButton, {}, handle, -48, false},
        {"Ctrl right press", false, false, Press, Qt::RightButton, Qt::ControlModifier, handle, -48,
         true},
        {"move over the bare skin", false, true, Move, Qt::NoButton, {}, bareSkin, -48, false},
        {"move over the gauge", false, true, Move, Qt::NoButton, {}, gauge, -48, false},
        {"move over a label", false, true, Move, Qt::NoButton, {}, label1, 48, false},
    };
    for (const auto& c : cases) {
        form->SkinForm1MouseMove({}, 0, 0);
        if (c.revealed) {
            form->origineClick();
        }
        form->ShowAlarm(c.alarm);
        if (form->DetailWindow() != nullptr) {
            form->DetailWindow()->hide();
        }
        if (c.action != Move) {
            Mouse(QEvent::MouseButtonPress, c.button, c.shift, c.at);
        }
        if (c.action != Press) {
            Mouse(c.action == Click ? QEvent::MouseButtonRelease : QEvent::MouseMove, c.button,
                  c.shift, c.at);
        }
        EXPECT_EQ(form->y(), c.top) << c.name;
        // Above the screen the gauge is out of sight and left unpainted.
        EXPECT_EQ(Find<TBarGauge>("Gauge1")->updatesEnabled(), c.top > 0) << c.name;
        EXPECT_EQ(form->DetailWindow() != nullptr && form->DetailWindow()->isVisible(),
                  c.detailShown)
            << c.name;
    }
}

// A window manager that holds the hidden strip on the screen, or lets it down later than asked:
// the gauge is painted where the window really is, a window no bigger than the skin.
TEST_F(WidgetWindow, TheGaugeFollowsWhereTheDisplayHoldsTheStrip) {
    form->show();
    EXPECT_EQ(form->size(), QSize(264, 86));
    form->SkinForm1MouseMove({}, 0, 0);
    EXPECT_FALSE(Find<TBarGauge>("Gauge1")->updatesEnabled());
    form->move(form->x(), 0);
    EXPECT_TRUE(Find<TBarGauge>("Gauge1")->updatesEnabled());
}

TEST_F(WidgetWindow, MasquerFollowsItsCheckMarkNotTheWindow) {
    form->show();
    QAction* masquer = form->MenuItem("Rduite1");
    const struct {
        const char* step;
        bool checked, visible;
    } steps[] = {{"Masquer", true, false},
                 {"tray", true, true},
                 {"Masquer", false, true},
                 {"Masquer", true, false}};
    for (const auto& s : steps) {
        if (QString(s.step) == "tray") {
            form->PiconeBarreTache1().PourHandle().WMTrayIcon(TPourHandle::WM_LBUTTONDOWN);
        } else {
            masquer->trigger();
        }
        EXPECT_EQ(masquer->isChecked(), s.checked) << s.step;
        EXPECT_EQ(form->isVisible(), s.visible) << s.step;
    }
}

// The offscreen platform has no tray, like a desktop without a tray host.
TEST_F(WidgetWindow, WithoutATrayMasquerIsNotOffered) {
    emit form->PopupMenu1()->aboutToShow();
    EXPECT_FALSE(form->MenuItem("Rduite1")->isEnabled());
}

TEST_F(WidgetWindow, StaysOpenAndInTheNormalState) {
    form->show();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    for (Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        form->setWindowState(state);
        EXPECT_EQ(form->windowState(), Qt::WindowNoState) << state;
    }
}

TEST_F(WidgetWindow, TheTickColoursTheStripAndRecordsTheConnection) {
    Tick(true);
    EXPECT_EQ(form->CurrentLook(), CounterView::Look::Connected);
    EXPECT_EQ(Find<QLabel>("Label8")->text(), "0h0m11s");
    EXPECT_FALSE(form->MenuItem("Dcrocher1")->isEnabled());
    EXPECT_TRUE(form->MenuItem("Raccrocher1")->isEnabled());
    EXPECT_EQ(Find<TBarGauge>("Gauge1")->ForeColor(), clYellow);
    EXPECT_EQ(Find<TBarGauge>("Gauge1")->BackColor(), clRed);

    Tick(false);
    EXPECT_EQ(form->CurrentLook(), CounterView::Look::Disconnected);
    EXPECT_EQ(Find<QLabel>("Label8")->text(), "Déconnecté");
    // The detail window, made at its first showing, shows the last throughput.
    form->Voirledtaildesconnexions1Click();
    EXPECT_EQ(form->DetailWindow()->Label1()->text(), Find<QLabel>("Label2")->text());
    EXPECT_EQ(Find<TBarGauge>("Gauge1")->ForeColor(), clLime);
    EXPECT_EQ(Find<TBarGauge>("Gauge1")->BackColor(), clGreen);
    EXPECT_EQ(SplitLines(Bytes(kCounterFileName), 3)[1], "11");
}

TEST_F(WidgetWindow, QuitterEndsTheLoopOnlyWhileDisconnected) {
    constexpr int kStillRunning = 1;
    for (const bool connected : {true, false}) {
        Tick(connected);
        form->hide();
        SeenDialog seen;
        // The program's own loop: its end also clears the request to leave every loop.
        QTimer::singleShot(0, form.get(), [&] {
            if (connected) {
                AnswerNextDialog(seen, "OK");
            }
            form->Quitter1Click();
            QTimer::singleShot(50, form.get(), [] { QCoreApplication::exit(kStillRunning); });
        });
        EXPECT_EQ(QApplication::exec(), connected ? kStillRunning : 0);
        EXPECT_EQ(seen.text, connected ? "Impossible en cours de connexion" : "");
        // The program ends with its window shown, even after "Masquer".
        EXPECT_EQ(form->isVisible(), !connected);
    }
}

// "Règles de facturation…" comes right after the plan, "Corriger le compteur…" right after the
// reset. The dialog refuses a free window that ends where it starts, and keeps what was typed;
// its rule goes to the settings file and charges the next connection.
TEST_F(WidgetWindow, BillingRulesAndCorrectionItems) {
    const QList<QAction*> items = form->PopupMenu1()->actions();
    const auto after = [&items](const char* name) {
        const auto at = std::find_if(items.begin(), items.end(),
                                     [name](QAction* item) { return item->objectName() == name; });
        return at + 1 < items.end() ? (*(at + 1))->objectName() + " " + (*(at + 1))->text()
                                    : QString();
    };
    EXPECT_EQ(after("Fixerleforfait1"), "Rglesdefacturation1 Règles de facturation…");
    EXPECT_EQ(after("Rinitialiserlecompteur1"), "Corrigerlecompteur1 Corriger le compteur…");

    QString refusal;
    bool ticked = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = qobject_cast<TForm6*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // The strip's first tick comes while the dialog is open.
        ticked = QTest::qWaitFor([this] { return Find<QLabel>("Label1")->text() != "?"; }, 3000);
        dialog->findChild<QSpinBox*>("Minimum1")->setValue(60);
        dialog->findChild<QCheckBox*>("HeuresGratuites1")->setChecked(true);
        dialog->findChild<QPushButton*>("OK1")->click();
        const auto* box = dialog->findChild<QMessageBox*>();
        refusal = box != nullptr && dialog->isVisible() ? box->text() : QString();
        dialog->findChild<QTimeEdit*>("De1")->setTime(QTime(22, 0));
        dialog->findChild<QTimeEdit*>("A1")->setTime(QTime(8, 0));
        dialog->findChild<QPushButton*>("OK1")->click();
    });
    form->MenuItem("Rglesdefacturation1")->trigger();
    SettleDialogs();
    EXPECT_TRUE(ticked);
    EXPECT_EQ(refusal, "Les heures gratuites doivent commencer et finir à des heures différentes.");
    BillingRule expected;
    expected.firstPeriod = 60;
    expected.freeFrom = QTime(22, 0);
    expected.freeTo = QTime(8, 0);
    EXPECT_EQ(ReadBillingRule(Settings()), expected);
    Tick(true);
    EXPECT_EQ(Find<QLabel>("Label8")->text(),
              IsFree(expected, QDateTime::currentDateTime()) ? "0h0m0s" : "0h1m0s");
}

// The windows shown now and then are made when first asked for, the About box again after each
// closing, which deletes it; the help window, once made, is kept.
TEST_F(WidgetWindow, OccasionalWindowsAreMadeWhenAskedFor) {
    const auto aboutBoxes = [] {
        QList<QWidget*> windows = QApplication::topLevelWidgets();
        windows.removeIf([](const QWidget* window) {
            return qobject_cast<const TVerAboutBox*>(window) == nullptr;
        });
        return windows;
    };
    EXPECT_EQ(form->DetailWindow(), nullptr);
    EXPECT_EQ(form->HelpWindow(), nullptr);
    EXPECT_TRUE(aboutBoxes().isEmpty());
    for (int showing = 0; showing < 2; ++showing) {
        form->MenuItem("VersionInfo1")->trigger();
        ASSERT_EQ(aboutBoxes().size(), 1);
        EXPECT_TRUE(aboutBoxes()[0]->isVisible());
        aboutBoxes()[0]->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(aboutBoxes().isEmpty());
    }
    form->MenuItem("Unpetitcoupdemain1")->trigger();
    TForm4* help = form->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    help->close();
    form->MenuItem("Unpetitcoupdemain1")->trigger();
    EXPECT_EQ(form->HelpWindow(), help);
    EXPECT_TRUE(help->isVisible());
}

// The history comes right after the detail. Its window is a process of its own, started once
// and told the counter's facts, at its opening and each second; without the module the item says
// it is not installed and the program counts on.
TEST_F(WidgetWindow, HistoryItemStartsTheHistorysProcess) {
    const QList<QAction*> items = form->PopupMenu1()->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items[0]->objectName(), "Voirledtaildesconnexions1");
    EXPECT_EQ(items[2]->objectName(), "Rinitialiserlecompteur1");
    QAction* item = items[1];
    EXPECT_EQ(item->objectName(), "Historiquedesconnexions1");
    const struct {
        QStringList folders;
        bool present;
        QString caption;
    } cases[] = {
        {{QString(), "/nonexistent"}, false, "Historique des connexions (non installé)"},
        {{"/nonexistent", FILOCOMPTE_HISTORY_MODULE_FOLDER}, true, "Historique des connexions…"},
    };
    for (const auto& [folders, present, caption] : cases) {
        SCOPED_TRACE(folders.join(' ').toStdString());
        form->SetHistoryModuleFolders(folders);
        emit form->PopupMenu1()->aboutToShow();
        EXPECT_EQ(item->text(), caption);
        EXPECT_EQ(item->isEnabled(), present);
    }
    Tick(true);
    Tick(false);
    EXPECT_EQ(SplitLines(Bytes(kCounterFileName), 3)[1], "11");

    form->History().SetCommand({"/bin/sh", "-c", "cat > received"});
    item->trigger();
    item->trigger();
    Tick(false);
    EXPECT_TRUE(form->History().Running());
    // Ended with the program, once it has read what was sent.
    form.reset();
    QList<QByteArray> lines = Bytes("received").split('\n');
    // The connection's row may reach the journal before the end: the window then hears of it.
    lines.removeAll("added");
    ASSERT_EQ(lines.size(), 5) << Bytes("received").toStdString();
    using Kind = HistoryMessage::Kind;
    const Kind kinds[] = {Kind::Facts, Kind::Facts, Kind::Show, Kind::Facts};
    for (int line = 0; line < 4; ++line) {
        const auto message = MessageFromLine(lines[line]);
        ASSERT_TRUE(message.has_value()) << lines[line].toStdString();
        EXPECT_EQ(message->kind, kinds[line]) << line;
    }
    EXPECT_EQ(MessageFromLine(lines[0])->facts.used, 11);
    EXPECT_EQ(MessageFromLine(lines[0])->facts.plan, 1);
}

} // namespace
