// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/phased_timer.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(PhasedTimer, WakesOnThePhaseOfItsFirstStart) {
    std::chrono::milliseconds now = 7000ms;
    PhasedTimer timer(25ms, [&] { return now; });
    EXPECT_FALSE(timer.IsActive());
    timer.Start();
    EXPECT_TRUE(timer.IsActive());
    EXPECT_EQ(timer.NextTick(), 25ms);

    const struct {
        std::chrono::milliseconds wake, next;
    } cases[] = {{1030ms, 1050ms}, {1050ms, 1075ms}, {1051ms, 1075ms}, {90000ms, 90025ms}};
    for (const auto& c : cases) {
        timer.Stop();
        EXPECT_FALSE(timer.IsActive());
        now = 7000ms + c.wake;
        timer.Start();
        EXPECT_TRUE(timer.IsActive());
        EXPECT_EQ(timer.NextTick(), c.next) << c.wake.count();
    }
    // A start while it runs changes nothing.
    now += 10ms;
    timer.Start();
    EXPECT_EQ(timer.NextTick(), 90025ms);
}
