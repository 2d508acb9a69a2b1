// The word and number codecs and the hex conversions, with their round trips as oracle.
//
// Input: byte 0 picks the scale, sign and separator; bytes 1 and 2 are a register word; bytes 3 to
// 10 a double; the rest is a text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "device/number_text.h"
#include "device/word_codec.h"
#include "modbus/wandeln.h"
#include "oracle.h"

namespace {

using plx::fuzz::fail;
namespace regmap = plx::device::regmap;

bool upper_hex(const std::string& s, std::size_t digits) {
    if (s.size() != digits) return false;
    for (char c : s) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 11) return 0;
    const std::uint8_t pick = data[0];
    const auto scale = static_cast<regmap::Scale>(pick % 3);
    const auto sign = (pick & 4) != 0 ? regmap::Sign::unsigned16 : regmap::Sign::signed16;
    const char separator = (pick & 8) != 0 ? ',' : '.';
    const auto word = static_cast<std::uint16_t>(data[1] << 8 | data[2]);
    double v = 0;
    std::memcpy(&v, data + 3, sizeof v);
    const std::string text(data + 11, data + size);

    // a word shown on the screen goes back on the wire unchanged
    if (scale != regmap::Scale::bcd) {
        const std::string shown = plx::device::shown_text(word, scale, sign, separator);
        const auto encoded = plx::device::encode_word(shown, scale, separator);
        if (!encoded.ok() || encoded.hex != plx::device::hex4(word)) fail("shown word encodes back", shown);
    }
    // any text: refused, or four uppercase hex digits
    const auto encoded = plx::device::encode_word(text, scale, separator);
    if (encoded.ok() && !upper_hex(encoded.hex, 4)) fail("an encoded word is four hex digits", encoded.hex);

    // a number keeps its value through the screen (15 significant digits) wherever it shows
    // without an exponent, which covers every word and every value a field takes
    const double size_of_v = std::fabs(v);
    if (v == 0 || (size_of_v >= 1e-4 && size_of_v < 1e15)) {
        const std::string shown = plx::device::format_number(v, separator);
        const auto back = plx::device::parse_number(shown, separator);
        if (!back || std::fabs(*back - v) > 1e-14 * size_of_v) fail("a shown number reads back", shown);
    }
    (void)plx::device::parse_number(text, separator);
    (void)plx::device::leading_number(text);

    // hex text and bytes
    std::vector<std::uint8_t> bytes;
    if (plx::modbus::hex_to_bytes(text, bytes)) {
        if (plx::modbus::bytes_to_hex(bytes) != upper(text)) fail("hex text round trip", text);
    } else if (!bytes.empty()) {
        fail("refused hex leaves nothing behind", text);
    }
    (void)plx::modbus::hex_pair_to_byte(text);
    (void)plx::modbus::lrc_of_characters(text);
    (void)plx::modbus::crc16(std::span<const std::uint8_t>(data, size));
    for (int w = -1; w < 3; ++w) {
        const auto hi = plx::device::frame_byte(text, 3 + 2 * w);
        const auto lo = plx::device::frame_byte(text, 4 + 2 * w);
        const auto whole = plx::device::word_at(text, w);
        if (w >= 0 && hi && lo && (!whole || *whole != (*hi << 8 | *lo)))
            fail("a word is its two bytes", text);
        (void)plx::device::byte_at(text, w);
    }
    return 0;
}
