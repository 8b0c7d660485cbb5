// SPDX-License-Identifier: GPL-3.0-or-later
// The real program in a network namespace of its own, whose links the test brings up and down as
// a modem would: every connection must reach the counter file, to the second, whether it ends by
// itself or the program is told to stop.

#include "tests/platform/linux/bus_stand_in.h"
#include "tests/platform/linux/network_namespace.h"
#include "tests/platform/linux/nm_stand_in.h"
#include "tests/platform/linux/process_support.h"

#include <gtest/gtest.h>
#include <linux/if_arp.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <sys/wait.h>

#ifndef ARPHRD_RAWIP
#define ARPHRD_RAWIP 519
#endif

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCounterFile = "decompte_internet.log";
constexpr const char* kCheckpointFile = "decompte_internet.reprise";
constexpr const char* kSettingsFile = "decompte_internet.ini";

// The program, started in dir with the offscreen display; stopped by its pid when the test ends.
class Program {
public:
    explicit Program(const std::filesystem::path& dir, const char* locale = "fr_FR.UTF-8") {
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) {
                _exit(127);
            }
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            setenv("LANG", locale, 1);
            setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            execl(FILOCOMPTE_EXECUTABLE, FILOCOMPTE_EXECUTABLE, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Program() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Stopped for that long, as by a debugger or a job control, then let go on.
    void Pause(std::chrono::milliseconds pause) const {
        kill(pid_, SIGSTOP);
        std::this_thread::sleep_for(pause);
        kill(pid_, SIGCONT);
    }

    // Sends the signal and waits (bounded) for the exit; its status, or -1.
    int Stop(int signal) {
        kill(pid_, signal);
        int status = -1;
        const bool ended = eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        pid_ = ended ? 0 : pid_;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
};

void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

long SecondsOf(const std::filesystem::path& dir) {
    std::ifstream file(dir / kCounterFile);
    std::string date, seconds;
    std::getline(file, date);
    std::getline(file, seconds);
    return seconds.empty() ? -1 : std::stol(seconds);
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A connection of about `seconds` counts its ticks plus the dead time: never more than the time
// it lasted, at most two ticks less (the first tick comes a second after the link is seen).
void ExpectCounted(long added, double seconds) {
    EXPECT_GE(added, 10 + static_cast<long>(seconds) - 2) << "lasted " << seconds << " s";
    EXPECT_LE(added, 10 + static_cast<long>(seconds) + 1) << "lasted " << seconds << " s";
}

std::string Line1Of(const std::filesystem::path& dir) {
    std::ifstream file(dir / kCounterFile);
    std::string date;
    std::getline(file, date);
    return date;
}

// The line of the file that starts with the prefix, without it; empty when there is none.
std::string LineAfter(const std::filesystem::path& file, const std::string& prefix) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix)) {
            return line.substr(prefix.size());
        }
    }
    return {};
}

// The octets received that the checkpoint holds: its seventh line.
std::string CheckpointReceived(const std::filesystem::path& dir) {
    std::ifstream in(dir / kCheckpointFile);
    std::string line;
    for (int i = 0; i < 7 && std::getline(in, line); ++i) {
    }
    return line.substr(0, line.find('\r'));
}

// The first day of next month, as the alerts write it: "01/01/2027".
std::string NextFirstOfMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm day{};
    localtime_r(&now, &day);
    day.tm_mday = 1;
    ++day.tm_mon; // mktime carries December into January
    std::mktime(&day);
    char text[16];
    std::strftime(text, sizeof text, "%d/%m/%Y", &day);
    return text;
}

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// An idle PPP link in the calling thread's network namespace; a connection is its default route.
class Modem {
public:
    Modem() {
        EXPECT_TRUE(device_.ok());
        run("ip link set ppp0 up && ip addr add 10.64.0.2 peer 10.64.0.1 dev ppp0");
    }
    void Connect() { run("ip route add default dev ppp0"); }
    void HangUp() { run("ip route del default"); }
    bool Receive(std::size_t octets) const { return device_.receive(octets); }

    // Connects for about that long and hangs up; how long it was up.
    double ConnectFor(
        int milliseconds, const std::function<void()>& meanwhile = [] {}) {
        Connect();
        const auto start = Clock::now();
        meanwhile();
        Sleep(milliseconds);
        HangUp();
        return Since(start);
    }

private:
    TunDevice device_{"ppp0", ARPHRD_PPP};
};

struct Link {
    const char* name;
    unsigned short type;
};

// Named in the test's listing by its name, not its bytes.
void PrintTo(const Link& param, std::ostream* out) {
    *out << param.name;
}

class RealProgram : public ::testing::TestWithParam<Link> {};

TEST_P(RealProgram, CountsEachConnectionOfADialUpLink) {
    TempDir dir;
    Write(dir.path() / "jour_raz.txt", "1\r\n");
    Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n100\r\n0\r\n");
    const std::string link = GetParam().name;
    inNetworkNamespaceOrSkip([&] {
        TunDevice device(link.c_str(), GetParam().type);
        ASSERT_TRUE(device.ok());
        run("ip link set " + link + " up && ip addr add 10.64.0.2 peer 10.64.0.1 dev " + link);
        const std::string up = "ip route add default dev " + link;
        run(up);
        Program program(dir.path());
        auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(4300));
        run("ip route del default");
        double lasted = Since(start);
        ASSERT_TRUE(eventually([&] { return SecondsOf(dir.path()) != 100; }));
        ExpectCounted(SecondsOf(dir.path()) - 100, lasted);

        // A second connection, still up when the system asks the program to end.
        const long before = SecondsOf(dir.path());
        run(up);
        start = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(3300));
        lasted = Since(start);
        EXPECT_EQ(program.Stop(SIGTERM), 0);
        ExpectCounted(SecondsOf(dir.path()) - before, lasted);
    });
}

INSTANTIATE_TEST_SUITE_P(Links, RealProgram,
                         ::testing::Values(Link{"ppp0", ARPHRD_PPP}, Link{"wwan0", ARPHRD_RAWIP}),
                         [](const auto& test) { return std::string(test.param.name); });

// A phone tethered over USB that NetworkManager reports metered is counted to the second, also
// when NetworkManager stops in the middle of the connection and leaves the link up.
TEST(RealProgram, CountsATetheredPhoneReportedMetered) {
    TempDir dir;
    Write(dir.path() / "jour_raz.txt", "1\r\n");
    Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n100\r\n0\r\n");
    NmStandIn nm;
    nm.start();
    nm.run("device usb0 3");
    inNetworkNamespaceOrSkip([&] {
        run("ip link add usb0 type veth peer name usb0-peer && ip link set usb0-peer up && "
            "ip link set usb0 up && ip addr add 192.168.42.2/24 dev usb0");
        Program program(dir.path());
        // Started, and told by NetworkManager, before the connection.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        run("ip route add default via 192.168.42.129");
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(2300));
        nm.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        run("ip route del default");
        const double lasted = Since(start);
        ASSERT_TRUE(eventually([&] { return SecondsOf(dir.path()) != 100; }));
        ExpectCounted(SecondsOf(dir.path()) - 100, lasted);
        EXPECT_EQ(program.Stop(SIGTERM), 0);
    });
}

// An Ethernet link with a default route is a LAN or a router, never a metered connection, even
// beside a modem link that is configured but down.
TEST(RealProgram, NeverCountsALanLink) {
    TempDir dir;
    Write(dir.path() / "jour_raz.txt", "1\r\n");
    Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n100\r\n0\r\n");
    inNetworkNamespaceOrSkip([&] {
        const TunDevice idleModem("ppp0", ARPHRD_PPP);
        ASSERT_TRUE(idleModem.ok());
        run("ip link add wwan0 type veth peer name fc-peer && ip link set fc-peer up && "
            "ip link set wwan0 up && ip addr add 192.168.77.2/24 dev wwan0 && "
            "ip route add default via 192.168.77.1");
        Program program(dir.path());
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        EXPECT_EQ(program.Stop(SIGTERM), 0);
        EXPECT_EQ(SecondsOf(dir.path()), 100);
    });
}

// Nothing the program shows waits for an answer before counting: a box left open at the start
// (a counter file set aside) or by a failing tick (the file gone at the hang-up), and a process
// stopped for a while inside a connection, lose no second.
TEST(RealProgram, NoBoxAndNoStopLosesASecond) {
    TempDir dir;
    Write(dir.path() / "jour_raz.txt", "1\r\n");
    Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n100\r\n");
    inNetworkNamespaceOrSkip([&] {
        Modem modem;
        Program program(dir.path());
        Sleep(1500);
        // Stopped once the program counts the connection: before, it could not know of it.
        double lasted = modem.ConnectFor(2000, [&] {
            Sleep(2000);
            program.Pause(std::chrono::seconds(5));
        });
        ASSERT_TRUE(eventually([&] { return SecondsOf(dir.path()) != 100; }));
        ExpectCounted(SecondsOf(dir.path()) - 100, lasted);

        std::filesystem::remove(dir.path() / kCounterFile);
        lasted = modem.ConnectFor(3000);
        Sleep(2500);
        Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n500\r\n1\r\n");
        ASSERT_TRUE(eventually([&] { return SecondsOf(dir.path()) != 500; }));
        ExpectCounted(SecondsOf(dir.path()) - 500, lasted);
    });
}

// A lock that cannot be taken (a directory, a planted link) means no counting at all, never
// counting unlocked; a FIFO in the counter file's place is set aside, never waited on.
TEST(RealProgram, HostileFilesInTheFolder) {
    const struct {
        const char* made;
        bool counts;
    } cases[] = {{"mkdir decompte_internet.verrou", false},
                 {"ln -s elsewhere decompte_internet.verrou", false},
                 {"rm decompte_internet.log && mkfifo decompte_internet.log", true}};
    for (const auto& c : cases) {
        TempDir dir;
        Write(dir.path() / "jour_raz.txt", "1\r\n");
        Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n100\r\n0\r\n");
        run("cd " + dir.path().string() + " && " + c.made);
        inNetworkNamespaceOrSkip([&] {
            Modem modem;
            Program program(dir.path());
            Sleep(1500);
            const double lasted = modem.ConnectFor(3000);
            Sleep(1500);
            if (c.counts) {
                ExpectCounted(SecondsOf(dir.path()), lasted);
            } else {
                EXPECT_EQ(SecondsOf(dir.path()), 100) << c.made;
            }
        });
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "elsewhere")) << c.made;
    }
}

// A connection killed outright keeps its octets through the checkpoint; the staged alert it
// crosses reaches the desktop's notification service once, and not again after the restart.
TEST(RealProgram, KeepsTheVolumeAndTheAlertsAcrossAKill) {
    TempDir dir;
    Write(dir.path() / "jour_raz.txt", "1\r\n");
    // 15h59m50s of a plan of 20 hours: 80 % ten seconds into the connection.
    Write(dir.path() / kCounterFile, "05/03/2026 10:00:00\r\n57590\r\n20\r\n");
    BusStandIn notifications("DBUS_SESSION_BUS_ADDRESS", NOTIFICATION_STAND_IN);
    notifications.start();
    inNetworkNamespaceOrSkip([&] {
        Modem modem;
        {
            Program program(dir.path());
            Sleep(1500);
            modem.Connect();
            // The first connected tick reads the link's counters, its start, and checkpoints.
            ASSERT_TRUE(
                eventually([&] { return std::filesystem::exists(dir.path() / kCheckpointFile); }));
            for (int packet = 0; packet < 100; ++packet) {
                ASSERT_TRUE(modem.Receive(1000));
            }
            ASSERT_TRUE(eventually([&] { return CheckpointReceived(dir.path()) == "100000"; },
                                   std::chrono::seconds(15)));
            program.Stop(SIGKILL);
        }
        modem.HangUp();
        Program restarted(dir.path());
        ASSERT_TRUE(
            eventually([&] { return !std::filesystem::exists(dir.path() / kCheckpointFile); }));
        Sleep(2500);
        EXPECT_EQ(LineAfter(dir.path() / kSettingsFile, "octets="), "100000");
        EXPECT_EQ(restarted.Stop(SIGTERM), 0);
    });
    EXPECT_EQ(notifications.run("calls"),
              "Filocompte\t0\tfilocompte\tForfait Internet\tForfait : 80 % des heures utilisées "
              "(16h00 sur 20h), R.A.Z. le " +
                  NextFirstOfMonth() + ".\tfilocompte\t15000");
}

// Whatever the locale, the reset date is written day first with four digits to the year.
TEST(RealProgram, FirstStartWritesTheDateInItsOwnForm) {
    for (const char* locale : {"C.UTF-8", "en_US.UTF-8"}) {
        TempDir dir;
        Program program(dir.path(), locale);
        ASSERT_TRUE(eventually([&] { return !Line1Of(dir.path()).empty(); })) << locale;
        const std::regex form(R"(\d\d/\d\d/\d{4}( \d\d:\d\d:\d\d)?\r)");
        EXPECT_TRUE(std::regex_match(Line1Of(dir.path()), form)) << Line1Of(dir.path());
        EXPECT_EQ(program.Stop(SIGTERM), 0);
    }
}

} // namespace
} // namespace platform
