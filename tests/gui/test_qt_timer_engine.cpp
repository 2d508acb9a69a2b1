// The QTimer engine never runs a tick inside the handler that opened a modal dialog: ticks that fall
// due meanwhile wait and are delivered once, from the event loop, after the dialog has closed.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "controls/timer.h"
#include "gui/qt_timer_engine.h"
#include "qt_test_app.h"

namespace plx::gui {
namespace {

using std::chrono::milliseconds;

class TimerEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        timer.set_interval(milliseconds(50));
        timer.on_tick = [this] { ++ticks; };
        timer.attach(&engine);
        timer.set_enabled(true);
    }
    void TearDown() override { timer.attach(nullptr); }

    QtTimerEngine engine;
    controls::Timer timer{"Timer4"};
    int ticks = 0;
};

TEST_F(TimerEngineTest, DueTickRunsAtOnceWhenNothingIsHeld) {
    engine.deliver(timer);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerEngineTest, TickDueDuringAModalDialogWaitsForTheEventLoop) {
    {
        const TickHold hold(&engine);
        engine.deliver(timer);
        EXPECT_EQ(ticks, 0);
    }
    // the handler that opened the dialog is still on the stack here
    EXPECT_EQ(ticks, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerEngineTest, SeveralIntervalsDuringAHoldGiveOneTick) {
    engine.hold();
    engine.deliver(timer);
    engine.deliver(timer);
    engine.deliver(timer);
    EXPECT_EQ(engine.waiting(), 1u);
    engine.release();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerEngineTest, TimerStoppedDuringTheHoldDoesNotTickAfterwards) {
    engine.hold();
    engine.deliver(timer);
    timer.set_enabled(false);
    engine.release();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerEngineTest, NestedHoldsReleaseOnlyAtTheOutermost) {
    engine.hold();
    engine.hold();
    engine.deliver(timer);
    engine.release();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
    engine.release();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerEngineTest, WaitingTicksRunInTheOrderTheyFellDue) {
    std::vector<std::string> order;
    controls::Timer other{"Timer5"};
    other.set_interval(milliseconds(10000));
    other.attach(&engine);
    other.set_enabled(true);
    other.on_tick = [&] { order.push_back("Timer5"); };
    timer.on_tick = [&] { order.push_back("Timer4"); };
    engine.hold();
    engine.deliver(other);
    engine.deliver(timer);
    engine.release();
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"Timer5", "Timer4"}));
    other.attach(nullptr);
}

TEST_F(TimerEngineTest, DetachedTimerIsForgotten) {
    engine.hold();
    engine.deliver(timer);
    timer.attach(nullptr);
    EXPECT_EQ(engine.waiting(), 0u);
    engine.release();
}

}  // namespace
}  // namespace plx::gui
