#include "cli/loop.h"

#include <algorithm>
#include <thread>

namespace plx::cli {

void RealTimeLoop::rearm(controls::Timer& t) {
    detach(t);
    if (t.running()) entries_.push_back({&t, now() + t.interval(), seq_++});
}

void RealTimeLoop::detach(controls::Timer& t) {
    std::erase_if(entries_, [&](const Entry& e) { return e.timer == &t; });
}

void RealTimeLoop::run_until(const std::function<bool()>& finished) {
    while (!finished() && !entries_.empty()) {
        auto it = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        });
        const auto wait = it->due - now();
        if (wait.count() > 0) {
            std::this_thread::sleep_for(wait);
            // a rearm cannot happen while asleep, but the loop may have been asked to stop
            continue;
        }
        controls::Timer* t = it->timer;
        // re-armed before the tick, so a tick that stops or re-times its own timer wins
        it->due = now() + t->interval();
        it->seq = seq_++;
        t->fire();
    }
}

void VirtualLoop::run_until(const std::function<bool()>& finished) {
    constexpr std::chrono::milliseconds step{5};
    for (std::chrono::milliseconds spent{0}; !finished() && spent < limit_; spent += step) {
        clock_.advance(step);
        if (on_step) on_step();
    }
}

}  // namespace plx::cli
