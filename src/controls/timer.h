#pragma once
// Window timers. A Timer has Interval, Enabled and a tick handler; a TimerEngine runs them. The
// program uses QTimer (gui/), tests a VirtualClock, so a whole read-out runs in milliseconds.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plx::controls {

class TimerEngine;

class Timer {
public:
    explicit Timer(std::string name = {}) : name(std::move(name)) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    std::string name;

    std::chrono::milliseconds interval() const { return interval_; }
    // Interval in milliseconds as the window timer holds it; 0 stops the ticks. A new interval on a
    // running timer restarts its countdown.
    void set_interval(std::chrono::milliseconds ms);
    bool enabled() const { return enabled_; }
    // Enabling a stopped timer starts its countdown; enabling a running one changes nothing.
    void set_enabled(bool on);
    // Running: enabled with a non-zero interval.
    bool running() const { return enabled_ && interval_.count() > 0; }

    std::function<void()> on_tick;

    void attach(TimerEngine* engine);
    // Called by the engine when the timer is due.
    void fire() {
        if (on_tick) on_tick();
    }

private:
    std::chrono::milliseconds interval_{0};
    bool enabled_ = false;
    TimerEngine* engine_ = nullptr;
};

class TimerEngine {
public:
    virtual ~TimerEngine() = default;
    // The timer's interval or enabled state changed: (re)arm it or stop it.
    virtual void rearm(Timer& t) = 0;
    virtual void detach(Timer& t) = 0;
    // The program's clock, for time stamps: the steady clock unless the engine keeps its own.
    virtual std::chrono::milliseconds now() const;
};

// Test clock: advance(ms) fires every due tick in time order, one handler at a time, including
// timers that a tick enables or re-times.
class VirtualClock : public TimerEngine {
public:
    void rearm(Timer& t) override;
    void detach(Timer& t) override;

    void advance(std::chrono::milliseconds ms);
    void advance_ms(std::int64_t ms) { advance(std::chrono::milliseconds(ms)); }
    std::chrono::milliseconds now() const override { return now_; }
    // ticks fired so far
    std::uint64_t ticks() const { return ticks_; }

private:
    struct Entry {
        Timer* timer;
        std::chrono::milliseconds due;
        std::uint64_t seq;  // arming order decides between ticks due at the same time
    };
    std::vector<Entry> entries_;
    std::chrono::milliseconds now_{0};
    std::uint64_t seq_ = 0;
    std::uint64_t ticks_ = 0;
};

}  // namespace plx::controls
