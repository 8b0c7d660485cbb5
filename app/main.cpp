// Until the widget window exists, the program shows the splash, then the detail window filled
// live: one disconnected fill to list the interfaces, then a connected fill every second for the
// rates.

#include "info/help_window.h"
#include "info/ver_about_box.h"
#include "netstats/detail_window.h"
#include "netstats/traffic_sampler.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

int main(int argc, char** argv) {
    // The widget places its own windows, which Wayland does not allow: use X11 (XWayland) there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Filocompte"));
    // The layouts are drawn for "MS Sans Serif"; where it is missing, a face of the same metrics
    // keeps every label within its place.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});

    TVerAboutBox aboutBox;
    aboutBox.show();
    TForm2 form2;
    TForm4 form4;

    TrafficSampler sampler(form2.grid());
    sampler.CaptureMIBData(true);
    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, [&sampler] { sampler.CaptureMIBData(false); });
    tick.start();

    // Until the widget window exists, closing the detail window is how the user ends the program.
    form2.setAttribute(Qt::WA_QuitOnClose, true);
    form2.show();
    aboutBox.raise();
    return QApplication::exec();
}
