#pragma once
// The main window, program state, fake port and virtual clock wired to a Link and the device
// transactions as the program does, with a scripted unit that answers RTU requests from a register
// image.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/platform.h"
#include "controls/timer.h"
#include "transfer/transactions.h"
#include "device/word_codec.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/fake_serial_port.h"
#include "modbus/frame.h"
#include "link/link.h"

namespace plx::transfer::testing {

using device::frame_byte;
using device::hex2;
using device::hex4;

class RecordingMessageBox : public controls::MessageBox {
  public:
    void show_ok(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

struct Seen {
    std::string request;  // hex without check sum
    std::int64_t at_ms;
};

struct Answer {
    std::string response;  // hex without check sum
    std::int64_t at_ms;    // when it goes (or went) out
};

// Answers function 01, 03, 0F and 10 from its tables; a silent unit records and says nothing.
class ScriptedUnit {
  public:
    std::map<int, std::uint16_t> holding;
    std::map<int, int> coils;
    bool silent = false;
    // the adapter hands every request straight back (no echo suppression on a 2-wire line)
    bool echo = false;
    // a slow unit: each answer goes out this long after its request
    std::int64_t answer_delay_ms = 0;
    // the exception code the unit refuses a request with (hex without check sum), 0 to answer it
    std::function<int(const std::string& request)> refuse;
    // requests the unit hears and leaves unanswered (hex without check sum)
    std::function<bool(const std::string& request)> ignores;
    std::vector<Seen> seen;
    // the answers given, with the time each went out
    std::vector<Answer> answered;
    std::deque<Answer> due;

    // The answer (hex, without check sum) a unit with these tables gives.
    std::string answer_for(const std::string& request) const {
        const auto byte = [&](int pos) { return *frame_byte(request, pos); };
        const int fn = byte(1);
        const int start = (byte(2) << 8) | byte(3);
        const int quantity = (byte(4) << 8) | byte(5);
        std::string out = request.substr(0, 4);
        if (fn == 0x03) {
            out += hex2(static_cast<std::uint8_t>(2 * quantity));
            for (int a = start; a < start + quantity; ++a) {
                const auto it = holding.find(a);
                out += hex4(it == holding.end() ? 0 : it->second);
            }
        } else if (fn == 0x01) {
            const int bytes = (quantity + 7) / 8;
            out += hex2(static_cast<std::uint8_t>(bytes));
            for (int b = 0; b < bytes; ++b) {
                int v = 0;
                for (int p = 0; p < 8; ++p) {
                    const auto it = coils.find(start + 8 * b + p);
                    if (it != coils.end() && it->second) v |= 1 << p;
                }
                out += hex2(static_cast<std::uint8_t>(v));
            }
        } else {
            out = request.substr(0, 12);  // a write is confirmed by its start and quantity
        }
        return out;
    }
};

// Takes every RTU request written to the port, lets the unit see it and injects its answer.
inline void serve_unit(link::FakeSerialPort& port, ScriptedUnit& unit, std::int64_t now_ms) {
    const std::vector<std::uint8_t> bytes = port.take_written();
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const int fn = bytes[at + 1];
        const std::size_t length = fn == 0x0F || fn == 0x10 ? 9u + bytes[at + 6] : 8u;
        std::string request;
        for (std::size_t n = at; n < at + length - 2 && n < bytes.size(); ++n) request += hex2(bytes[n]);
        if (unit.echo) port.inject(std::span<const std::uint8_t>(bytes).subspan(at, length));
        at += length;
        unit.seen.push_back({request, now_ms});
        const int refused = unit.refuse ? unit.refuse(request) : 0;
        const std::string answer = refused != 0
                                       ? request.substr(0, 2) + hex2(static_cast<std::uint8_t>(fn | 0x80)) +
                                             hex2(static_cast<std::uint8_t>(refused))
                                       : unit.answer_for(request);
        if (!unit.silent && !(unit.ignores && unit.ignores(request)))
            unit.due.push_back({answer, now_ms + unit.answer_delay_ms});
    }
    while (!unit.due.empty() && unit.due.front().at_ms <= now_ms) {
        port.inject(modbus::rtu_frame(unit.due.front().response));
        unit.answered.push_back({unit.due.front().response, now_ms});
        unit.due.pop_front();
    }
}

struct UnitRig {
    UnitRig() {
        form.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
        state.decimal_separator = ".";
        tx.show_msg_window = [this] { ++status_windows; };
    }
    ~UnitRig() {
        form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
    }

    // Start-up, then RTU and "open", as the user chooses them.
    void open_rtu() {
        link.load_link_panel();
        link.apply_startup_settings();
        form.Combo_Port[5].user_select(1);
        form.Combo_Port[6].user_select(1);
        serve();
    }

    // Hands every request on the wire to the unit and its answers back to the port.
    void serve() { serve_unit(port, unit, clock.now().count()); }

    void answer(const std::string& response_hex) { port.inject(modbus::rtu_frame(response_hex)); }

    // Runs the program for a while, the unit answering between ticks.
    void run_ms(std::int64_t ms, std::int64_t step_ms = 5) {
        for (std::int64_t t = 0; t < ms; t += step_ms) {
            clock.advance_ms(step_ms);
            serve();
        }
    }

    std::vector<std::string> requests() const {
        std::vector<std::string> out;
        for (const auto& s : unit.seen) out.push_back(s.request);
        return out;
    }

    controls::VirtualClock clock;
    FrmConfig form;
    ProgramState state;
    link::FakeSerialPort port;
    RecordingMessageBox messages;
    modbus::Engine engine{port, clock, form.Timer4, form.Timer5};
    link::Link link{form, state, engine, messages};
    Transactions tx{form, state, link, port};
    ScriptedUnit unit;
    int status_windows = 0;
};

}  // namespace plx::transfer::testing
