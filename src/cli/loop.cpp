#include "cli/loop.h"

#include <algorithm>
#include <ctime>

#include <poll.h>

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

void RealTimeLoop::watch(modbus::SerialPort& port) {
    if (std::find(ports_.begin(), ports_.end(), &port) == ports_.end()) ports_.push_back(&port);
}

void RealTimeLoop::unwatch(modbus::SerialPort& port) {
    std::erase(ports_, &port);
}

bool RealTimeLoop::wait_on_descriptors(std::chrono::milliseconds wait) {
    if (ports_.empty()) return false;
    std::vector<pollfd> fds;
    std::vector<modbus::SerialPort*> ready;
    for (modbus::SerialPort* p : ports_) {
        if (!p->port_open()) continue;
        const modbus::SerialPort::Wait w = p->wait_on();
        if (w.event_loop) return false;
        if (w.descriptor < 0) continue;
        fds.push_back(pollfd{w.descriptor, POLLIN, 0});
        ready.push_back(p);
    }
    // nothing to hear: the loop sleeps until its timer all the same
    const timespec limit{static_cast<std::time_t>(wait.count() / 1000),
                         static_cast<long>(wait.count() % 1000) * 1'000'000L};
    // a signal (Ctrl+C) ends the wait early: the caller looks at `finished` again
    if (::ppoll(fds.data(), fds.size(), &limit, nullptr) <= 0) return true;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        // a port handling its bytes may have closed or dropped another
        if (std::find(ports_.begin(), ports_.end(), ready[i]) == ports_.end()) continue;
        ready[i]->descriptor_ready();
    }
    return true;
}

void RealTimeLoop::run_until(const std::function<bool()>& finished) {
    for (;;) {
        // what a port has left for later (closing a device that went away) is done before anything
        // else; it costs nothing when there is none
        QCoreApplication::sendPostedEvents();
        if (finished() || entries_.empty()) break;
        auto it = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        });
        const auto wait = it->due - now();
        if (wait.count() > 0) {
            if (wait_on_descriptors(wait)) continue;
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
