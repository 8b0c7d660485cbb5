// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor for the footprint benchmark: a bare window the size of the strip with a tray
// icon, doing nothing; with --move, moved one pixel right every 100 ms with the toolkit's own move,
// wrapping at the screen's right edge. Its title is "floor".

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.resize(264, 86);
    QPixmap picture(16, 16);
    picture.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.show();
    QTimer drift;
    if (argc > 1 && std::strcmp(argv[1], "--move") == 0) {
        QObject::connect(&drift, &QTimer::timeout, &window, [&window] {
            const int left = window.x() + 1;
            window.move(left > window.screen()->geometry().width() - window.width() ? 0 : left,
                        window.y());
        });
        drift.start(100);
    }
    window.show();
    return QApplication::exec();
}
