#pragma once
// The timer engine plx24ctl runs its bus jobs on: a single thread asleep until the next timer is due
// or a port has bytes, so nothing looks at the line by the clock. While every open port it watches is
// a device with a descriptor (a serial line), it sleeps on those descriptors itself; a port that only
// Qt's event loop can serve (a gateway's connection) has it sleep in that loop, where the port tells
// of its bytes itself. Tests hand in a virtual clock instead.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "controls/timer.h"
#include "modbus/serial_port.h"

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
    // The ports whose bytes wake the loop; a watched port must be unwatched before it goes.
    void watch(modbus::SerialPort& port);
    void unwatch(modbus::SerialPort& port);

  private:
    // asleep on the watched ports' descriptors for at most `wait`; false when a port needs Qt's loop
    bool wait_on_descriptors(std::chrono::milliseconds wait);
    struct Entry {
        controls::Timer* timer;
        std::chrono::milliseconds due;
        std::uint64_t seq;
    };
    struct Waker;
    std::unique_ptr<Waker> waker_;
    std::vector<Entry> entries_;
    std::uint64_t seq_ = 0;
    std::vector<modbus::SerialPort*> ports_;
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
