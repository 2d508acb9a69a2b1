#include "traffic/recorder.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "device/register_map.h"
#include "modbus/adu.h"
#include "modbus/receivers.h"
#include "modbus/wandeln.h"

namespace plx::traffic {

using namespace device::regmap;

namespace {

// Bytes that begin as the answer to `request` does and end before it is whole: an answer cut short,
// whether its frame ended early (ASCII) or the line fell silent (RTU). How many of how many bytes.
// Modbus TCP says its length in every frame and is not judged here.
std::optional<std::pair<std::size_t, std::size_t>> cut_short(const std::string& request,
                                                             const std::vector<std::uint8_t>& raw,
                                                             modbus::Framing framing) {
    if (framing == modbus::Framing::tcp) return std::nullopt;
    const auto want = modbus::outstanding_for(request, {});
    if (!want) return std::nullopt;
    std::vector<std::uint8_t> got;
    std::size_t whole = want->length + 2;
    if (framing == modbus::Framing::rtu) {
        got = raw;
    } else {
        // the hex digits after ":" up to the frame's end; a whole frame's last byte is its LRC
        if (raw.empty() || raw[0] != ':') return std::nullopt;
        std::string digits;
        for (std::size_t i = 1; i < raw.size() && std::isxdigit(raw[i]) != 0; ++i)
            digits += static_cast<char>(raw[i]);
        digits.resize(digits.size() / 2 * 2);
        if (!modbus::hex_to_bytes(digits, got)) return std::nullopt;
        whole = want->length + 1;
    }
    if (got.size() < 2 || got.size() >= whole) return std::nullopt;
    const std::size_t n = std::min(got.size(), want->header.size());
    if (!std::equal(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(n), want->header.begin()))
        return std::nullopt;
    return std::pair{got.size(), whole};
}

}  // namespace

void Recorder::SinceRequest::add_seen(const SinceRequest& o) {
    check_sums += o.check_sums;
    if (o.other_frames > 0) other_address = o.other_address;
    other_frames += o.other_frames;
    misfits += o.misfits;
    other_transactions += o.other_transactions;
    loose_bytes += o.loose_bytes;
    echoes += o.echoes;
    if (o.short_of > 0) {
        short_bytes = o.short_bytes;
        short_of = o.short_of;
    }
}

void Recorder::frame_sent(const modbus::SentFrame& frame) {
    ++counters_.requests;
    before_.reset();
    if (request_ && *request_ == frame.request_string && !since_.answered && since_.exception_code < 0)
        before_ = since_;
    request_ = std::make_shared<const std::string>(frame.request_string);
    asked_address_ = modbus::hex_pair_to_byte(frame.request_string);
    since_ = {};
    take(Row{0, frame.at, Direction::sent, modbus::Verdict::ok, 0, framing_now(), frame.bytes, request_, {}, {}});
    for (modbus::Observer* o : std::vector<modbus::Observer*>(followers_)) o->frame_sent(frame);
}

void Recorder::received(const modbus::Reception& r) {
    const modbus::Framing framing = framing_now();
    switch (r.verdict) {
        case modbus::Verdict::ok:
            ++counters_.valid_answers;
            last_ok_ = r.at;
            since_.answered = true;
            if (std::exchange(timed_out_, false) && on_recovered) on_recovered();
            break;
        case modbus::Verdict::exception:
            ++counters_.exceptions;
            since_.exception_code = r.exception_code;
            break;
        case modbus::Verdict::check_sum_wrong:
            ++counters_.check_sum_errors;
            ++since_.check_sums;
            break;
        case modbus::Verdict::wrong_slave_address:
            ++since_.other_frames;
            since_.other_address = modbus::frame_slave(r.bytes, framing).value_or(0);
            break;
        case modbus::Verdict::misfit:
            if (!note_short(r.bytes, framing)) ++since_.misfits;
            break;
        case modbus::Verdict::other_transaction:
            ++since_.other_transactions;
            break;
        case modbus::Verdict::echo:
            ++since_.echoes;
            break;
        case modbus::Verdict::discarded:
            if (!note_short(r.bytes, framing)) since_.loose_bytes += r.bytes.size();
            break;
        case modbus::Verdict::no_request:
            since_.loose_bytes += r.bytes.size();
            break;
        case modbus::Verdict::time_out:
            ++counters_.time_outs;
            timed_out_ = true;
            break;
    }
    take(Row{0, r.at, Direction::received, r.verdict, r.exception_code, framing, r.bytes, request_, {}, {}});
    for (modbus::Observer* o : std::vector<modbus::Observer*>(followers_)) o->received(r);
}

void Recorder::link_event(const modbus::LinkNote& note) {
    Row row{0, note.at, Direction::event, modbus::Verdict::ok, 0, framing_now(), {}, request_, note.event, note.detail};
    take(std::move(row));
    for (modbus::Observer* o : std::vector<modbus::Observer*>(followers_)) o->link_event(note);
}

void Recorder::take(Row row) {
    if (paused_) return;
    row.seq = next_seq_++;
    rows_.push_back(std::move(row));
    if (rows_.size() > capacity_) rows_.pop_front();
    for (RowListener* l : std::vector<RowListener*>(listeners_)) l->rows_changed();
}

void Recorder::clear() {
    rows_.clear();
    counters_ = {};
    ++generation_;
    for (RowListener* l : std::vector<RowListener*>(listeners_)) l->rows_changed();
}

void Recorder::set_paused(bool paused) {
    paused_ = paused;
}

void Recorder::add_listener(RowListener* l) {
    if (std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end()) listeners_.push_back(l);
}

void Recorder::remove_listener(RowListener* l) {
    std::erase(listeners_, l);
}

void Recorder::add_follower(modbus::Observer* o) {
    if (std::find(followers_.begin(), followers_.end(), o) == followers_.end()) followers_.push_back(o);
}

void Recorder::remove_follower(modbus::Observer* o) {
    std::erase(followers_, o);
}

bool Recorder::note_short(const std::vector<std::uint8_t>& bytes, modbus::Framing framing) {
    if (!request_) return false;
    const auto cut = cut_short(*request_, bytes, framing);
    if (!cut) return false;
    since_.short_bytes = cut->first;
    since_.short_of = cut->second;
    return true;
}

Diagnosis Recorder::diagnosis() const {
    return judge(since_, asked_address_);
}

Diagnosis Recorder::line_diagnosis() const {
    SinceRequest seen = since_;
    if (before_) seen.add_seen(*before_);
    return judge(seen, asked_address_);
}

Diagnosis Recorder::judge(const SinceRequest& seen, int asked_address) {
    Diagnosis d;
    d.asked_address = asked_address;
    if (seen.answered) return d;
    if (seen.exception_code >= 0) {
        d.reason = Reason::exception;
        d.exception_code = seen.exception_code;
    } else if (seen.check_sums > 0) {
        d.reason = Reason::check_sums;
        d.count = seen.check_sums;
    } else if (seen.other_frames > 0) {
        d.reason = Reason::other_address;
        d.count = seen.other_frames;
        d.other_address = seen.other_address;
    } else if (seen.short_of > 0) {
        d.reason = Reason::short_answer;
        d.count = seen.short_bytes;
        d.awaited = seen.short_of;
    } else if (seen.other_transactions > 0) {
        d.reason = Reason::other_transaction;
        d.count = seen.other_transactions;
    } else if (seen.misfits > 0) {
        d.reason = Reason::misfit;
        d.count = seen.misfits;
    } else if (seen.loose_bytes > 0) {
        d.reason = Reason::bytes_no_frame;
        d.count = seen.loose_bytes;
    } else if (seen.echoes > 0) {
        d.reason = Reason::echo_only;
        d.count = seen.echoes;
    } else {
        d.reason = Reason::no_byte;
    }
    return d;
}

}  // namespace plx::traffic
