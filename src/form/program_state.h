#pragma once
// The program-wide values of the module `global`: one object, owned by the application and passed
// by reference, so that every test builds a fresh program.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace plx {

// The kind of the outstanding transaction.
enum CommState : int {
    idle = 0,
    read_registers = 1,
    write_cfg_registers = 2,
    read_cfg_bits = 3,
    write_cfg_bits = 4,
    write_input_registers = 5,
    read_response_time = 6,
    read_input_registers = 7,
    write_input_bits = 8,
    read_input_bits = 9,
};

struct ProgramState {
    // link settings (start-up values of the module)
    std::uint8_t port_number = 2;
    std::string baud_text = "9600";
    std::string parity_text = "E";
    std::string data_bits_text = "8";
    std::string stop_bits_text = "1";
    std::string modbus_mode = "standard_ascii";
    bool port_open_wanted = false;

    // the outstanding request and the last response
    std::string request_string;
    std::string response_text;
    bool link_ready = false;
    int comm_state = idle;
    std::int16_t current_register = 0;
    std::int16_t response_time = 0;

    // reference values: what the unit last reported (or, for input registers, was last sent)
    std::array<double, 61> cfg_register_values{};
    std::array<std::int16_t, 32> cfg_bit_values{};
    std::array<double, 31> input_register_values{};
    std::array<std::int16_t, 30> input_bit_values{};
    int input_register_count = 28;
    // What the unit holds in register 33 while its field shows another value for pacing (0 is shown
    // as 5): an Apply writes this back unless the engineer edited the field.
    std::optional<std::int16_t> response_time_held;
    // The engineer chose to let the next opening's read-out replace unsent edits (the bus scan asked);
    // otherwise they are kept over it.
    bool discard_edits_at_opening = false;

    // language and locale, set by apply_language
    std::string language_code;
    std::string decimal_separator;
    std::string install_path;
    std::string help_document;
    std::array<std::string, 21> lang_text{};

    // true while the tool talks to the built-in simulated unit (demo mode)
    bool demo = false;
};

}  // namespace plx
