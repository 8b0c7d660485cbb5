// Filocompte: the splash, the detail and help windows created hidden, then the widget window as
// the main window, and the message loop until "Quitter".

#include "counter/checkpoint.h"
#include "counter/counter_files.h"
#include "info/dialogs.h"
#include "info/help_window.h"
#include "info/ver_about_box.h"
#include "netstats/detail_window.h"
#include "platform/file_io.h"
#include "platform/sound.h"
#include "shell/application.h"
#include "shell/widget_window.h"

#include <QFont>
#include <QIcon>

int main(int argc, char** argv) {
    // The widget places its own windows, which Wayland does not allow: use X11 (XWayland) there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    TApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/filocompte.ico")));
    // Only "Quitter" ends the program, whatever windows are closed or hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // The layouts are drawn for "MS Sans Serif"; where it is missing, a face of the same metrics
    // keeps every label within its place.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});

    QApplication::setApplicationName(QStringLiteral("Filocompte"));
    // Two programs on the same files would count every connection twice.
    if (!platform::lockForLife(kLockFileName)) {
        ShowMessage(nullptr,
                    QStringLiteral("Filocompte compte déjà les connexions avec les fichiers "
                                   "de ce dossier : un seul programme à la fois le peut."));
        return 1;
    }
    // A connection whose program died (a crash, a power cut) is recorded before anything reads
    // the counter.
    Guard(FoldCheckpoint);

    TVerAboutBox aboutBox;
    aboutBox.show();
    aboutBox.repaint();
    QApplication::processEvents();
    TForm2 form2;
    TForm4 form4;
    // Where no sound can be played, the plan alarm rings the display's bell, from the GUI thread.
    platform::setDisplayBell([] {
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
    });
    TForm1 form1(aboutBox, form2, form4);
    form1.show();
    const int status = QApplication::exec();
    platform::setDisplayBell({});
    return status;
}
