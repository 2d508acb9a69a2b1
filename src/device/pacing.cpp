#include "device/pacing.h"

#include <algorithm>

namespace plx::device {

namespace {

std::chrono::milliseconds bounded(long ms) {
    return std::chrono::milliseconds(std::clamp<long>(ms, 1, kMaxTimerInterval.count()));
}

}  // namespace

std::chrono::milliseconds block_interval(int response_time, int base_ms) {
    return bounded(2L * std::max(response_time, 0) + base_ms);
}

std::chrono::milliseconds poll_interval(int response_time, int base_ms) {
    return bounded(static_cast<long>(std::max(response_time, 0)) + base_ms);
}

}  // namespace plx::device
