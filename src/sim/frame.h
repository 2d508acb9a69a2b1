#pragma once
// The slave side of Modbus serial framing: check sums, response frames and incremental request
// parsers for RTU and ASCII. Pure functions and small state machines; no port, no clock of its own.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/adu.h"
#include "modbus/framing.h"

namespace plx::sim {

// Which LRC an ASCII frame carries.
enum class LrcForm {
    hex_characters,  // over the character codes of the hex text, as the configuration tool computes it
    standard,        // over the byte values the digit pairs stand for (Modbus over serial line)
};

// CRC-16/MODBUS: reflected polynomial 0xA001, initial 0xFFFF, no final XOR.
std::uint16_t crc16(std::span<const std::uint8_t> bytes);
std::uint8_t lrc_over_hex_characters(std::string_view hex);
std::uint8_t lrc_over_bytes(std::span<const std::uint8_t> bytes);
std::uint8_t lrc(std::span<const std::uint8_t> bytes, LrcForm form);

// Two uppercase hex digits per byte.
std::string to_hex(std::span<const std::uint8_t> bytes);
// Pairs of hex digits (either case) to bytes; nothing for odd lengths or non-hex characters.
std::optional<std::vector<std::uint8_t>> from_hex(std::string_view hex);

// RTU: address, PDU, CRC low byte, CRC high byte.
std::vector<std::uint8_t> encode_rtu(const modbus::Adu& adu);
// ASCII: ':' hex text, LRC as two hex digits, CR LF.
std::vector<std::uint8_t> encode_ascii(const modbus::Adu& adu, LrcForm form);
std::vector<std::uint8_t> encode(const modbus::Adu& adu, modbus::Framing mode, LrcForm form);

// Frame length that a request with this beginning will have, once enough bytes are known: the
// request layouts of the functions the unit knows (01, 03, 05, 06, 0F, 10); nothing for others.
std::optional<std::size_t> rtu_request_length(std::span<const std::uint8_t> head);

struct ParserCounters {
    std::size_t frames = 0;         // frames with a good check sum
    std::size_t bad_checks = 0;     // frames discarded for their check sum or malformed text
    std::size_t dropped_bytes = 0;  // bytes skipped while looking for a frame start
};

// Collects request bytes and yields each complete frame with a good check sum. RTU frames are
// delimited by their function's layout, by a matching CRC for unknown functions, and a partial frame
// left silent for longer than `stale_after` is dropped, as a slave drops it after the line goes quiet.
class RequestParser {
public:
    RequestParser(modbus::Framing mode, LrcForm lrc_form,
                  std::chrono::milliseconds stale_after = std::chrono::milliseconds(50));

    void feed(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now);
    std::optional<modbus::Adu> next();

    modbus::Framing mode() const { return mode_; }
    void set_mode(modbus::Framing mode);
    const ParserCounters& counters() const { return counters_; }
    std::size_t pending_bytes() const { return buffer_.size(); }

private:
    std::optional<modbus::Adu> next_rtu();
    std::optional<modbus::Adu> next_ascii();
    void drop_front(std::size_t n, bool as_noise);

    modbus::Framing mode_;
    LrcForm lrc_form_;
    std::chrono::milliseconds stale_after_;
    std::chrono::milliseconds last_byte_at_{0};
    std::vector<std::uint8_t> buffer_;
    ParserCounters counters_;
};

}  // namespace plx::sim
