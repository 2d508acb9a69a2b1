#pragma once
// A unit on a scripted line for the request engine (its tests and its fuzz target): single-threaded
// as a real one, it takes up each request once its answer before has gone out and answers after the
// delay the script gives it. The script may lose a request, refuse it with an exception, send the
// answer twice, spread its bytes over time, and put noise on the line. A register read is answered
// with words that name their register (register r holds r + 1), so an answer taken for another block
// is plain to see.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "controls/timer.h"
#include "modbus/adu.h"
#include "modbus/frame.h"
#include "modbus/serial_port.h"
#include "modbus/wandeln.h"

namespace plx::modbus::testing {

using std::chrono::milliseconds;

// The word register r holds.
inline std::uint16_t word_of(int r) {
    return static_cast<std::uint16_t>(r + 1);
}

class ScriptedUnit : public SerialPort {
  public:
    using Delay = std::function<milliseconds(int request_number)>;

    // What the script does with request n (counted from 1).
    struct Script {
        Delay delay = [](int) { return milliseconds(20); };
        std::function<bool(int n)> lost = [](int) { return false; };
        std::function<int(int n)> refuse = [](int) { return 0; };  // an exception code; 0 answers
        std::function<int(int n)> copies = [](int) { return 1; };
        Delay byte_gap = [](int) { return milliseconds(0); };
    };
    // An answer that went out: to which request, for which first register, refused with which code.
    struct Answered {
        int request = 0;
        int first = 0;
        int exception_code = 0;
    };

    ScriptedUnit(const controls::TimerEngine& clock, Framing framing, Script script)
        : clock_(clock), framing_(framing), script_(std::move(script)) {}
    ScriptedUnit(const controls::TimerEngine& clock, Framing framing, Delay delay, std::set<int> lost = {})
        : ScriptedUnit(clock, framing, Script{std::move(delay), [lost](int n) { return lost.contains(n); }}) {}

    int comm_port() const override { return 1; }
    void set_comm_port(int) override {}
    std::optional<PortError> set_settings(const std::string&) override { return std::nullopt; }
    void set_input_mode(InputMode m) override { mode_ = m; }
    InputMode input_mode() const override { return mode_; }
    std::optional<PortError> set_port_open(bool open) override {
        open_ = open;
        return std::nullopt;
    }
    bool port_open() const override { return open_; }
    void output(std::span<const std::uint8_t> bytes) override {
        const int n = ++requests_;
        const auto request = adu_of(bytes, framing_);
        if (!request || script_.lost(n) || request->function != 0x03 || request->data.size() != 4) return;
        const int start = (request->data[0] << 8) | request->data[1];
        const int quantity = (request->data[2] << 8) | request->data[3];
        const int refused = script_.refuse(n);
        Adu answer{request->address, static_cast<std::uint8_t>(0x83), {static_cast<std::uint8_t>(refused)}};
        if (refused == 0) {
            answer = Adu{request->address, 0x03, {static_cast<std::uint8_t>(2 * quantity)}};
            for (int r = start; r < start + quantity; ++r) {
                answer.data.push_back(static_cast<std::uint8_t>(word_of(r) >> 8));
                answer.data.push_back(static_cast<std::uint8_t>(word_of(r) & 0xFF));
            }
        }
        answered.push_back({n, start, refused});
        // Modbus TCP: the answer carries the request's transaction id
        const auto transaction = static_cast<std::uint16_t>(bytes.size() > 1 ? (bytes[0] << 8) | bytes[1] : 0);
        const std::vector<std::uint8_t> frame =
            request_frame(bytes_to_hex(adu_bytes(answer)), framing_, transaction);
        // one request at a time: work on it begins when the answer before it has gone out
        milliseconds at = std::max(clock_.now(), busy_until_) + script_.delay(n);
        for (int copy = 0; copy < std::max(1, script_.copies(n)); ++copy) {
            for (std::uint8_t b : frame) {
                line_.emplace(at, b);
                at += script_.byte_gap(n);
            }
        }
        busy_until_ = at;
    }
    int in_buffer_count() override {
        pump();
        return static_cast<int>(received_.size());
    }
    std::vector<std::uint8_t> input() override {
        pump();
        return std::exchange(received_, {});
    }
    std::string device_name(int) const override { return "scripted unit"; }

    // Bytes of no frame of this unit on the line at `at` (RTU: no address byte of a unit; ASCII: no
    // colon), between answers.
    void noise(milliseconds at, const std::vector<std::uint8_t>& bytes) {
        for (std::uint8_t b : bytes) line_.emplace(at, b);
    }
    milliseconds busy_until() const { return busy_until_; }
    int requests() const { return requests_; }

    std::vector<Answered> answered;

  private:
    void pump() {
        const auto end = line_.upper_bound(clock_.now());
        for (auto it = line_.begin(); it != end; ++it) received_.push_back(it->second);
        line_.erase(line_.begin(), end);
    }

    const controls::TimerEngine& clock_;
    Framing framing_;
    Script script_;
    InputMode mode_ = InputMode::bytes;
    bool open_ = false;
    int requests_ = 0;
    milliseconds busy_until_{0};
    // every byte still to come, by the time it arrives, in the order it went out
    std::multimap<milliseconds, std::uint8_t> line_;
    std::vector<std::uint8_t> received_;
};

}  // namespace plx::modbus::testing
