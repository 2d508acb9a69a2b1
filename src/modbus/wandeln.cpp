#include "modbus/wandeln.h"

namespace plx::modbus {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";

int upper_digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}
}  // namespace

std::string byte_to_hex(std::uint8_t value) {
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::uint8_t hex_pair_to_byte(std::string_view text) {
    if (text.empty()) return 0;
    if (text.size() == 1) return static_cast<std::uint8_t>(upper_digit_value(text[0]));
    return static_cast<std::uint8_t>(upper_digit_value(text[0]) * 16 + upper_digit_value(text[1]));
}

std::uint16_t crc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = (crc & 1U) != 0;
            crc = static_cast<std::uint16_t>(crc >> 1);
            if (carry) crc ^= 0xA001;
        }
    }
    return crc;
}

std::string crc16_text(std::span<const std::uint8_t> bytes) {
    const std::uint16_t crc = crc16(bytes);
    return byte_to_hex(static_cast<std::uint8_t>(crc >> 8)) +
           byte_to_hex(static_cast<std::uint8_t>(crc & 0xFF));
}

std::uint8_t lrc_of_characters(std::string_view text) {
    std::uint8_t sum = 0;
    for (char c : text) sum = static_cast<std::uint8_t>(sum + static_cast<unsigned char>(c));
    return static_cast<std::uint8_t>(-sum);
}

std::uint8_t lrc_of_bytes(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
    return static_cast<std::uint8_t>(-sum);
}

int hex_digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool hex_to_bytes(std::string_view text, std::vector<std::uint8_t>& out) {
    out.clear();
    if (text.size() % 2 != 0) return false;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = hex_digit_value(text[i]);
        const int lo = hex_digit_value(text[i + 1]);
        if (hi < 0 || lo < 0) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

std::string bytes_to_hex(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) out += byte_to_hex(b);
    return out;
}

}  // namespace plx::modbus
