#pragma once
// The request strings of the unit's transactions (hex text without check sum). Slave address: two
// uppercase hex digits.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plx::device::requests {

std::string read_cfg_block(std::string_view slave, int first_register);
std::string read_response_time(std::string_view slave);
// configuration registers 0 .. 2: one read tells whether a unit is there and what it is
std::string read_identification(std::string_view slave);
std::string read_cfg_bits(std::string_view slave);
std::string read_input_registers(std::string_view slave);
std::string read_input_bits(std::string_view slave);
std::string read_output_registers(std::string_view slave);

// words: one block of four-hex-digit words, already encoded
std::string write_cfg_block(std::string_view slave, int first_register, std::span<const std::string> words);
std::string write_cfg_bits(std::string_view slave, std::span<const std::uint8_t> bytes);
std::string write_input_register(std::string_view slave, int k, std::string_view word);
std::string write_input_bits(std::string_view slave, std::span<const std::uint8_t> bytes);

}  // namespace plx::device::requests
