#include "modbus/engine.h"

#include <algorithm>
#include <utility>

#include "modbus/adu.h"
#include "modbus/frame.h"

namespace plx::modbus {

namespace {

using std::chrono::milliseconds;

// the bus looks at the receive buffer this often while an answer is awaited
constexpr milliseconds kBusPoll{5};
// and ends what RTU bytes it holds after this gap: an adapter may deliver a frame in pieces up to
// 16 ms apart, so the 3.5 character times of the standard are too short to rely on
constexpr milliseconds kBusQuiet{50};

}  // namespace

Engine::Engine(SerialPort& port,
               controls::TimerEngine& clock,
               controls::Timer& poll,
               controls::Timer& deadline)
    : port_(port), clock_(clock), poll_(poll), deadline_(deadline) {
    poll_.on_tick = [this] { poll_tick(); };
    deadline_.on_tick = [this] { deadline_tick(); };
    port_.set_lost_handler([this](const PortError& e) { port_lost(e); });
    port_.on_event = [this](LinkEvent event, const std::string& detail) { linked(event, detail); };
}

Engine::Engine(SerialPort& port, controls::TimerEngine& clock)
    : port_(port),
      clock_(clock),
      own_poll_(std::make_unique<controls::Timer>("reception poll")),
      own_deadline_(std::make_unique<controls::Timer>("answer deadline")),
      poll_(*own_poll_),
      deadline_(*own_deadline_) {
    poll_.on_tick = [this] { poll_tick(); };
    deadline_.on_tick = [this] { deadline_tick(); };
    port_.on_event = [this](LinkEvent event, const std::string& detail) { linked(event, detail); };
    poll_.set_interval(kBusPoll);
    poll_.attach(&clock_);
    deadline_.attach(&clock_);
    port_.set_lost_handler([this](const PortError& e) { port_lost(e); });
    if (port_.tells_arrival()) {
        told_arrival_ = true;
        port_.on_arrival = [this] { arrived(); };
    }
}

Engine::~Engine() {
    port_.set_lost_handler(nullptr);
    poll_.on_tick = nullptr;
    deadline_.on_tick = nullptr;
    port_.on_event = nullptr;
    if (told_arrival_) port_.on_arrival = nullptr;
    if (own_poll_) {
        own_poll_->attach(nullptr);
        own_deadline_->attach(nullptr);
    }
}

void Engine::set_framing(Framing framing) {
    std::vector<Reception> got = receiver_.set_framing(framing);
    report(got);
    line_.framing = framing;
}

std::optional<PortError> Engine::open(const LineSettings& line) {
    cancel();
    reset();
    reporting_ = false;
    line_ = line;
    set_framing(line.framing);
    port_.set_input_mode(line.framing == Framing::ascii ? InputMode::text : InputMode::bytes);
    if (auto e = port_.set_settings(settings_text(line))) return e;
    if (!port_.port_open()) {
        if (auto e = port_.set_port_open(true)) return e;
    }
    opened_ = true;
    poll_.set_interval(kBusPoll);
    quiet_gap_ = kBusQuiet;
    // what waited in the port was sent at other settings, or to someone else
    looked_empty_ = false;
    reset();
    return std::nullopt;
}

void Engine::close() {
    cancel();
    reset();
    if (opened_ && port_.port_open()) (void)port_.set_port_open(false);
    opened_ = false;
    follow();
}

void Engine::request(Request request, Done done) {
    if (wire_ && wire_->mine && !wire_->timed_out && !held_ && wire_->policy.keep_awaiting && pending_ &&
        pending_->request.request_string == request.request_string) {
        // the window's poll overtaken by the next one went unanswered: that is its time-out
        wire_->timed_out = true;
        if (observer_ != nullptr && port_.port_open())
            observer_->received(Reception{now(), Verdict::time_out, wire_->frame, 0});
    }
    // a request awaited and not answered is given up; its answer may still come
    if (wire_) wire_->mine = false;
    held_.reset();
    const int retries = std::max(0, request.policy.retries);
    pending_ = Pending{};
    pending_->request = std::move(request);
    pending_->done = std::move(done);
    pending_->retries_left = retries;
    pending_->asked_at = now();
    go();
    schedule();
    follow();
}

void Engine::cancel() {
    pending_.reset();
    held_.reset();
    if (wire_) wire_->mine = false;
    schedule();
    follow();
}

void Engine::reset() {
    give_up_reception();
    owed_.clear();
    note_due_.reset();
    follow();
}

void Engine::port_lost(const PortError& error) {
    // nothing awaited can come and nothing more can go: what is held is dropped unread
    (void)receiver_.flush();
    wire_.reset();
    held_.reset();
    owed_.clear();
    quiet_ = true;
    reporting_ = false;
    note_due_.reset();
    deadline_.set_enabled(false);
    opened_ = false;
    if (port_.port_open()) (void)port_.set_port_open(false);
    follow();
    if (pending_) {
        Outcome o;
        o.attempts = pending_->attempts;
        o.seen = std::move(pending_->seen);
        finish(std::move(o));
    }
    if (on_port_lost) on_port_lost(error);
}

struct Engine::OneLook {
    explicit OneLook(Engine& e) : engine(e) { engine.one_look_ = true; }
    ~OneLook() {
        engine.one_look_ = false;
        engine.looked_empty_ = false;
    }
    OneLook(const OneLook&) = delete;
    OneLook& operator=(const OneLook&) = delete;
    Engine& engine;
};

bool Engine::bytes_waiting() {
    if (one_look_ && looked_empty_) return false;
    const bool waiting = port_.in_buffer_count() > 0;
    looked_empty_ = one_look_ && !waiting;
    return waiting;
}

void Engine::give_up_reception() {
    std::vector<Reception> got = receiver_.flush();
    if (bytes_waiting()) {
        // it came before the next request went out, so it cannot answer that one
        std::vector<std::uint8_t> stale = port_.input();
        if (!stale.empty()) got.push_back(Reception{{}, Verdict::discarded, std::move(stale), 0});
    }
    // a request given up and waited out unanswered: the unit may owe its answer yet
    if (wire_ && !wire_->mine && wire_->shape && wire_->policy.turnaround.count() > 0) owe(*wire_->shape);
    wire_.reset();
    held_.reset();
    quiet_ = true;
    report(got);
    // a frame cut short shows itself only here (an ASCII one has no silence to end it)
    if (on_reception) {
        for (const Reception& r : got) on_reception(r);
    }
}

void Engine::go() {
    if (!pending_ || pending_->sent) return;
    // a request given up is waited out before anything new goes on the line
    if (wire_ && !wire_->mine && wire_->policy.turnaround.count() > 0) return;
    if (now() < due()) return;
    // Under a turnaround, never talk over the line: bytes still coming (the rest of a late answer, a
    // second copy of one, noise) are let pass first, for at most a turnaround, so a line that never
    // falls silent cannot hold a request forever. The window (no turnaround) sends at once and drops
    // what waits, as it always has.
    const Policy& policy = pending_->request.policy;
    if (policy.turnaround.count() > 0 && (bytes_waiting() || !quiet_since(now())) &&
        now() < std::max(due(), pending_->asked_at) + policy.turnaround) {
        return;
    }
    send();
}

milliseconds Engine::due() const {
    milliseconds due = pending_->request.not_before;
    if (last_sent_) due = std::max(due, *last_sent_ + pending_->request.policy.pace);
    return due;
}

void Engine::send() {
    Pending& p = *pending_;
    if (!port_.port_open()) {
        // nothing can answer a request that cannot go out
        Outcome o;
        o.attempts = p.attempts;
        o.seen = std::move(p.seen);
        return finish(std::move(o));
    }
    // whatever is held or waits in the port came before this request: it cannot answer it
    give_up_reception();
    const Policy& policy = p.request.policy;
    // Modbus TCP: every request its own transaction id, so an answer to an earlier one is told apart
    const auto transaction = static_cast<std::uint16_t>(++transactions_);
    std::vector<std::uint8_t> frame = request_frame(p.request.request_string, framing(), transaction);
    std::optional<Outstanding> shape = outstanding_for(p.request.request_string, frame);
    if (shape) shape->transaction = transaction;
    receiver_.expect(shape);
    const milliseconds t = now();
    wire_ = OnWire{std::move(shape), policy, t, frame};
    p.sent = true;
    ++p.attempts;
    last_sent_ = t;
    last_frame_ = frame;
    time_out_reported_ = false;
    follow();
    if (observer_ != nullptr)
        observer_->frame_sent(
            SentFrame{t, frame, p.request.request_string, p.request.comm_state, p.request.current_register});
    port_.output(frame);
    // what comes now may answer it: looked at afresh
    looked_empty_ = false;
    reporting_ = policy.keep_awaiting;
    report_every_ = policy.timeout;
    if (!reporting_) {
        // every transmission gets its own full time-out
        restart_deadline(policy.timeout);
        return;
    }
    // the note follows the first request of a run left unanswered, not the newest
    if (!note_due_) note_due_ = t + policy.timeout;
    restart_deadline(next_report() - t);
}

milliseconds Engine::next_report() const {
    milliseconds next = note_due_.value_or(now() + report_every_);
    if (wire_ && wire_->mine && !time_out_reported_)
        next = std::min(next, wire_->sent_at + wire_->policy.timeout);
    return next;
}

void Engine::arrived() {
    // bytes while nothing is awaited wait in the port, as under the poll, until a request gives
    // them up
    if (port_.port_open() && (wire_ || receiver_.holding())) poll_tick();
}

void Engine::poll_tick() {
    if (port_.in_buffer_count() > 0) {
        const std::vector<std::uint8_t> bytes = port_.input();
        last_byte_at_ = now();
        quiet_ = false;
        std::vector<Reception> got = receiver_.push(bytes);
        // an answer has begun: it gets its whole time-out (an adapter's echo is no answer)
        if (wire_ && (receiver_.holding() || std::any_of(got.begin(), got.end(), [](const Reception& r) {
                          return r.verdict != Verdict::echo;
                      })))
            wire_->heard = true;
        judge(std::move(got));
    } else if (!quiet_ && now() - last_byte_at_ >= quiet_gap_) {
        quiet_ = true;
        judge(receiver_.silence());
    }
    follow();
}

void Engine::judge(std::vector<Reception> got) {
    std::optional<Outcome> result;
    std::vector<Reception> others;
    const milliseconds t = now();
    for (Reception& r : got) {
        r.at = t;
        // while an answer is held, a second one of its shape may come in the same reading, where
        // the receiver, its answer given, no longer expects it
        if (held_ && wire_ && wire_->shape && r.verdict == Verdict::misfit &&
            has_shape(*wire_->shape, r.bytes, framing())) {
            const auto adu = adu_of(r.bytes, framing());
            const bool refusal = adu && (adu->function & 0x80) != 0;
            r.verdict = refusal ? Verdict::exception : Verdict::ok;
            r.exception_code = refusal && !adu->data.empty() ? adu->data[0] : 0;
        }
        const bool answer = r.verdict == Verdict::ok || r.verdict == Verdict::exception;
        // the receiver gives these only for the shape it expects: they answer what is on the wire
        if (answer && wire_ && !wire_->mine) {
            // the late answer of a request given up: it answers nothing asked now
            wire_.reset();
            others.push_back(r);
            continue;
        }
        if (answer && wire_ && pending_) {
            Pending& p = *pending_;
            if (p.request.still_wanted && !p.request.still_wanted()) {
                // the caller has moved on from that request
                if (r.verdict == Verdict::ok) r.verdict = Verdict::misfit;
                wire_.reset();
                pending_.reset();
                continue;
            }
            Outcome o;
            o.verdict = r.verdict;
            o.exception_code = r.exception_code;
            if (r.verdict == Verdict::ok) o.response_text = response_text_of(r, framing());
            o.seen = p.seen;
            o.attempts = p.attempts;
            o.late = wire_->timed_out;
            const auto debt = wire_->shape ? debt_of(*wire_->shape) : owed_.end();
            if (held_ || debt != owed_.end()) {
                // maybe the answer a unit still owed: a second one may follow, which is then this
                // request's own; wait until the line has been quiet for the turnaround
                if (held_ && debt != owed_.end() && --debt->count <= 0) owed_.erase(debt);
                held_ = Held{std::move(o), t + wire_->policy.turnaround};
                receiver_.expect(wire_->shape);
                continue;
            }
            wire_.reset();
            result = std::move(o);
            continue;
        }
        // a whole frame with the shape of an answer a unit owed: that debt is paid
        if (r.verdict == Verdict::misfit) {
            const auto debt = debt_paid_by(r);
            if (debt != owed_.end() && --debt->count <= 0) owed_.erase(debt);
        }
        if (pending_ && pending_->sent) pending_->seen.push_back(r.verdict);
        others.push_back(r);
    }
    // the verdicts first: bytes after the answer arrived before anything the caller sends next
    report(got);
    for (const Reception& r : others) {
        if (on_reception) on_reception(r);
    }
    if (result) finish(std::move(*result));
    go();
    schedule();
    follow();
}

milliseconds Engine::answer_due(const OnWire& w) const {
    const milliseconds first = w.policy.first_byte;
    if (first.count() > 0 && !w.heard && first < w.policy.timeout) return w.sent_at + first;
    return w.sent_at + w.policy.timeout;
}

void Engine::deadline_tick() {
    const milliseconds t = now();
    if (reporting_) {
        // the window's time-out: to the observer once per request when its own time is up, and only
        // while the port is open; the note when it is due, and again every `timeout` until an answer
        if (!wire_ || t - wire_->sent_at >= wire_->policy.timeout) {
            if (wire_ && wire_->mine) wire_->timed_out = true;
            if (observer_ != nullptr && !time_out_reported_ && port_.port_open()) {
                observer_->received(Reception{t, Verdict::time_out, last_frame_, 0});
            }
            time_out_reported_ = true;
        }
        const bool note = !note_due_ || t >= *note_due_;
        if (note) note_due_ = t + report_every_;
        restart_deadline(next_report() - t);
        if (note && on_time_out) on_time_out();
        return;
    }
    const OneLook look(*this);
    // bytes that came at this very moment are looked at before the line is called quiet
    if (bytes_waiting()) return poll_tick();
    // a wait ends once the line is quiet, or a turnaround later whatever the line does
    const auto over = [&](milliseconds until, milliseconds turnaround) {
        return t >= until && (quiet_since(t) || t >= until + turnaround);
    };
    if (held_ && wire_ && over(held_->until, wire_->policy.turnaround)) {
        // no second answer came: the one held was this request's own
        Outcome o = std::move(held_->outcome);
        held_.reset();
        if (wire_ && wire_->shape) {
            const auto debt = debt_of(*wire_->shape);
            if (debt != owed_.end()) owed_.erase(debt);
        }
        wire_.reset();
        finish(std::move(o));
    } else if (!held_ && wire_ && wire_->mine && !wire_->timed_out && t >= answer_due(*wire_)) {
        time_out(t);
    } else if (wire_ && (wire_->timed_out || !wire_->mine) && wire_->policy.turnaround.count() > 0 &&
               over(wire_->sent_at + wire_->policy.turnaround, wire_->policy.turnaround)) {
        waited_out();
    }
    go();
    schedule();
    follow();
}

void Engine::time_out(milliseconds t) {
    OnWire& w = *wire_;
    w.timed_out = true;
    if (observer_ != nullptr && port_.port_open())
        observer_->received(Reception{t, Verdict::time_out, w.frame, 0});
    if (on_time_out) on_time_out();
    // under a turnaround the answer is waited out before a retry or the next request
    if (w.policy.turnaround.count() > 0) return;
    // the receiver keeps expecting the answer until the next request: if it still comes, it is told
    // apart as late
    w.mine = false;
    retry_or_give_up();
}

void Engine::waited_out() {
    // the turnaround is over and the unit has not answered: it may still owe that answer
    const bool mine = wire_->mine;
    if (wire_->shape) owe(*wire_->shape);
    wire_.reset();
    if (mine) retry_or_give_up();
}

void Engine::retry_or_give_up() {
    if (!pending_) return;
    Pending& p = *pending_;
    if (p.retries_left > 0) {
        --p.retries_left;
        p.sent = false;
        return;
    }
    Outcome o;
    o.attempts = p.attempts;
    o.seen = std::move(p.seen);
    finish(std::move(o));
}

void Engine::finish(Outcome outcome) {
    if (!pending_) return;
    Done done = std::move(pending_->done);
    pending_.reset();
    if (outcome.verdict != Verdict::time_out) {
        // answered: the time-out goes
        reporting_ = false;
        note_due_.reset();
        deadline_.set_enabled(false);
    }
    if (done) done(outcome);
}

void Engine::owe(const Outstanding& shape) {
    const auto debt = debt_of(shape);
    if (debt != owed_.end()) {
        ++debt->count;
    } else {
        owed_.push_back({shape, 1});
    }
}

std::vector<Engine::Debt>::iterator Engine::debt_of(const Outstanding& shape) {
    return std::find_if(owed_.begin(), owed_.end(), [&](const Debt& d) {
        return d.shape.header == shape.header && d.shape.length == shape.length;
    });
}

std::vector<Engine::Debt>::iterator Engine::debt_paid_by(const Reception& r) {
    return std::find_if(owed_.begin(), owed_.end(),
                        [&](const Debt& d) { return has_shape(d.shape, r.bytes, framing()); });
}

bool Engine::quiet_since(milliseconds t) const {
    return !receiver_.holding() && (quiet_ || t - last_byte_at_ >= std::max(quiet_gap_, milliseconds(1)));
}

std::optional<milliseconds> Engine::next_event() const {
    std::optional<milliseconds> next;
    const auto consider = [&](milliseconds at) {
        if (!next || at < *next) next = at;
    };
    if (held_) consider(held_->until);
    if (wire_) {
        const Policy& p = wire_->policy;
        if (wire_->mine && !wire_->timed_out && !held_) consider(answer_due(*wire_));
        if ((wire_->timed_out || !wire_->mine) && p.turnaround.count() > 0)
            consider(wire_->sent_at + p.turnaround);
    }
    if (pending_ && !pending_->sent && !(wire_ && !wire_->mine && wire_->policy.turnaround.count() > 0))
        consider(due());
    return next;
}

void Engine::schedule() {
    // the window's periodic time-out keeps its own rhythm
    if (reporting_) return;
    const auto next = next_event();
    if (!next) {
        deadline_.set_enabled(false);
        return;
    }
    // a wait that ends while bytes still come is looked at again once they have stopped
    milliseconds at = *next;
    if (at <= now()) at = now() + std::max(quiet_gap_, milliseconds(1));
    restart_deadline(at - now());
}

void Engine::restart_deadline(milliseconds after) {
    deadline_.set_enabled(false);
    deadline_.set_interval(std::max(after, milliseconds(1)));
    deadline_.set_enabled(true);
}

void Engine::linked(LinkEvent event, const std::string& detail) {
    if (observer_ != nullptr) observer_->link_event(LinkNote{now(), event, detail});
    if (on_link_event) on_link_event(event, detail);
}

void Engine::report(std::vector<Reception>& got) {
    if (observer_ == nullptr || got.empty()) return;
    const milliseconds t = now();
    for (Reception& r : got) {
        if (r.at.count() == 0) r.at = t;
        observer_->received(r);
    }
}

void Engine::follow() {
    if (told_arrival_) {
        // bytes come by themselves: the clock only ends what is held once the line has gone quiet
        // (a request waiting for a quiet line is looked at again by the deadline)
        poll_.set_interval(std::max(quiet_gap_, milliseconds(1)));
        poll_.set_enabled(port_.port_open() && receiver_.holding());
        return;
    }
    // the reception poll runs only while an answer is awaited or bytes are held,
    // or a request under a turnaround waits to go out on a line that may still be busy
    poll_.set_enabled(port_.port_open() &&
                      (wire_.has_value() || receiver_.holding() ||
                       (pending_ && !pending_->sent && pending_->request.policy.turnaround.count() > 0)));
}

}  // namespace plx::modbus
