// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/linux_platform.h"
#include "platform/sound.h"
#include "tests/platform/linux/process_support.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

using namespace std::chrono_literals;

// The display bell a GUI would install; it counts its rings and can be held, as a busy GUI
// thread would hold it.
class CountingBell {
public:
    CountingBell() {
        setDisplayBell([this] { ring(); });
    }
    ~CountingBell() { setDisplayBell({}); }
    CountingBell(const CountingBell&) = delete;
    CountingBell& operator=(const CountingBell&) = delete;

    int rings() {
        const std::lock_guard lock(mutex_);
        return rings_;
    }
    bool waitForRings(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return rings_ >= count; });
    }
    void hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void release() {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        changed_.notify_all();
    }

private:
    void ring() {
        std::unique_lock lock(mutex_);
        ++rings_;
        changed_.notify_all();
        changed_.wait_for(lock, 10s, [this] { return !held_; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int rings_ = 0;
    bool held_ = false;
};

// libcanberra asked for a sound server that is not there, whatever this machine has.
class BeepWithoutSoundServer : public testing::Test {
    const ScopedEnv driver_{"CANBERRA_DRIVER", "pulse"};
    const ScopedEnv server_{"PULSE_SERVER", "unix:/nonexistent/filocompte-test"};
};

TEST_F(BeepWithoutSoundServer, RingsTheDisplayBellOncePerBeep) {
    CountingBell bell;
    {
        LinuxPlatform system;
        for (int beeps = 1; beeps <= 3; ++beeps) {
            EXPECT_EQ(system.MessageBeep(0), TRUE);
            EXPECT_TRUE(bell.waitForRings(beeps));
        }
    } // the platform's sound thread has ended
    EXPECT_EQ(bell.rings(), 3);
}

// A beep never waits, not even for a bell still ringing; the beeps asked for meanwhile make one.
TEST_F(BeepWithoutSoundServer, NeverWaitsForTheBell) {
    CountingBell bell;
    bell.hold();
    {
        LinuxPlatform system;
        system.MessageBeep(0);
        ASSERT_TRUE(bell.waitForRings(1));
        const auto start = std::chrono::steady_clock::now();
        system.MessageBeep(0);
        system.MessageBeep(0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "a beep waited for the bell";
        bell.release();
        EXPECT_TRUE(bell.waitForRings(2));
    }
    EXPECT_EQ(bell.rings(), 2);
}

} // namespace
} // namespace platform
