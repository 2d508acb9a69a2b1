#include "bus/scan.h"

#include <utility>

#include "device/chain.h"
#include "device/word_codec.h"
#include "modbus/adu.h"
#include "modbus/wandeln.h"

namespace plx::bus {

namespace {

// a probe and its answer in characters: RTU 8 + 11 bytes (also on the line behind a Modbus TCP
// gateway), ASCII 17 + 23
std::size_t probe_characters(modbus::Framing f) {
    return f == modbus::Framing::ascii ? 40 : 19;
}

}  // namespace

Scanner::Scanner(modbus::Engine& engine) : engine_(engine) {}

Scanner::~Scanner() {
    if (running_) engine_.cancel();
    engine_.on_reception = nullptr;
}

void Scanner::start(ScanPlan plan, std::function<void(const ScanOutcome&)> done) {
    plan_ = std::move(plan);
    done_ = std::move(done);
    outcome_ = {};
    in_plan_ = std::set<int>(plan_.addresses.begin(), plan_.addresses.end());
    progress_ = {};
    progress_.total = plan_.lines.size() * plan_.addresses.size();
    running_ = true;
    line_ = 0;
    engine_.on_reception = [this](const modbus::Reception& r) { noticed(r); };
    begin_line();
}

void Scanner::cancel() {
    if (!running_) return;
    engine_.cancel();
    end(true);
}

void Scanner::end(bool cancelled) {
    running_ = false;
    engine_.on_reception = nullptr;
    outcome_.cancelled = cancelled;
    auto done = std::exchange(done_, nullptr);
    if (done) done(outcome_);
}

void Scanner::begin_line() {
    if (line_ >= plan_.lines.size()) return end(false);
    if (auto e = engine_.open(plan_.lines[line_])) {
        outcome_.port_error = e;
        return end(false);
    }
    next_address_ = 0;
    suspects_.clear();
    last_silent_.reset();
    probe_next();
}

void Scanner::probe_next() {
    if (!running_) return;
    if (next_address_ < plan_.addresses.size()) return probe(plan_.addresses[next_address_++], false);
    // a second look at every address that showed itself too late
    while (!suspects_.empty()) {
        const int address = *suspects_.begin();
        suspects_.erase(suspects_.begin());
        if (!known_here(address)) return probe(address, true);
        --progress_.total;
    }
    ++line_;
    begin_line();
}

void Scanner::probe(int address, bool second_look) {
    const modbus::LineSettings& line = plan_.lines[line_];
    progress_.address = address;
    progress_.line = line;
    progress_.second_look = second_look;
    if (on_progress) on_progress(progress_);
    disturbed_ = false;
    // a Modbus TCP gateway answers every probe, a silent address with exception 0B after its own
    // wait: the short wait would only see the answers to earlier probes
    const bool gateway = line.framing == modbus::Framing::tcp;
    const auto wait = (second_look || gateway ? plan_.second_look_wait : plan_.probe_wait) +
                      modbus::transfer_time(line, probe_characters(line.framing));
    // a silent line between two probes, as between any two frames
    const auto gap = modbus::transfer_time(line, 4);
    modbus::Request request;
    request.request_string = device::read_request({device::Step::read_identification, 0},
                                                  modbus::byte_to_hex(static_cast<std::uint8_t>(address)));
    // no retry and no wait for a late answer: the next probe goes to another address, and a late
    // answer shows its unit for the second look
    request.policy.timeout = wait;
    request.not_before = engine_.now() + gap;
    engine_.request(std::move(request),
                    [this, address, second_look](const modbus::Outcome& a) { probed(address, second_look, a); });
}

void Scanner::probed(int address, bool second_look, const modbus::Outcome& a) {
    ++outcome_.probes;
    ++progress_.done;
    // a gateway's path unavailable (0A) or silent target (0B) is no unit at that address
    const bool gateway_silence =
        a.verdict == modbus::Verdict::exception && (a.exception_code == 0x0A || a.exception_code == 0x0B);
    if (a.verdict == modbus::Verdict::time_out || gateway_silence) {
        // bytes came but not the answer: this unit may have answered into a late one's answer
        if (disturbed_ && !second_look) suspect(address);
        last_silent_ = address;
    } else {
        FoundUnit u;
        u.address = address;
        u.line = plan_.lines[line_];
        u.slow = second_look;
        if (a.verdict == modbus::Verdict::exception) {
            u.exception_code = a.exception_code;
        } else {
            u.device_coding = device::word_at(a.response_text, 0).value_or(0);
            u.firmware = device::word_at(a.response_text, 1).value_or(0);
            u.buttons = device::word_at(a.response_text, 2).value_or(0);
        }
        outcome_.units.push_back(u);
        // found in its turn after it had shown itself early: no second look due
        if (suspects_.erase(address) > 0) --progress_.total;
        if (on_found) on_found(u);
    }
    probe_next();
}

void Scanner::noticed(const modbus::Reception& r) {
    if (!running_) return;
    using modbus::Verdict;
    const bool whole_frame = r.verdict == Verdict::ok || r.verdict == Verdict::exception ||
                             r.verdict == Verdict::wrong_slave_address;
    if (whole_frame) {
        // a late answer, or the answer of a unit to a probe that gave up on it
        if (const auto slave = modbus::frame_slave(r.bytes, plan_.lines[line_].framing)) suspect(*slave);
        return;
    }
    if (r.verdict == Verdict::echo || r.bytes.empty()) return;
    // bytes that form no frame for us: maybe the answer of the last silent address, cut or garbled
    disturbed_ = true;
    if (last_silent_) suspect(*last_silent_);
}

void Scanner::suspect(int address) {
    if (!in_plan_.contains(address) || known_here(address) || suspects_.contains(address)) return;
    suspects_.insert(address);
    ++progress_.total;
}

bool Scanner::known_here(int address) const {
    for (const FoundUnit& u : outcome_.units) {
        if (u.address == address && u.line == plan_.lines[line_]) return true;
    }
    return false;
}

}  // namespace plx::bus
