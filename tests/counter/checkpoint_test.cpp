// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/checkpoint.h"
#include "counter/counter.h"
#include "counter/counter_files.h"
#include "counter/int_conversion.h"
#include "counter/plan_watch.h"
#include "fake_view.h"
#include "platform/failure.h"
#include "platform/fake/fake_platform.h"
#include "platform/file_io.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include <csignal>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Checkpoints = InTemporaryDirectory;

TEST_F(Checkpoints, FoldRecordsOnceOrSetsAside) {
    struct Case {
        QByteArray counter, checkpoint, after;
        bool setAside;
    };
    const QByteArray today = QDate::currentDate().toString("dd/MM/yyyy").toLatin1();
    const Case cases[] = {
        {"d\r\n754\r\n20\r\n", "d\r\n754\r\n31\r\n", "d\r\n785\r\n20\r\n", false},
        {"d\r\n785\r\n20\r\n", "d\r\n754\r\n31\r\n", "d\r\n785\r\n20\r\n", false},
        {"d\r\n\r\n20\r\n", "d\r\n\r\n31\r\n", "d\r\n31\r\n20\r\n", false},
        {"e\r\n0\r\n20\r\n", "d\r\n754\r\n31\r\n", "e\r\n0\r\n20\r\n", true},
        {"d\r\n900\r\n20\r\n", "d\r\n754\r\n31\r\n", "d\r\n900\r\n20\r\n", true},
        {"d\r\n754\r\n20\r\n", "d\r\n754\r\n3l\r\n", "d\r\n754\r\n20\r\n", true},
        {"d\r\n754\r\n20\r\n", "d\r\n754\r\n2147483647\r\n", "d\r\n754\r\n20\r\n", true},
        // No more seconds than have passed since the reset, dead time included; never negative.
        {"01/12/2026\r\n0\r\n20\r\n", "01/12/2026\r\n0\r\n2000000000\r\n",
         "01/12/2026\r\n0\r\n20\r\n", true},
        {"d\r\n754\r\n20\r\n", "d\r\n754\r\n-50\r\n", "d\r\n754\r\n20\r\n", true},
        {"01/12/2026\r\n0\r\n20\r\n", "01/12/2026\r\n0\r\n600\r\n", "01/12/2026\r\n600\r\n20\r\n",
         false},
        // Charged by a rule's first period (a day) more than the day so far, for 60 s up; and
        // charged more than any rule adds to 5 s up.
        {today + "\r\n0\r\n20\r\n", today + "\r\n0\r\n86400\r\n\r\n\r\n\r\n\r\n\r\n60\r\n",
         today + "\r\n86400\r\n20\r\n", false},
        {"d\r\n754\r\n20\r\n", "d\r\n754\r\n97000\r\n\r\n\r\n\r\n\r\n\r\n5\r\n",
         "d\r\n754\r\n20\r\n", true}};
    for (const Case& c : cases) {
        Put(kCounterFileName, c.counter);
        Put(kCheckpointFileName, c.checkpoint);
        bool reported = false;
        Journal journal;
        FoldCheckpoint([&](const QString& text) { reported = text.contains("mis de côté"); },
                       journal);
        const QStringList setAside =
            QDir().entryList({QString(kCheckpointFileName) + ".*"}, QDir::Files);
        EXPECT_EQ(Bytes(kCounterFileName), c.after) << c.checkpoint.toStdString();
        EXPECT_FALSE(QFile::exists(kCheckpointFileName));
        EXPECT_EQ(reported, c.setAside) << c.checkpoint.toStdString();
        EXPECT_EQ(setAside.size(), c.setAside ? 1 : 0);
        EXPECT_EQ(setAside.isEmpty() ? QByteArray() : Bytes(qPrintable(setAside.first())),
                  c.setAside ? c.checkpoint : QByteArray());
        for (const QString& name : setAside) {
            QFile::remove(name);
        }
    }
}

// A scripted connection in a child process that reports each finished tick, killed at random.
class KilledConnection : public InTemporaryDirectory {
protected:
    // The ticks the child had surely finished when it was killed.
    static int ConnectAndKill(std::mt19937& random) {
        int ticks[2];
        EXPECT_EQ(pipe(ticks), 0);
        const pid_t child = fork();
        if (child == 0) {
            platform::FakePlatform fake;
            platform::ScopedPlatform installed{fake};
            fake.connected = true;
            FakeView view;
            view.grid.SetRowCount(3);
            view.grid.SetCell(0, 1, "ppp0 - Interface WAN (PPP)");
            Counter counter{view};
            std::int64_t now = 0;
            counter.SetClock([&now] { return now += 1000; });
            counter.Reload();
            for (int done = 1;; ++done) {
                counter.Tick();
                [[maybe_unused]] const auto written = write(ticks[1], &done, sizeof done);
            }
        }
        close(ticks[1]);
        usleep(std::uniform_int_distribution<useconds_t>(2000, 60000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        int last = 0;
        for (int done = 0; read(ticks[0], &done, sizeof done) == sizeof done;) {
            last = done;
        }
        close(ticks[0]);
        return last;
    }
};

// However a connection is cut short, the next start records it to within ten seconds of the
// truth, dead time included, and never above it.
TEST_F(KilledConnection, LosesAtMostTenSecondsAndNeverCountsTwice) {
    std::mt19937 random(7);
    int largestLoss = 0;
    for (int run = 0; run < 40; ++run) {
        Put(kCounterFileName, "05/03/2003\r\n754\r\n0\r\n");
        Put(kResetDayFileName, "1\r\n");
        const int ticks = ConnectAndKill(random);
        // A tick may have ended, checkpoint and all, just before the kill: one more than reported.
        const int truth = 10 + ticks;
        Journal journal;
        FoldCheckpoint([](const QString& text) { ADD_FAILURE() << text.toStdString(); }, journal);
        const int recorded = StrToInt(SplitLines(Bytes(kCounterFileName), 3)[1]) - 754;
        EXPECT_LE(recorded, truth + 1) << "run " << run;
        EXPECT_GE(recorded, ticks < 1 ? 0 : truth - kCheckpointPeriod) << "run " << run;
        largestLoss = std::max(largestLoss, truth - recorded);
        QFile::remove(kCheckpointFileName);
    }
    RecordProperty("largest_loss_seconds", largestLoss);
}

// A fold cut short by a crash is finished by the next start, never done twice, in the counter
// file, the journal (which still opens) and the period's volume.
TEST_F(Checkpoints, AFoldKilledAtAnyMomentIsFinishedOnce) {
    std::mt19937 random(11);
    const QDateTime start(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
    // A checkpoint of before the billing rules: charged its dead time and its time up.
    const JournalEntry recovered{start, start.addSecs(21),    31,   "ppp0", 1000,
                                 2000,  EntryKind::Recovered, "20", 21};
    for (int run = 0; run < 30; ++run) {
        QFile::remove(kSettingsFileName);
        Put(kCounterFileName, "d\r\n754\r\n20\r\n");
        Put(kCheckpointFileName, "d\r\n754\r\n31\r\n2026-12-09T10:00:00Z\r\n"
                                 "2026-12-09T10:00:21Z\r\nppp0\r\n1000\r\n2000\r\n");
        const pid_t child = fork();
        if (child == 0) {
            Journal journal;
            FoldCheckpoint([](const QString&) {}, journal);
            _exit(0);
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        Journal journal;
        FoldCheckpoint([](const QString& text) { ADD_FAILURE() << text.toStdString(); }, journal);
        PlanWatch volume;
        volume.Load("d");
        EXPECT_EQ(volume.Volume(0), 3000u) << "run " << run;
        EXPECT_EQ(Bytes(kCounterFileName), "d\r\n785\r\n20\r\n") << "run " << run;
        EXPECT_EQ(JournalStore().Entries(start, start.addDays(1)), QList<JournalEntry>{recovered})
            << "run " << run;
    }
}

// The lock of one folder's files: refused while another process holds it, free once that process
// is gone, even killed.
TEST_F(Checkpoints, OneProgramPerFolder) {
    const auto tryLock = [] {
        const pid_t child = fork();
        if (child == 0) {
            _exit(platform::lockForLife(kLockFileName) == platform::Lock::Taken ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WEXITSTATUS(status) == 0;
    };
    // The holder says when it has the lock, so the refusal is asked once it surely holds it.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const char locked =
            platform::lockForLife(kLockFileName) == platform::Lock::Taken ? 'y' : 'n';
        [[maybe_unused]] const auto written = write(ready[1], &locked, 1);
        for (;;) {
            pause();
        }
    }
    close(ready[1]);
    pollfd answer{ready[0], POLLIN, 0};
    char locked = 0;
    ASSERT_EQ(poll(&answer, 1, 10000), 1) << "the holder never answered";
    ASSERT_EQ(read(ready[0], &locked, 1), 1);
    close(ready[0]);
    EXPECT_EQ(locked, 'y');
    EXPECT_FALSE(tryLock());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(tryLock());
}

} // namespace
