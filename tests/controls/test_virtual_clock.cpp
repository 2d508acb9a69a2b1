#include <gtest/gtest.h>

#include "controls/timer.h"

using namespace plx::controls;
using namespace std::chrono_literals;

// ticks due at the same moment fire in the order their countdowns were started
TEST(VirtualClock, FiresDueTicksInTimeOrder) {
    VirtualClock clock;
    Timer a("a"), b("b");
    a.attach(&clock);
    b.attach(&clock);
    std::vector<std::string> trace;
    a.on_tick = [&] { trace.push_back("a" + std::to_string(clock.now().count())); };
    b.on_tick = [&] { trace.push_back("b" + std::to_string(clock.now().count())); };
    a.set_interval(100ms);
    b.set_interval(150ms);
    a.set_enabled(true);
    b.set_enabled(true);
    clock.advance(300ms);
    EXPECT_EQ(trace, (std::vector<std::string>{"a100", "b150", "a200", "b300", "a300"}));
}

TEST(VirtualClock, TickMayEnableOrRetimeTimers) {
    VirtualClock clock;
    Timer a("a"), b("b");
    a.attach(&clock);
    b.attach(&clock);
    std::vector<std::int64_t> b_ticks;
    a.set_interval(100ms);
    b.set_interval(50ms);
    a.on_tick = [&] {
        a.set_enabled(false);
        b.set_enabled(true);
    };
    b.on_tick = [&] {
        b_ticks.push_back(clock.now().count());
        if (b_ticks.size() == 2) b.set_interval(10ms);
    };
    a.set_enabled(true);
    clock.advance(230ms);
    EXPECT_EQ(b_ticks, (std::vector<std::int64_t>{150, 200, 210, 220, 230}));
    EXPECT_FALSE(a.enabled());
}

TEST(VirtualClock, ReEnablingRunningTimerKeepsCountdownAndZeroIntervalStops) {
    VirtualClock clock;
    Timer t("t");
    t.attach(&clock);
    int ticks = 0;
    t.on_tick = [&] { ++ticks; };
    t.set_interval(100ms);
    t.set_enabled(true);
    clock.advance(60ms);
    t.set_enabled(true);
    clock.advance(40ms);
    EXPECT_EQ(ticks, 1);
    t.set_interval(0ms);
    clock.advance(1000ms);
    EXPECT_EQ(ticks, 1);
}
