#pragma once
// Module Wandeln: the conversions between bytes and hex text, and the check sums of both frame kinds.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plx::modbus {

// Always two characters "0".."9", "A".."F", high nibble first.
std::string byte_to_hex(std::uint8_t value);

// The first two characters read as hex digits; only "0".."9" and "A".."F" count, any other
// character (lower case included) counts as 0; a single digit stands alone, an empty text gives 0.
std::uint8_t hex_pair_to_byte(std::string_view text);

// CRC-16, reflected polynomial 0xA001, initial 0xFFFF, no final XOR.
std::uint16_t crc16(std::span<const std::uint8_t> bytes);
// The same as four uppercase hex digits, high byte first.
std::string crc16_text(std::span<const std::uint8_t> bytes);

// The tool's LRC: two's complement of the sum of the character codes of the hex text.
std::uint8_t lrc_of_characters(std::string_view text);
// The standard Modbus LRC: two's complement of the sum of the byte values.
std::uint8_t lrc_of_bytes(std::span<const std::uint8_t> bytes);

// The value of one hex digit "0".."9", "A".."F" or "a".."f"; -1 for any other character.
int hex_digit_value(char c);

// Hex text (either case, even length, digits only) to bytes; false (and out empty) otherwise.
bool hex_to_bytes(std::string_view text, std::vector<std::uint8_t>& out);

std::string bytes_to_hex(std::span<const std::uint8_t> bytes);

}  // namespace plx::modbus
