#include "traffic/recorder.h"

#include <algorithm>
#include <utility>

#include "device/register_map.h"
#include "modbus/adu.h"
#include "modbus/wandeln.h"

namespace plx::traffic {

using namespace device::regmap;

void Recorder::frame_sent(const modbus::SentFrame& frame) {
    ++counters_.requests;
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
            if (request_) tally_written(*request_);
            if (std::exchange(timed_out_, false) && on_recovered) on_recovered();
            break;
        case modbus::Verdict::exception:
            ++counters_.exceptions;
            since_.exception_code = r.exception_code;
            // the Apply stopped there: what it wrote before is no news of a read-back
            written_ = {};
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
            ++since_.misfits;
            break;
        case modbus::Verdict::other_transaction:
            ++since_.other_transactions;
            break;
        case modbus::Verdict::echo:
            ++since_.echoes;
            break;
        case modbus::Verdict::no_request:
        case modbus::Verdict::discarded:
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

void Recorder::tally_written(const std::string& request) {
    const auto adu = modbus::adu_of_request(request);
    if (!adu || adu->data.size() < 4) return;
    const auto start = static_cast<std::uint16_t>((adu->data[0] << 8) | adu->data[1]);
    const int quantity = (adu->data[2] << 8) | adu->data[3];
    if (adu->function == fn_write_registers) {
        if (index_of(cfg_register_group, start)) ++written_.register_blocks;
        if (index_of(input_register_group, start)) written_.input_registers += quantity;
    } else if (adu->function == fn_write_coils) {
        if (index_of(cfg_bit_group, start)) written_.cfg_bits += quantity;
        if (index_of(input_bit_group, start)) written_.input_bits += quantity;
    } else if (adu->function == fn_read_coils && index_of(input_bit_group, start)) {
        // the input bits are the last answer of every read-out
        const Written done = std::exchange(written_, {});
        if (on_read_out_completed) on_read_out_completed(done);
    }
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

Diagnosis Recorder::diagnosis() const {
    Diagnosis d;
    d.asked_address = asked_address_;
    if (since_.answered) return d;
    if (since_.exception_code >= 0) {
        d.reason = Reason::exception;
        d.exception_code = since_.exception_code;
    } else if (since_.check_sums > 0) {
        d.reason = Reason::check_sums;
        d.count = since_.check_sums;
    } else if (since_.other_frames > 0) {
        d.reason = Reason::other_address;
        d.count = since_.other_frames;
        d.other_address = since_.other_address;
    } else if (since_.other_transactions > 0) {
        d.reason = Reason::other_transaction;
        d.count = since_.other_transactions;
    } else if (since_.misfits > 0) {
        d.reason = Reason::misfit;
        d.count = since_.misfits;
    } else if (since_.loose_bytes > 0) {
        d.reason = Reason::bytes_no_frame;
        d.count = since_.loose_bytes;
    } else if (since_.echoes > 0) {
        d.reason = Reason::echo_only;
        d.count = since_.echoes;
    } else {
        d.reason = Reason::no_byte;
    }
    return d;
}

}  // namespace plx::traffic
