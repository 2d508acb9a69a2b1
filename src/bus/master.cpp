#include "bus/master.h"

#include <utility>

#include "link/frame.h"

namespace plx::bus {

Master::Master(link::SerialPort& port, controls::TimerEngine& clock) : port_(port), clock_(clock) {
    poll_.set_interval(kPoll);
    poll_.on_tick = [this] { tick(); };
    poll_.attach(&clock_);
}

Master::~Master() {
    poll_.attach(nullptr);
}

std::optional<link::PortError> Master::open(const LineSettings& line) {
    cancel();
    // what the receivers hold belongs to the line as it was
    (void)flush();
    line_ = line;
    port_.set_input_mode(line.framing == Framing::rtu ? link::InputMode::bytes : link::InputMode::text);
    if (auto e = port_.set_settings(port_settings_text(line))) return e;
    if (!port_.port_open()) {
        if (auto e = port_.set_port_open(true)) return e;
    }
    // bytes that waited in the port were sent at other settings, or to someone else
    if (port_.in_buffer_count() > 0) take(push(port_.input()));
    (void)flush();
    open_ = true;
    last_byte_at_ = now();
    quiet_ = true;
    poll_.set_enabled(true);
    return std::nullopt;
}

void Master::close() {
    cancel();
    poll_.set_enabled(false);
    (void)flush();
    // a port the master did not open (the window's, say) stays as it is
    if (open_ && port_.port_open()) (void)port_.set_port_open(false);
    open_ = false;
}

void Master::request(std::string request_string,
                     std::chrono::milliseconds timeout,
                     Done done,
                     std::chrono::milliseconds not_before) {
    request_ = std::move(request_string);
    timeout_ = timeout;
    done_ = std::move(done);
    not_before_ = not_before;
    queued_ = true;
    waiting_ = false;
    seen_.clear();
    // from a tick the request goes at its end, once the tick's receptions are all settled
    if (!in_tick_ && is_open() && now() >= not_before_) send_now();
}

void Master::cancel() {
    queued_ = false;
    waiting_ = false;
    done_ = nullptr;
}

void Master::tick() {
    if (!is_open()) return;
    in_tick_ = true;
    if (port_.in_buffer_count() > 0) {
        const std::vector<std::uint8_t> bytes = port_.input();
        last_byte_at_ = now();
        quiet_ = false;
        take(push(bytes));
    } else if (!quiet_ && now() - last_byte_at_ >= kQuiet) {
        quiet_ = true;
        take(silence());
    }
    if (waiting_ && now() - sent_at_ >= timeout_) time_out();
    in_tick_ = false;
    if (queued_ && !waiting_ && now() >= not_before_) send_now();
}

void Master::send_now() {
    // what waits now came before this request went out: a late answer to the last one, or noise
    if (port_.in_buffer_count() > 0) take(push(port_.input()));
    take(flush());
    std::vector<std::uint8_t> frame;
    if (line_.framing == Framing::rtu) {
        frame = link::rtu_frame(request_);
    } else {
        const std::string text = link::ascii_frame(request_);
        frame.assign(text.begin(), text.end());
    }
    std::optional<link::Outstanding> awaited = link::outstanding_for(request_, frame);
    if (line_.framing == Framing::rtu) {
        rtu_.expect(std::move(awaited));
    } else {
        ascii_.expect(std::move(awaited));
    }
    queued_ = false;
    waiting_ = true;
    sent_at_ = now();
    last_frame_ = frame;
    if (observer_ != nullptr) observer_->frame_sent(link::SentFrame{sent_at_, frame, request_, 0, 0});
    port_.output(frame);
}

void Master::take(std::vector<link::Reception> got) {
    for (link::Reception& r : got) {
        r.at = now();
        if (observer_ != nullptr) observer_->received(r);
        if (waiting_ && (r.verdict == link::Verdict::ok || r.verdict == link::Verdict::exception)) {
            Answer a;
            a.verdict = r.verdict;
            a.exception_code = r.exception_code;
            if (r.verdict == link::Verdict::ok)
                a.response_text = link::response_text_of(r, line_.framing == Framing::rtu);
            a.seen = std::move(seen_);
            finish(std::move(a));
            continue;
        }
        if (waiting_) seen_.push_back(r.verdict);
        if (on_reception) on_reception(r);
    }
}

void Master::time_out() {
    // the receivers keep waiting for this answer: if it still comes, it is told apart as late
    if (observer_ != nullptr)
        observer_->received(link::Reception{now(), link::Verdict::time_out, last_frame_, 0});
    Answer a;
    a.seen = std::move(seen_);
    finish(std::move(a));
}

void Master::finish(Answer a) {
    waiting_ = false;
    Done done = std::exchange(done_, nullptr);
    if (done) done(a);
}

std::vector<link::Reception> Master::push(const std::vector<std::uint8_t>& bytes) {
    return line_.framing == Framing::rtu ? rtu_.push(bytes) : ascii_.push(bytes);
}

std::vector<link::Reception> Master::silence() {
    return line_.framing == Framing::rtu ? rtu_.silence() : ascii_.silence();
}

std::vector<link::Reception> Master::flush() {
    std::vector<link::Reception> got = rtu_.flush();
    for (link::Reception& r : ascii_.flush()) got.push_back(std::move(r));
    return got;
}

}  // namespace plx::bus
