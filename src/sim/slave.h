#pragma once
// The unit's serial slave: request bytes in (with the time they arrived), answer bytes out when they
// are due. Answers only its own address, waits the unit's minimum response time, applies faults.
// Transport-free: the pty server, the in-process port and the tests all drive it the same way.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "sim/faults.h"
#include "sim/frame.h"
#include "sim/unit.h"

namespace plx::sim {

struct SlaveSettings {
    modbus::Framing mode = modbus::Framing::rtu;
    std::uint8_t address = 1;
    LrcForm lrc_form = LrcForm::hex_characters;
    std::chrono::milliseconds split_gap{40};
    std::chrono::milliseconds slow_delay{1500};
    // requests are taken in either framing; answers go out in `mode`
    bool any_framing = false;
};

struct SlaveCounters {
    std::size_t requests = 0;       // frames addressed to this unit
    std::size_t answers = 0;        // answers scheduled (faulty ones included)
    std::size_t exceptions = 0;     // exception answers the unit itself gave
    std::size_t other_address = 0;  // frames for other slaves, ignored
    std::size_t broadcasts = 0;     // frames to address 0: writes executed, never answered
    std::size_t faults = 0;         // answers a fault was applied to
};

class SimulatedSlave {
public:
    SimulatedSlave(SimulatedUnit& unit, SlaveSettings settings, std::uint32_t seed = 1);

    void receive(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now);
    // The bytes due by `now`, in order; the rest stays queued.
    std::vector<std::uint8_t> take_due(std::chrono::milliseconds now);
    std::optional<std::chrono::milliseconds> next_due() const;

    const SlaveSettings& settings() const { return settings_; }
    void set_mode(modbus::Framing mode);
    void set_address(std::uint8_t address) { settings_.address = address; }

    FaultPlan& faults() { return faults_; }
    const SlaveCounters& counters() const { return counters_; }
    const ParserCounters& parser_counters() const { return parser_.counters(); }
    // the faults applied, in order of the requests they hit
    const std::vector<FaultKind>& applied_faults() const { return applied_; }

private:
    void answer(const modbus::Adu& request, std::chrono::milliseconds now);
    void schedule(std::vector<std::uint8_t> bytes, std::chrono::milliseconds due);
    std::vector<std::uint8_t> stray_bytes();

    SimulatedUnit& unit_;
    SlaveSettings settings_;
    RequestParser parser_;
    RequestParser other_parser_;  // the other framing, for any_framing
    FaultPlan faults_;
    SlaveCounters counters_;
    std::vector<FaultKind> applied_;

    struct Piece {
        std::chrono::milliseconds due;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Piece> queue_;
};

}  // namespace plx::sim
