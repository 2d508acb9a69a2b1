#include "commission/run.h"

#include <utility>

namespace plx::commission {

Runner::Runner(modbus::Engine& engine) : engine_(engine) {}

Runner::~Runner() {
    if (!jobs_.empty()) jobs_.back()->stop();
}

void Runner::start(std::vector<UnitOrder> orders) {
    outcomes_.clear();
    for (UnitOrder& o : orders) outcomes_.push_back({std::move(o), UnitResult::not_reached, {}});
    at_ = 0;
    finished_ = false;
    stopped_ = false;
    next();
}

void Runner::stop() {
    stopped_ = true;
    if (!jobs_.empty()) jobs_.back()->stop();
    finished_ = true;
}

void Runner::next() {
    if (stopped_) return;
    if (at_ >= outcomes_.size()) {
        finished_ = true;
        return;
    }
    UnitOutcome& u = outcomes_[at_];
    if (on_progress) on_progress(at_, outcomes_.size(), u.order);
    if (!line_ || !(*line_ == u.order.line)) {
        if (auto e = engine_.open(u.order.line)) {
            port_error_ = std::move(e);
            finished_ = true;
            return;
        }
        line_ = u.order.line;
    }
    jobs_.push_back(std::make_unique<bus::UnitJob>(engine_, u.order.address));
    jobs_.back()->write_and_verify(u.order.target, u.order.rules, [this](const bus::UnitJob::WriteResult& r) {
        UnitOutcome& done = outcomes_[at_];
        done.write = r;
        if (r.failure) {
            done.result = UnitResult::failed;
        } else if (r.skipped) {
            done.result = UnitResult::skipped;
        } else {
            done.result = r.mismatches.empty() ? UnitResult::verified : UnitResult::differs;
        }
        if (on_unit) on_unit(done);
        ++at_;
        next();
    });
}

const char* result_key(UnitResult r) {
    switch (r) {
        case UnitResult::verified:
            return "verified";
        case UnitResult::differs:
            return "differs";
        case UnitResult::failed:
            return "failed";
        case UnitResult::skipped:
            return "skipped";
        case UnitResult::not_reached:
            break;
    }
    return "not_reached";
}

}  // namespace plx::commission
