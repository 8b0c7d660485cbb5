// SPDX-License-Identifier: GPL-3.0-or-later
// The dispatch boundary, in a program of its own: it needs the program's application object.

#include "platform/failure.h"
#include "shell/application.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/qt_test_main.h"

#include <QEventLoop>
#include <QTimer>

namespace {

// Takes the place of the error box and keeps what it would have shown.
class Boundary : public ::testing::Test {
protected:
    QStringList shown;
    Boundary() {
        SetErrorPresenter([this](const QString& message) { shown << message; });
    }
    ~Boundary() override { SetErrorPresenter({}); }
};

const int tick = 0;
const int other = 0;

TEST_F(Boundary, AFailureRepeatedBySameSourceIsShownOnce) {
    const struct {
        const void* source;
        const char* failure; // nullptr: the handler runs through
        bool shown;
    } steps[] = {
        {&tick, "Fichier introuvable", true},  {&tick, "Fichier introuvable", false},
        {&other, "Fichier introuvable", true}, {&tick, "Disque plein", true},
        {&tick, "Disque plein", false},        {&tick, nullptr, false},
        {&tick, "Disque plein", true},         {nullptr, "Disque plein", true},
        {nullptr, "Disque plein", true},
    };
    int index = 0;
    for (const auto& step : steps) {
        shown.clear();
        Guard(
            [&step] {
                if (step.failure != nullptr) {
                    throw platform::Failure(step.failure);
                }
            },
            step.source);
        EXPECT_EQ(shown, step.shown ? QStringList{step.failure} : QStringList{})
            << "step " << index++;
    }
}

// A failing tick shows one box, not one a tick; other events show each failure.
TEST_F(Boundary, EventsThatFailAreCaughtAtDispatch) {
    QEventLoop loop;
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] {
        ++ticks;
        throw platform::IoError(2);
    });
    timer.start(0);
    for (int i = 0; i < 2; ++i) {
        QMetaObject::invokeMethod(
            &loop, [] { throw platform::OverflowError(); }, Qt::QueuedConnection);
    }
    QTimer::singleShot(50, &loop, [&loop] { loop.quit(); });
    loop.exec();

    EXPECT_GT(ticks, 2);
    EXPECT_EQ(shown.count("Fichier introuvable"), 1);
    EXPECT_EQ(shown.count("Débordement d'entier"), 2);
}

} // namespace

int main(int argc, char** argv) {
    return RunQtTests<TApplication>(argc, argv);
}
