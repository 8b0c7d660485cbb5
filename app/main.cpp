// SPDX-License-Identifier: GPL-3.0-or-later
// Filocompte: the splash, then the widget window as the main window, and the message loop until
// "Quitter".
//
//     filocompte [--dossier-utilisateur]
//
// The program keeps its files in the current directory; with the option, which the desktop entry
// passes, in the user's data folder instead of wherever the session happens to start. The program
// starts itself with --historique, in its folder, for the history window (see HistoryProcess).

#include "counter/checkpoint.h"
#include "counter/counter_files.h"
#include "info/dialogs.h"
#include "info/ver_about_box.h"
#include "platform/data_folder.h"
#include "platform/failure.h"
#include "platform/file_io.h"
#include "platform/internet.h"
#include "platform/notifications.h"
#include "platform/program_module.h"
#include "platform/sound.h"
#include "shell/application.h"
#include "shell/history_viewer.h"
#include "shell/picone_barre_tache.h"
#include "shell/widget_window.h"

#include <QFont>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace {

// Enters the user's data folder when the option asks for it, before any file is opened; false,
// after telling the user, when it cannot be made.
bool EnterDataFolderIfAsked() {
    if (!QApplication::arguments().contains(QStringLiteral("--dossier-utilisateur"))) {
        return true;
    }
    const std::string folder =
        platform::userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    try {
        platform::enterFolder(folder);
        return true;
    } catch (const platform::Failure& failure) {
        ErrorBoxAndWait(
            QStringLiteral("Impossible de créer le dossier « %1 » : %2")
                .arg(QString::fromStdString(folder), QString::fromUtf8(failure.what())));
        return false;
    }
}

// Two programs on the same files would count every connection twice: none counts without the
// lock. False, after telling the user, when it cannot be had.
bool LockFolder() {
    switch (platform::lockForLife(kLockFileName)) {
    case platform::Lock::Taken:
        return true;
    case platform::Lock::HeldElsewhere:
        ShowMessageAndWait(QStringLiteral("Filocompte compte déjà les connexions avec les "
                                          "fichiers de ce dossier : un seul programme à la fois "
                                          "le peut."));
        return false;
    case platform::Lock::Impossible:
        break;
    }
    ErrorBoxAndWait(QStringLiteral("Le verrou %1 ne peut pas être pris (ce doit être un fichier "
                                   "ordinaire que Filocompte peut lire ou créer dans ce dossier) : "
                                   "Filocompte ne compte pas sans lui")
                        .arg(QString(kLockFileName)));
    return false;
}

// The toolkit's choices that depend on what the widget does, each left to the user who sets it.
void ChooseToolkitOptions() {
    // The widget places its own windows, which Wayland does not allow: use X11 (XWayland) there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // The gauge repaints a few hundred pixels ten times a second. Through shared memory each paint
    // waits for the X server and then gets a completion event back: two more wake-ups per paint
    // than sending the pixels.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

// The history window's own process: the window, until it closes or the program ends.
int ShowHistory() {
    try {
        HistoryViewer viewer(LoadHistoryModule(platform::ModuleFolders()), fileno(stdin));
        QObject::connect(&viewer, &HistoryViewer::Ended, qApp, &QCoreApplication::quit);
        return QApplication::exec();
    } catch (const platform::Failure& failure) {
        ErrorBoxAndWait(QString::fromUtf8(failure.what()));
        return EXIT_FAILURE;
    }
}

} // namespace

int main(int argc, char** argv) {
    ChooseToolkitOptions();
    TApplication app(argc, argv);
    // The caption of every message box, the first of which may come before any window.
    QApplication::setApplicationName(QStringLiteral("Filocompte"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/filocompte.ico")));
    if (QApplication::arguments().contains(QStringLiteral("--historique"))) {
        return ShowHistory();
    }
    // Only "Quitter" ends the program, whatever windows are closed or hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!EnterDataFolderIfAsked()) {
        return EXIT_FAILURE;
    }
    // The layouts are drawn for "MS Sans Serif"; where it is missing, a face of the same metrics
    // keeps every label within its place.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    // French labels need no text shaping (kerning stays): without it the shaper's code and the
    // fonts' layout tables stay out of the program's memory all day.
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(font);

    if (!LockFolder()) {
        return EXIT_FAILURE;
    }
    // A connection whose program died (a crash, a power cut) is recorded before anything reads
    // the counter. What it has to say waits for no answer: the count starts meanwhile.
    Guard([] {
        Journal journal;
        FoldCheckpoint(ErrorBox, journal);
    });

    // The widget window takes it over.
    auto* splash = new TVerAboutBox;
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    // Where no sound can be played, the plan alarm rings the display's bell, from the GUI thread.
    platform::setDisplayBell([] {
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
    });
    // NetworkManager's refusal of a dial or a hang-up comes after the command returned: one box.
    platform::setDialFailureReport([](const std::string& text) {
        QMetaObject::invokeMethod(
            qApp, [message = QString::fromStdString(text)] { ErrorBox(message); },
            Qt::QueuedConnection);
    });
    TForm1 form1(splash);
    // Where the desktop shows no notification, the tray icon's balloon does.
    platform::setNotificationFallback(
        [&form1](const std::string& summary, const std::string& body) {
            form1.PiconeBarreTache1().ShowBalloon(QString::fromStdString(summary),
                                                  QString::fromStdString(body));
        });
    form1.show();
    // A termination request during the start-up ended the program before its main loop.
    const int status = form1.Terminated() ? EXIT_SUCCESS : QApplication::exec();
    platform::setDisplayBell({});
    platform::setDialFailureReport({});
    platform::setNotificationFallback({});
    return status;
}
