#pragma once
// The command line of plx24-sim.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/frame.h"

namespace plx::sim {

struct SimOptions {
    std::optional<std::string> device;  // empty: create a pseudo-terminal
    modbus::Framing mode = modbus::Framing::rtu;
    LrcForm lrc_form = LrcForm::hex_characters;
    std::uint8_t address = 1;  // the first of `addresses`
    // every unit on the line, in the order given; one unless --address names several
    std::vector<std::uint8_t> addresses{1};
    // each unit's minimum response time, in the order of `addresses`; empty: each unit its default
    std::vector<std::chrono::milliseconds> response_times;
    int baud = 9600;
    char parity = 'E';
    std::vector<FaultRule> faults;
    // faults on one unit of the line only (--fault ADDRESS/KIND...)
    struct UnitFault {
        std::uint8_t address = 1;
        FaultRule rule;
    };
    std::vector<UnitFault> unit_faults;
    std::uint32_t seed = 1;
    std::chrono::milliseconds slow_delay{1500};
    std::chrono::milliseconds split_gap{40};
    bool verbose = false;
    bool help = false;
    bool any_framing = false;
    // --tcp [HOST:]PORT: serve over TCP as a gateway does, instead of a serial line
    bool tcp = false;
    std::string tcp_host;
    int tcp_port = 0;
    // over TCP: Modbus TCP (tcp: a gateway converting to RTU on its line) or the frames passed through
    modbus::Framing tcp_framing = modbus::Framing::tcp;
    // over TCP: a connection without a request for this long is closed, as gateways do; 0: never
    std::chrono::seconds close_idle{0};
};

struct ParsedOptions {
    std::optional<SimOptions> options;
    std::string error;  // why the command line was refused
};

ParsedOptions parse_command_line(const std::vector<std::string>& args);
std::string usage_text();

}  // namespace plx::sim
