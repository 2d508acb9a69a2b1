#pragma once
// The timer engine plx24ctl runs its bus jobs on: a single thread asleep in Qt's event loop until the
// next timer is due or the port has bytes (the port tells of them itself, so nothing looks at the
// line by the clock). Tests hand in a virtual clock instead.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "controls/timer.h"

namespace plx::cli {

class Loop : public controls::TimerEngine {
  public:
    // Fires due timers until `finished` says so, or until no timer runs any more.
    virtual void run_until(const std::function<bool()>& finished) = 0;
};

class RealTimeLoop final : public Loop {
  public:
    RealTimeLoop();
    ~RealTimeLoop() override;
    RealTimeLoop(const RealTimeLoop&) = delete;
    RealTimeLoop& operator=(const RealTimeLoop&) = delete;
    void rearm(controls::Timer& t) override;
    void detach(controls::Timer& t) override;
    void run_until(const std::function<bool()>& finished) override;

  private:
    struct Entry {
        controls::Timer* timer;
        std::chrono::milliseconds due;
        std::uint64_t seq;
    };
    struct Waker;
    std::unique_ptr<Waker> waker_;
    std::vector<Entry> entries_;
    std::uint64_t seq_ = 0;
};

// The virtual clock for tests: run_until advances it in small steps, at most `limit` in all.
class VirtualLoop final : public Loop {
  public:
    explicit VirtualLoop(std::chrono::milliseconds limit = std::chrono::minutes(30)) : limit_(limit) {}
    void rearm(controls::Timer& t) override { clock_.rearm(t); }
    void detach(controls::Timer& t) override { clock_.detach(t); }
    std::chrono::milliseconds now() const override { return clock_.now(); }
    void run_until(const std::function<bool()>& finished) override;
    // timer ticks fired so far: the wake-ups a real loop would have had
    std::uint64_t ticks() const { return clock_.ticks(); }
    // called once per step, e.g. to interrupt a monitor in a test
    std::function<void()> on_step;

  private:
    controls::VirtualClock clock_;
    std::chrono::milliseconds limit_;
};

}  // namespace plx::cli
