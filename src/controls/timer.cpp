#include "controls/timer.h"

#include <algorithm>

namespace plx::controls {

Timer::~Timer() {
    if (engine_) engine_->detach(*this);
}

void Timer::attach(TimerEngine* engine) {
    if (engine_) engine_->detach(*this);
    engine_ = engine;
    if (engine_) engine_->rearm(*this);
}

void Timer::set_interval(std::chrono::milliseconds ms) {
    if (ms.count() < 0) ms = std::chrono::milliseconds(0);
    if (interval_ == ms) return;
    interval_ = ms;
    if (engine_) engine_->rearm(*this);
}

void Timer::set_enabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    if (engine_) engine_->rearm(*this);
}

std::chrono::milliseconds TimerEngine::now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void VirtualClock::rearm(Timer& t) {
    detach(t);
    if (t.running()) entries_.push_back({&t, now_ + t.interval(), seq_++});
}

void VirtualClock::detach(Timer& t) {
    std::erase_if(entries_, [&](const Entry& e) { return e.timer == &t; });
}

void VirtualClock::advance(std::chrono::milliseconds ms) {
    const auto target = now_ + ms;
    for (;;) {
        auto it = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        });
        if (it == entries_.end() || it->due > target) break;
        now_ = it->due;
        Timer* t = it->timer;
        // re-arm before the tick, so a tick that stops or re-times its own timer wins
        it->due = now_ + t->interval();
        it->seq = seq_++;
        ++ticks_;
        t->fire();
    }
    now_ = target;
}

}  // namespace plx::controls
