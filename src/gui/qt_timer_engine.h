#pragma once
// The window timers on QTimer. A modal dialog spins an event loop inside the handler that opened it;
// ticks falling due meanwhile are held and delivered afterwards from the event loop, one at a time,
// so that a tick never runs inside another handler.

#include <QObject>
#include <map>
#include <memory>
#include <vector>

#include "controls/timer.h"

class QTimer;

namespace plx::gui {

class QtTimerEngine : public controls::TimerEngine {
public:
    QtTimerEngine();
    ~QtTimerEngine() override;
    QtTimerEngine(const QtTimerEngine&) = delete;
    QtTimerEngine& operator=(const QtTimerEngine&) = delete;

    void rearm(controls::Timer& t) override;
    void detach(controls::Timer& t) override;

    // Held while a modal dialog of our adapters is open; nests.
    void hold();
    void release();
    bool held() const { return holds_ > 0; }

    // A timer's interval elapsed: tick now, or later when ticks are held.
    void deliver(controls::Timer& t);
    // Timers whose ticks wait for the hold to end.
    std::size_t waiting() const { return waiting_.size(); }

private:
    void flush_waiting();

    std::unique_ptr<QObject> context_;
    std::map<controls::Timer*, QTimer*> qtimers_;
    std::vector<controls::Timer*> waiting_;  // in the order they fell due
    int holds_ = 0;
    bool flush_posted_ = false;
};

// Holds the ticks for the life of a modal dialog.
class TickHold {
public:
    explicit TickHold(QtTimerEngine* engine) : engine_(engine) {
        if (engine_) engine_->hold();
    }
    ~TickHold() {
        if (engine_) engine_->release();
    }
    TickHold(const TickHold&) = delete;
    TickHold& operator=(const TickHold&) = delete;

private:
    QtTimerEngine* engine_;
};

}  // namespace plx::gui
