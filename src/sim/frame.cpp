#include "sim/frame.h"

#include <algorithm>

namespace plx::sim {

namespace {

constexpr char hex_digits[] = "0123456789ABCDEF";

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The largest RTU ADU: address, 253 bytes of PDU, CRC.
constexpr std::size_t max_rtu_frame = 256;
// ':' + 2 * 255 hex digits + LRC + CR LF, with room to spare.
constexpr std::size_t max_ascii_frame = 520;

bool crc_matches(std::span<const std::uint8_t> frame) {
    if (frame.size() < 4) return false;
    const auto body = frame.first(frame.size() - 2);
    const std::uint16_t crc = crc16(body);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

}  // namespace

std::uint16_t crc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) {
            const bool lsb = (crc & 1) != 0;
            crc = static_cast<std::uint16_t>(crc >> 1);
            if (lsb) crc ^= 0xA001;
        }
    }
    return crc;
}

std::uint8_t lrc_over_hex_characters(std::string_view hex) {
    unsigned sum = 0;
    for (char c : hex) sum += static_cast<unsigned char>(c);
    return static_cast<std::uint8_t>((256 - (sum & 0xFF)) & 0xFF);
}

std::uint8_t lrc_over_bytes(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint8_t>((256 - (sum & 0xFF)) & 0xFF);
}

std::uint8_t lrc(std::span<const std::uint8_t> bytes, LrcForm form) {
    return form == LrcForm::standard ? lrc_over_bytes(bytes) : lrc_over_hex_characters(to_hex(bytes));
}

std::string to_hex(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(hex_digits[b >> 4]);
        out.push_back(hex_digits[b & 0x0F]);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> from_hex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hex_value(hex[i]);
        const int lo = hex_value(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::vector<std::uint8_t> encode_rtu(const modbus::Adu& adu) {
    auto out = modbus::adu_bytes(adu);
    const std::uint16_t crc = crc16(out);
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    return out;
}

std::vector<std::uint8_t> encode_ascii(const modbus::Adu& adu, LrcForm form) {
    const auto bytes = modbus::adu_bytes(adu);
    const std::uint8_t check = lrc(bytes, form);
    const std::string text = ':' + to_hex(bytes) + to_hex(std::span(&check, 1)) + "\r\n";
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> encode(const modbus::Adu& adu, modbus::Framing mode, LrcForm form) {
    return mode == modbus::Framing::rtu ? encode_rtu(adu) : encode_ascii(adu, form);
}

std::optional<std::size_t> rtu_request_length(std::span<const std::uint8_t> head) {
    if (head.size() < 2) return std::nullopt;
    switch (head[1]) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
        // address, function, start, quantity or value, CRC
        return 8;
    case 0x0F:
    case 0x10:
        // address, function, start, quantity, byte count, data, CRC
        if (head.size() < 7) return std::nullopt;
        return std::size_t{9} + head[6];
    default:
        return std::nullopt;
    }
}

RequestParser::RequestParser(modbus::Framing mode, LrcForm lrc_form, std::chrono::milliseconds stale_after)
    : mode_(mode), lrc_form_(lrc_form), stale_after_(stale_after) {}

void RequestParser::set_mode(modbus::Framing mode) {
    if (mode == mode_) return;
    mode_ = mode;
    buffer_.clear();
}

void RequestParser::feed(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now) {
    if (bytes.empty()) return;
    if (mode_ == modbus::Framing::rtu && !buffer_.empty() && now - last_byte_at_ > stale_after_) {
        counters_.dropped_bytes += buffer_.size();
        buffer_.clear();
    }
    last_byte_at_ = now;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<modbus::Adu> RequestParser::next() {
    return mode_ == modbus::Framing::rtu ? next_rtu() : next_ascii();
}

void RequestParser::drop_front(std::size_t n, bool as_noise) {
    n = std::min(n, buffer_.size());
    if (as_noise) counters_.dropped_bytes += n;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
}

std::optional<modbus::Adu> RequestParser::next_rtu() {
    while (buffer_.size() >= 4) {
        const std::span<const std::uint8_t> data(buffer_);
        std::optional<std::size_t> length = rtu_request_length(data);
        if (!length) {
            if (data[1] == 0x0F || data[1] == 0x10) return std::nullopt;  // byte count still to come
            // unknown function: the frame ends where the CRC first matches
            for (std::size_t n = 4; n <= std::min(data.size(), max_rtu_frame); ++n) {
                if (crc_matches(data.first(n))) {
                    length = n;
                    break;
                }
            }
            if (!length) {
                if (data.size() < max_rtu_frame) return std::nullopt;
                drop_front(1, true);
                continue;
            }
        }
        if (*length > max_rtu_frame) {
            drop_front(1, true);
            continue;
        }
        if (data.size() < *length) return std::nullopt;
        const auto frame = data.first(*length);
        if (!crc_matches(frame)) {
            // a bad check sum or a frame start that was not one: slide on by one byte
            ++counters_.bad_checks;
            drop_front(1, true);
            continue;
        }
        modbus::Adu adu = modbus::adu_with_pdu(frame[0], frame.subspan(1, frame.size() - 3));
        drop_front(*length, false);
        ++counters_.frames;
        return adu;
    }
    return std::nullopt;
}

std::optional<modbus::Adu> RequestParser::next_ascii() {
    for (;;) {
        const auto colon = std::find(buffer_.begin(), buffer_.end(), std::uint8_t{':'});
        if (colon == buffer_.end()) {
            drop_front(buffer_.size(), true);
            return std::nullopt;
        }
        drop_front(static_cast<std::size_t>(colon - buffer_.begin()), true);
        // a second ':' before the line end starts a new frame; the unfinished one is dropped
        std::size_t end = 1;
        while (end < buffer_.size() && buffer_[end] != '\n' && buffer_[end] != ':') ++end;
        if (end == buffer_.size()) {
            if (buffer_.size() > max_ascii_frame) {
                ++counters_.bad_checks;
                drop_front(1, true);
                continue;
            }
            return std::nullopt;
        }
        if (buffer_[end] == ':') {
            ++counters_.bad_checks;
            drop_front(end, false);
            continue;
        }
        const std::string line(buffer_.begin() + 1, buffer_.begin() + static_cast<std::ptrdiff_t>(end));
        drop_front(end + 1, false);
        if (line.size() < 7 || line.back() != '\r') {
            ++counters_.bad_checks;
            continue;
        }
        const std::string_view text(line.data(), line.size() - 1);
        const auto body_hex = text.substr(0, text.size() - 2);
        const auto body = from_hex(body_hex);
        const auto check = from_hex(text.substr(text.size() - 2));
        if (!body || !check || body->size() < 2) {
            ++counters_.bad_checks;
            continue;
        }
        const std::uint8_t expected =
            lrc_form_ == LrcForm::standard ? lrc_over_bytes(*body) : lrc_over_hex_characters(body_hex);
        if ((*check)[0] != expected) {
            ++counters_.bad_checks;
            continue;
        }
        ++counters_.frames;
        return modbus::adu_with_pdu((*body)[0], std::span(*body).subspan(1));
    }
}

}  // namespace plx::sim
