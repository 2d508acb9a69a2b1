// The request engine against a unit that answers late, twice, in pieces, with refusals or not at
// all, with noise on the line between its answers. Rule: every request ends, once, and what reaches
// the caller is an answer the unit gave to a request for the same block (its words, or its refusal):
// never a value of another block, however late an answer came. The unit keeps to its turnaround
// (each answer within it of starting on the request), as the engine's rule assumes.
//
// Input: byte 0 the framing (bit 0: ASCII); then 64 bytes of the unit's script, one per request it
// gets; then the caller's requests, three bytes each: block (mod 6), retries (mod 3), noise before it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "../tests/modbus/scripted_unit.h"
#include "modbus/engine.h"
#include "oracle.h"

namespace {

using namespace plx;
using std::chrono::milliseconds;

constexpr milliseconds kTurnaround{1000};
constexpr int kScripted = 64;

std::string hex_of(const std::string& response_text, std::size_t from, std::size_t n) {
    return response_text.size() >= from + n ? response_text.substr(from, n) : std::string{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 + kScripted) return 0;
    const auto framing = (data[0] & 1) != 0 ? modbus::Framing::ascii : modbus::Framing::rtu;
    const std::span<const std::uint8_t> script(data + 1, kScripted);
    const auto at = [script](int n) { return script[static_cast<std::size_t>((n - 1) % kScripted)]; };

    modbus::testing::ScriptedUnit::Script s;
    // up to the turnaround, in steps of 4 ms
    s.delay = [at](int n) { return std::min(milliseconds(4 * at(n)), kTurnaround); };
    s.lost = [at](int n) { return (at(n) & 0x07) == 0; };
    s.refuse = [at](int n) { return (at(n) & 0x1F) == 0x11 ? 2 : 0; };
    s.copies = [at](int n) { return (at(n) & 0x30) == 0x30 ? 2 : 1; };
    // pieces of an answer stay within the silence that ends an RTU frame, or mostly do
    s.byte_gap = [at](int n) { return milliseconds((at(n) >> 2) % 12); };

    controls::VirtualClock clock;
    modbus::testing::ScriptedUnit unit(clock, framing, s);
    modbus::Engine engine(unit, clock);
    if (engine.open({9600, 'E', framing})) return 0;

    struct Call {
        int first;
        int retries;
        int noise;
    };
    std::vector<Call> calls;
    for (std::size_t i = 1 + kScripted; i + 3 <= size && calls.size() < 40; i += 3)
        calls.push_back({10 * (data[i] % 6), data[i + 1] % 3, data[i + 2]});

    std::size_t next = 0;
    bool waiting = false;
    const auto issue = [&] {
        const Call c = calls[next];
        // noise only while the unit says nothing, never inside one of its answers
        if (c.noise % 4 == 1 && clock.now() >= unit.busy_until()) {
            const std::vector<std::uint8_t> bytes =
                framing == modbus::Framing::rtu ? std::vector<std::uint8_t>{0xFF, 0x80, static_cast<std::uint8_t>(0x80 | c.noise)}
                                                : std::vector<std::uint8_t>{'#', 'x', ' '};
            unit.noise(clock.now(), bytes);
        }
        modbus::Request r;
        r.request_string = "0103" + modbus::byte_to_hex(0) + modbus::byte_to_hex(static_cast<std::uint8_t>(c.first)) + "000A";
        r.policy.timeout = milliseconds(300);
        r.policy.retries = c.retries;
        r.policy.turnaround = kTurnaround;
        r.policy.pace = milliseconds(50);
        waiting = true;
        auto called = std::make_shared<int>(0);
        engine.request(std::move(r), [&, c, called](const modbus::Outcome& o) {
            if (++*called > 1) fuzz::fail("a request ends once", std::to_string(c.first));
            waiting = false;
            if (o.verdict == modbus::Verdict::ok) {
                for (int i = 0; i < 10; ++i) {
                    const std::string word = hex_of(o.response_text, 6 + 4 * static_cast<std::size_t>(i), 4);
                    const int want = modbus::testing::word_of(c.first + i);
                    const std::string expected = modbus::byte_to_hex(static_cast<std::uint8_t>(want >> 8)) +
                                                 modbus::byte_to_hex(static_cast<std::uint8_t>(want & 0xFF));
                    if (word != expected)
                        fuzz::fail("a block gets its own words", "block " + std::to_string(c.first) + ": " + o.response_text);
                }
            } else if (o.verdict == modbus::Verdict::exception) {
                bool given = false;
                for (const auto& a : unit.answered) given = given || (a.first == c.first && a.exception_code == o.exception_code);
                if (!given) fuzz::fail("a refusal is the unit's to a request for the block", std::to_string(c.first));
            }
            ++next;
        });
    };
    // every request ends: at most its attempts, each a turnaround, plus the unit's backlog
    const milliseconds limit = milliseconds(10'000) * static_cast<long>(calls.size() + 1) + kTurnaround * kScripted;
    while (next < calls.size()) {
        if (!waiting) issue();
        if (clock.now() > limit) fuzz::fail("every request ends", "call " + std::to_string(next));
        clock.advance(milliseconds(1));
    }
    return 0;
}
