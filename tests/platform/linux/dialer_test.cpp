// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/linux_platform.h"
#include "tests/platform/linux/process_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Stands for pon and poff: records how it was started in <itself>.log, then waits for the test's
// "release" file (at most 10 s) before it ends.
constexpr const char* kStandIn = R"sh(#!/bin/sh
{
    echo "arguments $#"
    echo "parent $PPID"
    echo "stdin $(readlink /proc/$$/fd/0)"
    echo "descriptors $(ls /proc/$$/fd | tr '\n' ' ')"
    echo "pid $$"
} > "$0.part"
mv "$0.part" "$0.log"
i=0
while [ ! -e "$(dirname "$0")/release" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
)sh";

void writeProgram(const fs::path& path, const std::string& text, fs::perms permissions) {
    std::ofstream(path) << text;
    fs::permissions(path, permissions);
}

// The stand-in's record, one "key value" a line.
std::map<std::string, std::string> readRecord(const fs::path& path) {
    std::map<std::string, std::string> record;
    std::ifstream in(path);
    std::string key;
    std::string value;
    while (in >> key && std::getline(in >> std::ws, value)) {
        record[key] = value;
    }
    return record;
}

// State of a process of this machine, as /proc tells it ('Z' for a zombie); 0 when it is gone.
char processState(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string line;
    std::getline(in, line);
    const auto end = line.rfind(')');
    return end != std::string::npos && end + 2 < line.size() ? line[end + 2] : 0;
}

// Stdin of this process reads a pipe while the object lives: the child's must not.
class StdinFromPipe {
public:
    StdinFromPipe() {
        int ends[2];
        saved_ = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
        if (pipe2(ends, O_CLOEXEC) == 0) {
            dup2(ends[0], STDIN_FILENO);
            close(ends[0]);
            close(ends[1]);
        }
    }
    ~StdinFromPipe() {
        if (saved_ >= 0) {
            dup2(saved_, STDIN_FILENO);
            close(saved_);
        }
    }
    StdinFromPipe(const StdinFromPipe&) = delete;
    StdinFromPipe& operator=(const StdinFromPipe&) = delete;

private:
    int saved_ = -1;
};

struct Request {
    const char* name;
    const char* program; // the one it must start; the other must not run
    const char* other;
    BOOL (*call)(LinuxPlatform&);
};

const Request kRequests[] = {
    {"Dial", "pon", "poff",
     [](LinuxPlatform& system) { return system.InternetAutodial(0, nullptr); }},
    {"HangUp", "poff", "pon",
     [](LinuxPlatform& system) { return system.InternetAutodialHangup(0); }},
};

void PrintTo(const Request& request, std::ostream* out) {
    *out << request.name;
}

class Dialer : public testing::TestWithParam<Request> {};

TEST_P(Dialer, StartsTheProgramDetachedAndReapsIt) {
    const Request& request = GetParam();
    const TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    for (const char* program : {"pon", "poff"}) {
        writeProgram(dir.path() / program, kStandIn, fs::perms::owner_all);
    }
    const ScopedEnv path("PATH", dir.path().string() + ":" + std::getenv("PATH"));
    // A descriptor this program forgot to mark close-on-exec.
    const int forgotten = fcntl(STDERR_FILENO, F_DUPFD, 100);
    const StdinFromPipe stdinFromPipe;
    LinuxPlatform system;

    EXPECT_EQ(request.call(system), TRUE);

    const fs::path log = dir.path() / (std::string(request.program) + ".log");
    ASSERT_TRUE(eventually([&] { return fs::exists(log); }));
    auto record = readRecord(log);
    // Back before the stand-in ended: it waits for the release that only this test gives.
    const char state = processState(record["pid"]);
    EXPECT_TRUE(state != 0 && state != 'Z') << "state " << state;
    EXPECT_EQ(record["arguments"], "0");
    EXPECT_EQ(record["parent"], std::to_string(getpid()));
    EXPECT_EQ(record["stdin"], "/dev/null");
    EXPECT_EQ((" " + record["descriptors"]).find(" " + std::to_string(forgotten) + " "),
              std::string::npos)
        << record["descriptors"];
    EXPECT_FALSE(fs::exists(dir.path() / (std::string(request.other) + ".log")));
    close(forgotten);

    std::ofstream(dir.path() / "release").flush();
    EXPECT_TRUE(eventually([&] { return processState(record["pid"]) == 0; }))
        << "the ended stand-in stays a zombie";
}

INSTANTIATE_TEST_SUITE_P(Linux, Dialer, testing::ValuesIn(kRequests),
                         [](const auto& test) { return std::string(test.param.name); });

// Nothing on PATH that can be started: both requests fail, and no process was left behind.
TEST(Dialer, FailsQuietlyWithoutProgram) {
    const struct {
        const char* name;
        std::optional<fs::perms> pon; // a file named pon, and its permissions
    } cases[] = {{"none on PATH", std::nullopt}, {"not executable", fs::perms::owner_read}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const TempDir dir;
        if (row.pon) {
            writeProgram(dir.path() / "pon", kStandIn, *row.pon);
            writeProgram(dir.path() / "poff", kStandIn, *row.pon);
        }
        const ScopedEnv path("PATH", dir.path().string());
        LinuxPlatform system;
        EXPECT_EQ(system.InternetAutodial(0, nullptr), FALSE);
        EXPECT_EQ(system.InternetAutodialHangup(0), FALSE);
        errno = 0;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
        EXPECT_FALSE(fs::exists(dir.path() / "pon.log"));
    }
}

} // namespace
} // namespace platform
