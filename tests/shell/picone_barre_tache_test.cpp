// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/picone_barre_tache.h"

#include "platform/failure.h"
#include "shell/image_list.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <variant>

namespace {

// An owner form whose own close handling accepts or refuses, and counts its runs.
class Form : public QWidget {
public:
    bool accepts = true;
    int closeEvents = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeEvents;
        event->setAccepted(accepts);
    }
};

struct Fixture {
    Form form;
    QMenu menu;
    TPiconeBarreTache* tray = new TPiconeBarreTache(&form);

    Fixture() {
        menu.addAction("Quitter");
        tray->SetMenuPop(&menu);
        tray->SetPetiteIconeVisible(true);
        tray->SetHint("Filocompte");
        tray->Loaded();
    }
};

} // namespace

TEST(TrayIcon, HintFitsSixtyThreeCharacters) {
    Fixture f;
    for (const QString& hint : {QString(63, 'x'), QString()}) {
        f.tray->SetHint(hint);
        EXPECT_EQ(f.tray->TrayIcon().toolTip(), hint);
    }
    const QString tooLong(64, 'y');
    EXPECT_THROW(f.tray->SetHint(tooLong), platform::RangeError);
    EXPECT_EQ(f.tray->Hint(), tooLong);
    EXPECT_EQ(f.tray->TrayIcon().toolTip(), QString());
}

TEST(TrayIcon, CallbackOpensMenuOrShowsForm) {
    using Input = std::variant<QSystemTrayIcon::ActivationReason, unsigned>;
    struct Case {
        const char* name;
        Input input;
        bool withMenu;
        bool menuShown;
        bool formShown;
    };
    const Case cases[] = {
        {"context request", QSystemTrayIcon::Context, true, true, false},
        {"context request, no menu", QSystemTrayIcon::Context, false, false, false},
        {"click", QSystemTrayIcon::Trigger, true, false, true},
        {"double click", QSystemTrayIcon::DoubleClick, true, false, false},
        {"middle click", QSystemTrayIcon::MiddleClick, true, false, false},
        {"right press", TPourHandle::WM_RBUTTONDOWN, true, true, false},
        {"left press", TPourHandle::WM_LBUTTONDOWN, true, false, true},
        {"move", 0x200u, true, false, false},
        {"left release", 0x202u, true, false, false},
        {"left double click", 0x203u, true, false, false},
        {"right release", 0x205u, true, false, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.tray->SetMenuPop(c.withMenu ? &f.menu : nullptr);
        if (const auto* reason = std::get_if<QSystemTrayIcon::ActivationReason>(&c.input)) {
            f.tray->TrayActivated(*reason);
        } else {
            f.tray->PourHandle().WMTrayIcon(std::get<unsigned>(c.input));
        }
        EXPECT_EQ(f.menu.isVisible(), c.menuShown) << c.name;
        EXPECT_EQ(f.form.isVisible(), c.formShown) << c.name;
        f.menu.hide();
    }
}

TEST(TrayIcon, PresentFromLoadedWhilePetiteIconeVisible) {
    QGuiApplication::setWindowIcon(ImageList1Icon(0));
    Form form;
    TPiconeBarreTache tray(&form);
    tray.SetPetiteIconeVisible(true);
    EXPECT_FALSE(tray.TrayIcon().isVisible());
    tray.Loaded();
    EXPECT_TRUE(tray.TrayIcon().isVisible());
    EXPECT_EQ(tray.TrayIcon().icon().cacheKey(), QGuiApplication::windowIcon().cacheKey());

    tray.SetPetiteIconeVisible(false);
    EXPECT_FALSE(tray.TrayIcon().isVisible());
    const QIcon frame = ImageList1Icon(2);
    tray.SetIcone(frame);
    EXPECT_FALSE(tray.TrayIcon().isVisible());
    tray.SetPetiteIconeVisible(true);
    EXPECT_TRUE(tray.TrayIcon().isVisible());
    EXPECT_EQ(tray.TrayIcon().icon().cacheKey(), frame.cacheKey());

    tray.SetIcone(QIcon());
    EXPECT_EQ(tray.TrayIcon().icon().cacheKey(), QGuiApplication::windowIcon().cacheKey());
    QGuiApplication::setWindowIcon(QIcon());
}

TEST(TrayIcon, CloseHidesInTrayOnlyWithReduireSiFin) {
    struct Case {
        bool reduireSiFin;
        bool formAccepts;
        bool closed;
        bool visible;
    };
    const Case cases[] = {
        {true, true, false, false},
        {false, false, false, true},
        {false, true, true, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.form.accepts = c.formAccepts;
        f.tray->SetReduireSiFin(c.reduireSiFin);
        f.form.show();
        EXPECT_EQ(f.form.close(), c.closed) << c.reduireSiFin << c.formAccepts;
        EXPECT_EQ(f.form.isVisible(), c.visible) << c.reduireSiFin << c.formAccepts;
        EXPECT_EQ(f.form.closeEvents, 1);
    }
}

// The taskbar is told only what it was not told since the owner was last shown or changed state.
TEST(TrayIcon, TaskbarEntryIsToldOnlyWhatMayHaveChanged) {
    Fixture f;
    EXPECT_EQ(f.tray->TaskbarEntry(), std::nullopt);
    const struct {
        const char* step;
        std::function<void()> act;
        std::optional<bool> told;
    } steps[] = {
        {"hidden from the taskbar", [&] { f.tray->SetGrandeIconeVisible(false); }, false},
        {"owner shown", [&] { f.form.show(); }, std::nullopt},
        {"hidden again", [&] { f.tray->SetGrandeIconeVisible(false); }, false},
        {"left press", [&] { f.tray->TrayActivated(QSystemTrayIcon::Trigger); }, true},
        {"hidden again", [&] { f.tray->SetGrandeIconeVisible(false); }, false},
        {"owner minimised", [&] { f.form.setWindowState(Qt::WindowMinimized); }, std::nullopt},
        {"hidden again", [&] { f.tray->SetGrandeIconeVisible(false); }, false},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(f.tray->TaskbarEntry(), s.told) << s.step;
    }
    EXPECT_FALSE(f.tray->GrandeIconeVisible());
}

TEST(TrayIcon, HooksEndWithTheComponent) {
    Fixture f;
    f.tray->SetReduireSiFin(true);
    f.tray->SetGrandeIconeVisible(false);
    delete f.tray;
    f.form.show();
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(f.form.close());
    EXPECT_FALSE(f.form.isVisible());
}
