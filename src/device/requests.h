#pragma once
// The request strings of the unit's transactions (hex text without check sum) and what a matching
// answer looks like. Slave address: two uppercase hex digits from link::slave_address_hex.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace plx::device::requests {

std::string read_cfg_block(std::string_view slave, int first_register);
std::string read_response_time(std::string_view slave);
std::string read_cfg_bits(std::string_view slave);
std::string read_input_registers(std::string_view slave);
std::string read_input_bits(std::string_view slave);
std::string read_output_registers(std::string_view slave);

// words: one block of four-hex-digit words, already encoded
std::string write_cfg_block(std::string_view slave, int first_register, std::span<const std::string> words);
std::string write_cfg_bits(std::string_view slave, std::span<const std::uint8_t> bytes);
std::string write_input_register(std::string_view slave, int k, std::string_view word);
std::string write_input_bits(std::string_view slave, std::span<const std::uint8_t> bytes);

// The answer the outstanding request expects.
struct Expected {
    std::uint8_t function;
    // reads: the byte count of the answer
    int byte_count = 0;
    // writes: the start address and quantity the confirmation echoes
    bool write = false;
    std::uint16_t start = 0;
    std::uint16_t quantity = 0;
};

// Nothing for a state with no outstanding request of a known kind (idle, a cancelled write):
// such an answer only frees the link.
std::optional<Expected> expected_answer(int comm_state, int current_register);

// The response text (hex, from the slave address on) has the expected function code, byte count or
// echo, and all the data digits it announces.
bool answers(std::string_view response_text, const Expected& e);

}  // namespace plx::device::requests
