#include "device/word_codec.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "device/number_text.h"

namespace plx::device {

namespace {

// data of a read response start after address, function and byte count: hex character 6 (0-based)
constexpr std::size_t kDataStart = 6;

std::optional<unsigned> hex_digit(char ch) {
    if (ch >= '0' && ch <= '9') return static_cast<unsigned>(ch - '0');
    if (ch >= 'A' && ch <= 'F') return static_cast<unsigned>(ch - 'A' + 10);
    // an ASCII-mode answer keeps the characters the unit sent, lowercase included
    if (ch >= 'a' && ch <= 'f') return static_cast<unsigned>(ch - 'a' + 10);
    return std::nullopt;
}

std::optional<unsigned> hex_at(std::string_view text, std::size_t pos, std::size_t digits) {
    if (pos + digits > text.size()) return std::nullopt;
    unsigned v = 0;
    for (std::size_t n = 0; n < digits; ++n) {
        const auto d = hex_digit(text[pos + n]);
        if (!d) return std::nullopt;
        v = v * 16 + *d;
    }
    return v;
}

constexpr char kHex[] = "0123456789ABCDEF";

std::string_view trimmed(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

EncodedWord encode_bcd(std::string_view text) {
    const auto t = trimmed(text);
    if (t.empty()) return {{}, EncodeError::empty};
    if (t.size() > 4) return {{}, EncodeError::not_bcd};
    for (char ch : t) {
        if (!std::isdigit(static_cast<unsigned char>(ch))) return {{}, EncodeError::not_bcd};
    }
    return {std::string(4 - t.size(), '0') + std::string(t), EncodeError::none};
}

// The number of a valid text times 10, computed on the decimal digits so that 1,45 is exactly 14.5.
double times_ten(std::string_view text, char separator) {
    std::string normal;
    bool shifted = false;
    bool after_separator = false;
    for (char ch : trimmed(text)) {
        if (ch == separator) {
            after_separator = true;
            continue;
        }
        normal += ch;
        if (after_separator && !shifted) {
            normal += '.';
            shifted = true;
        }
    }
    if (!shifted) normal += '0';
    return std::strtod(normal.c_str(), nullptr);
}

}  // namespace

std::optional<std::uint16_t> word_at(std::string_view response_text, int w) {
    if (w < 0) return std::nullopt;
    const auto v = hex_at(response_text, kDataStart + 4 * static_cast<std::size_t>(w), 4);
    if (!v) return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

std::optional<std::uint8_t> byte_at(std::string_view response_text, int b) {
    if (b < 0) return std::nullopt;
    return frame_byte(response_text, 3 + b);
}

std::optional<std::uint8_t> frame_byte(std::string_view response_text, int position) {
    if (position < 0) return std::nullopt;
    const auto v = hex_at(response_text, 2 * static_cast<std::size_t>(position), 2);
    if (!v) return std::nullopt;
    return static_cast<std::uint8_t>(*v);
}

std::int16_t as_signed(std::uint16_t word) {
    return static_cast<std::int16_t>(word);
}

double word_value(std::uint16_t word, regmap::Scale scale, regmap::Sign sign) {
    const double v =
        sign == regmap::Sign::unsigned16 ? static_cast<double>(word) : static_cast<double>(as_signed(word));
    return scale == regmap::Scale::tenths ? v / 10.0 : v;
}

std::string shown_text(std::uint16_t word, regmap::Scale scale, regmap::Sign sign, char separator) {
    return format_number(word_value(word, scale, sign), separator);
}

double round_half_even(double v) {
    const double lower = std::floor(v);
    const double diff = v - lower;
    if (diff < 0.5) return lower;
    if (diff > 0.5) return lower + 1;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1;
}

EncodedWord encode_word(std::string_view text, regmap::Scale scale, char separator) {
    if (scale == regmap::Scale::bcd) return encode_bcd(text);
    if (trimmed(text).empty()) return {{}, EncodeError::empty};
    const auto number = parse_number(text, separator);
    if (!number) return {{}, EncodeError::not_a_number};
    const double scaled = scale == regmap::Scale::tenths ? times_ten(text, separator) : *number;
    const double r = round_half_even(scaled);
    if (r < -32768.0 || r > 65535.0) return {{}, EncodeError::out_of_range};
    const auto bits = static_cast<std::uint16_t>(static_cast<std::int32_t>(r) & 0xFFFF);
    return {hex4(bits), EncodeError::none};
}

std::string hex2(std::uint8_t byte) {
    return {kHex[byte >> 4], kHex[byte & 0x0F]};
}

std::string hex4(std::uint16_t word) {
    return hex2(static_cast<std::uint8_t>(word >> 8)) + hex2(static_cast<std::uint8_t>(word & 0xFF));
}

std::vector<std::uint8_t> pack_bits(std::span<const int> values) {
    std::vector<std::uint8_t> bytes((values.size() + 7) / 8, 0);
    for (std::size_t j = 0; j < values.size(); ++j) {
        if (values[j] == 1) bytes[j / 8] = static_cast<std::uint8_t>(bytes[j / 8] | (1u << (j % 8)));
    }
    return bytes;
}

int bit_of(std::span<const std::uint8_t> bytes, int j) {
    if (j < 0 || static_cast<std::size_t>(j / 8) >= bytes.size()) return 0;
    return (bytes[static_cast<std::size_t>(j / 8)] >> (j % 8)) & 1;
}

}  // namespace plx::device
