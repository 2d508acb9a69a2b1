#include "modbus/adu.h"

#include <string>

#include "modbus/wandeln.h"

namespace plx::modbus {

std::vector<std::uint8_t> pdu_of(const Adu& adu) {
    std::vector<std::uint8_t> out{adu.function};
    out.insert(out.end(), adu.data.begin(), adu.data.end());
    return out;
}

Adu adu_with_pdu(std::uint8_t address, std::span<const std::uint8_t> pdu) {
    if (pdu.empty()) return Adu{address, 0, {}};
    return Adu{address, pdu[0], {pdu.begin() + 1, pdu.end()}};
}

std::vector<std::uint8_t> adu_bytes(const Adu& adu) {
    std::vector<std::uint8_t> out{adu.address, adu.function};
    out.insert(out.end(), adu.data.begin(), adu.data.end());
    return out;
}

std::optional<Adu> adu_from_bytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2) return std::nullopt;
    return Adu{bytes[0], bytes[1], {bytes.begin() + 2, bytes.end()}};
}

std::optional<Adu> adu_of(std::span<const std::uint8_t> frame, Framing framing) {
    std::vector<std::uint8_t> bytes;
    if (framing == Framing::tcp) {
        // the MBAP header, unit id and function at the least; the length field says the rest
        if (frame.size() < 8 || frame[2] != 0 || frame[3] != 0) return std::nullopt;
        if (((frame[4] << 8) | frame[5]) != static_cast<int>(frame.size()) - 6) return std::nullopt;
        return adu_from_bytes(frame.subspan(6));
    }
    if (framing == Framing::rtu) {
        // address, function, CRC at the least
        if (frame.size() < 4) return std::nullopt;
        bytes.assign(frame.begin(), frame.end() - 2);
    } else {
        if (frame.size() < 9 || frame.front() != ':' || frame[frame.size() - 2] != '\r' ||
            frame.back() != '\n')
            return std::nullopt;
        const std::string digits(frame.begin() + 1, frame.end() - 2);
        if (!hex_to_bytes(digits, bytes)) return std::nullopt;
        bytes.pop_back();  // the LRC
    }
    return adu_from_bytes(bytes);
}

std::optional<Adu> adu_of_request(std::string_view request_string) {
    std::vector<std::uint8_t> bytes;
    if (!hex_to_bytes(request_string, bytes)) return std::nullopt;
    return adu_from_bytes(bytes);
}

std::optional<int> frame_slave(std::span<const std::uint8_t> frame, Framing framing) {
    if (framing == Framing::tcp) {
        if (frame.size() < 7) return std::nullopt;
        return frame[6];
    }
    if (framing == Framing::rtu) {
        if (frame.empty()) return std::nullopt;
        return frame.front();
    }
    if (frame.size() < 3 || frame.front() != ':') return std::nullopt;
    const int hi = hex_digit_value(static_cast<char>(frame[1]));
    const int lo = hex_digit_value(static_cast<char>(frame[2]));
    if (hi < 0 || lo < 0) return std::nullopt;
    return hi * 16 + lo;
}

}  // namespace plx::modbus
