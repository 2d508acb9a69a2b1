#pragma once
// Register words and coil bytes between the response text, the controls' texts and the request
// string: signed or unsigned 16-bit words, tenths, BCD clock digits, least-significant-bit-first coils.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/register_map.h"

namespace plx::device {

// Why a text cannot travel as a word; the caller decides how to tell the user.
enum class EncodeError {
    none,
    empty,
    not_a_number,
    out_of_range,  // beyond -32768 .. 65535, where the low 16 bits would send another value
    not_bcd,       // a clock field takes one to four decimal digits
};

struct EncodedWord {
    std::string hex;  // four uppercase hex digits when ok()
    EncodeError error = EncodeError::none;
    bool ok() const { return error == EncodeError::none; }
};

// --- reading: positions as in a read response (address, function, byte count, then the data) ---

// Register word w of a read response; nothing when the text is too short or not hex there.
std::optional<std::uint16_t> word_at(std::string_view response_text, int w);
// Coil data byte b of a read response.
std::optional<std::uint8_t> byte_at(std::string_view response_text, int b);
// Any byte of the response by its position from the slave address on (0 = address).
std::optional<std::uint8_t> frame_byte(std::string_view response_text, int position);

std::int16_t as_signed(std::uint16_t word);
// The number a word stands for on the screen.
double word_value(std::uint16_t word, regmap::Scale scale, regmap::Sign sign);
// Shortest decimal text with the user's separator: 215 tenths -> "21.5", FFFE tenths -> "-0.2".
std::string shown_text(std::uint16_t word, regmap::Scale scale, regmap::Sign sign, char separator);

// --- writing ---

// Text to the four hex digits of a request: the user's separator, tenths * 10, a tie rounds to the
// even neighbour, two's complement; BCD takes the digits themselves ("59" -> "0059").
EncodedWord encode_word(std::string_view text, regmap::Scale scale, char separator);
// Nearest integer, a tie to the even neighbour.
double round_half_even(double v);

std::string hex2(std::uint8_t byte);
std::string hex4(std::uint16_t word);

// --- coils: point j is bit (j mod 8) of data byte (j div 8) ---

// Check-box values (1 = checked, anything else clear) packed into ceil(n / 8) bytes.
std::vector<std::uint8_t> pack_bits(std::span<const int> values);
int bit_of(std::span<const std::uint8_t> bytes, int j);

}  // namespace plx::device
