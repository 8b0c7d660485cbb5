// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/counter_files.h"
#include "platform/failure.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include "platform/file_io.h"

#include <QFileInfo>
#include <csignal>
#include <random>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(CounterLines, LineEndsAndMissingOrExtraLines) {
    const std::pair<QByteArray, QList<QByteArray>> cases[] = {
        {"05/03/2003 14:07:09\r\n754\r\n20\r\n", {"05/03/2003 14:07:09", "754", "20"}},
        {"a\nb\nc", {"a", "b", "c"}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"", {"", "", ""}},
        {"a\rb\r\nc\r\r\nd\r\ne\r\n", {"ab", "c", "d"}},
        {"\r\n\r\n7\r\n", {"", "", "7"}},
        {"d\xe9j\xc3\xa0\r\n", {"d\xe9j\xc3\xa0", "", ""}}};
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(SplitLines(bytes, 3), lines) << bytes.toStdString();
    }
    EXPECT_EQ(JoinLines({"05/03/2003", "0", " 20"}), "05/03/2003\r\n0\r\n 20\r\n");
}

class CounterFiles : public InTemporaryDirectory {
protected:
    QStringList notices;
    Notice notice = [this](const QString& text) { notices << text; };
};

TEST_F(CounterFiles, WrittenByteForByteAndReadBack) {
    EXPECT_FALSE(CounterFileExists());
    EXPECT_THROW(ReadCounterFile(notice), platform::IoError);
    WriteCounterFile({"05/03/2003 14:07:09", "754", "+20"});
    EXPECT_EQ(Bytes(kCounterFileName), "05/03/2003 14:07:09\r\n754\r\n+20\r\n");
    const CounterFile file = ReadCounterFile(notice);
    EXPECT_EQ(file.resetDate, "05/03/2003 14:07:09");
    EXPECT_EQ(file.seconds, "754");
    EXPECT_EQ(file.plan, "+20");
    EXPECT_FALSE(ReadResetDayFile(notice));
    WriteResetDayFile(" +5");
    EXPECT_EQ(Bytes(kResetDayFileName), " +5\r\n");
    EXPECT_EQ(ReadResetDayFile(notice), " +5");
    EXPECT_TRUE(notices.isEmpty());
    EXPECT_EQ(QDir().entryList(QDir::Files).size(), 2) << "no temporary file is left";
}

// Bytes the program does not interpret are kept as they are, through a rewrite.
TEST_F(CounterFiles, AResetDateIsKeptByteForByte) {
    Put(kCounterFileName, "05/03/2003 \xff\x01\r\n754\r\n20\r\n");
    const CounterFile file = ReadCounterFile(notice);
    WriteCounterFile({file.resetDate, "755", file.plan});
    EXPECT_EQ(Bytes(kCounterFileName), "05/03/2003 \xff\x01\r\n755\r\n20\r\n");
}

// Nothing planted beside the files makes a rewrite write elsewhere, a read wait, or the lock
// give way.
TEST_F(CounterFiles, PlantedLinksAndSpecialFiles) {
    Put("target", "kept\r\n");
    ASSERT_EQ(symlink("target", "decompte_internet.log.tmp"), 0);
    WriteCounterFile({"05/03/2003", "1", "20"});
    EXPECT_EQ(Bytes("target"), "kept\r\n") << "a planted temporary link is not followed";

    // A counter file that is a link stays one: its target is replaced.
    QFile::remove(kCounterFileName);
    ASSERT_EQ(symlink("target", kCounterFileName), 0);
    WriteCounterFile({"05/03/2003", "2", "20"});
    EXPECT_TRUE(QFileInfo(kCounterFileName).isSymLink());
    EXPECT_EQ(Bytes("target"), "05/03/2003\r\n2\r\n20\r\n");

    // A FIFO is set aside at once, never waited on; a new file carries on.
    QFile::remove(kCounterFileName);
    ASSERT_EQ(mkfifo(kCounterFileName, 0600), 0);
    EXPECT_EQ(ReadCounterFile(notice).seconds, "0");
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("ce n'est pas un fichier ordinaire"))
        << notices[0].toStdString();
    EXPECT_TRUE(QFileInfo(kCounterFileName).isFile());

    // The lock is taken on a regular file whatever its mode, never through a link or on a
    // directory.
    ASSERT_EQ(symlink("locked-target", "link.verrou"), 0);
    ASSERT_TRUE(QDir().mkdir("dir.verrou"));
    Put("read-only.verrou", "");
    QFile::setPermissions("read-only.verrou", QFile::ReadOwner);
    EXPECT_EQ(platform::lockForLife("link.verrou"), platform::Lock::Impossible);
    EXPECT_FALSE(QFile::exists("locked-target")) << "a planted link creates nothing";
    EXPECT_EQ(platform::lockForLife("dir.verrou"), platform::Lock::Impossible);
    EXPECT_EQ(platform::lockForLife("read-only.verrou"), platform::Lock::Taken);
}

// Runs body in a child process and returns its exit status; 77 means the machine cannot do it.
template <typename Body> int InChild(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 0 when a rewrite fails with that message and leaves the old file whole, with no temporary file.
int RewriteFailsWith(const char* message) {
    try {
        WriteCounterFile({"01/01/2027", QString(20000, '9'), "1"});
    } catch (const platform::IoError& error) {
        const bool kept = ReadCounterFile([](const QString&) {}).seconds == "754" &&
                          !QFile::exists("decompte_internet.log.tmp");
        return std::string(error.what()) == message && kept ? 0 : 2;
    }
    return 1;
}

void ExpectStatus(int status) {
    if (status == 77) {
        GTEST_SKIP() << "needs root and mount namespaces";
    }
    EXPECT_EQ(status, 0);
}

TEST_F(CounterFiles, AFullDiskKeepsTheOldFile) {
    ExpectStatus(InChild([] {
        if (!QDir().mkdir("disk") || unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", "disk", "tmpfs", 0, "size=16k") != 0 || chdir("disk") != 0) {
            return 77;
        }
        WriteCounterFile({"05/03/2003", "754", "1"});
        QFile filler("filler");
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
        return RewriteFailsWith("Disque plein");
    }));
}

TEST_F(CounterFiles, AReadOnlyDirectoryKeepsTheOldFile) {
    WriteCounterFile({"05/03/2003", "754", "1"});
    ExpectStatus(InChild([this] {
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                               QFile::ExeOther);
        // Root overrides file modes: the check runs as a user who cannot.
        if (geteuid() == 0 &&
            (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)) {
            return 77;
        }
        return RewriteFailsWith("Accès au fichier refusé");
    }));
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A process killed at any moment of its rewrites leaves one whole version of the file or the
// other, never a mix, a truncated or an empty file.
TEST_F(CounterFiles, AKillDuringRewritesLeavesAWholeFile) {
    const QByteArray first = "05/03/2003 14:07:09\r\n111\r\n20\r\n";
    const QByteArray second = "06/03/2003 14:07:09\r\n222222\r\n20\r\n";
    std::mt19937 random(42);
    for (int run = 0; run < 30; ++run) {
        WriteCounterFile({"05/03/2003 14:07:09", "111", "20"});
        const pid_t child = fork();
        if (child == 0) {
            for (int i = 0;; ++i) {
                WriteCounterFile({i % 2 ? "05/03/2003 14:07:09" : "06/03/2003 14:07:09",
                                  i % 2 ? "111" : "222222", "20"});
            }
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QByteArray bytes = Bytes(kCounterFileName);
        ASSERT_TRUE(bytes == first || bytes == second) << run << ": " << bytes.toStdString();
    }
}

} // namespace
