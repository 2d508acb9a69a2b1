#include "cli/loop.h"

#include <algorithm>

#include <QCoreApplication>
#include <QTimer>

namespace plx::cli {

struct RealTimeLoop::Waker {
    QTimer timer;
    std::chrono::milliseconds due{0};
};

RealTimeLoop::RealTimeLoop() : waker_(std::make_unique<Waker>()) {
    waker_->timer.setSingleShot(true);
    // a reception window of a few milliseconds must not end late by a coarse timer's slack
    waker_->timer.setTimerType(Qt::PreciseTimer);
}

RealTimeLoop::~RealTimeLoop() = default;

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
            // asleep until that timer is due or the port has news: its bytes are taken by its own
            // handler (SerialPort::on_arrival) while the event loop runs, which may re-time or stop
            // any timer, so the next one is looked for afresh
            // (the waker keeps its time when the port woke the loop and that timer is still next)
            if (!waker_->timer.isActive() || waker_->due != it->due) {
                waker_->timer.start(wait);
                waker_->due = it->due;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            continue;
        }
        controls::Timer* t = it->timer;
        // re-armed before the tick, so a tick that stops or re-times its own timer wins
        it->due = now() + t->interval();
        it->seq = seq_++;
        t->fire();
    }
    waker_->timer.stop();
}

void VirtualLoop::run_until(const std::function<bool()>& finished) {
    constexpr std::chrono::milliseconds step{5};
    for (std::chrono::milliseconds spent{0}; !finished() && spent < limit_; spent += step) {
        clock_.advance(step);
        if (on_step) on_step();
    }
}

}  // namespace plx::cli
