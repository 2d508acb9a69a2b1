#include "gui/qt_timer_engine.h"

#include <QMetaObject>
#include <QTimer>
#include <algorithm>

namespace plx::gui {

QtTimerEngine::QtTimerEngine() : context_(std::make_unique<QObject>()) {}

QtTimerEngine::~QtTimerEngine() {
    // the QTimers are children of the context and go with it
    qtimers_.clear();
}

void QtTimerEngine::rearm(controls::Timer& t) {
    QTimer*& q = qtimers_[&t];
    if (!q) {
        q = new QTimer(context_.get());
        q->setTimerType(Qt::PreciseTimer);
        controls::Timer* timer = &t;
        QObject::connect(q, &QTimer::timeout, context_.get(), [this, timer]() { deliver(*timer); });
    }
    if (t.running()) {
        q->start(static_cast<int>(t.interval().count()));
    } else {
        q->stop();
        std::erase(waiting_, &t);
    }
}

void QtTimerEngine::detach(controls::Timer& t) {
    std::erase(waiting_, &t);
    auto it = qtimers_.find(&t);
    if (it == qtimers_.end()) return;
    delete it->second;
    qtimers_.erase(it);
}

void QtTimerEngine::hold() { ++holds_; }

void QtTimerEngine::release() {
    if (holds_ == 0) return;
    if (--holds_ > 0 || waiting_.empty() || flush_posted_) return;
    // the handler that opened the dialog is still running: deliver from the event loop
    flush_posted_ = true;
    QMetaObject::invokeMethod(context_.get(), [this]() { flush_waiting(); }, Qt::QueuedConnection);
}

void QtTimerEngine::deliver(controls::Timer& t) {
    if (holds_ > 0) {
        // a held timer ticks once after the hold, however many intervals passed
        if (std::find(waiting_.begin(), waiting_.end(), &t) == waiting_.end()) waiting_.push_back(&t);
        return;
    }
    if (t.running()) t.fire();
}

void QtTimerEngine::flush_waiting() {
    flush_posted_ = false;
    while (!waiting_.empty() && holds_ == 0) {
        controls::Timer* t = waiting_.front();
        waiting_.erase(waiting_.begin());
        if (t->running()) t->fire();
    }
}

}  // namespace plx::gui
