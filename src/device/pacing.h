#pragma once
// The pacing of requests to a unit, derived from its minimum response time (configuration register
// 33): the window's timer intervals, and the pace plx24ctl keeps.

#include <chrono>

namespace plx::device {

// Window timers hold 16-bit intervals; a derived interval never goes above this.
inline constexpr std::chrono::milliseconds kMaxTimerInterval{32767};

// Base 200 after opening the port, 150 after a write that changed register 33. A negative response
// time counts as 0.
// Between two configuration blocks (read or written) and two input-register writes: 2 x rt + base.
std::chrono::milliseconds block_interval(int response_time, int base_ms);
// Between two polls of the output registers: rt + base.
std::chrono::milliseconds poll_interval(int response_time, int base_ms);

}  // namespace plx::device
