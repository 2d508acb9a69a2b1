#include "modbus/frame.h"

#include "modbus/wandeln.h"

namespace plx::modbus {

std::string ascii_frame(std::string_view request_string) {
    std::string frame = ":";
    frame += request_string;
    frame += byte_to_hex(lrc_of_characters(request_string));
    frame += "\r\n";
    return frame;
}

std::vector<std::uint8_t> rtu_frame(std::string_view request_string) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 2 <= request_string.size(); i += 2) {
        bytes.push_back(hex_pair_to_byte(request_string.substr(i, 2)));
    }
    const std::string crc = crc16_text(bytes);
    bytes.push_back(hex_pair_to_byte(std::string_view(crc).substr(2, 2)));
    bytes.push_back(hex_pair_to_byte(std::string_view(crc).substr(0, 2)));
    return bytes;
}

std::vector<std::uint8_t> tcp_frame(std::string_view request_string, std::uint16_t transaction) {
    const std::size_t length = request_string.size() / 2;
    std::vector<std::uint8_t> frame;
    frame.reserve(6 + length);
    frame.push_back(static_cast<std::uint8_t>(transaction >> 8));
    frame.push_back(static_cast<std::uint8_t>(transaction & 0xFF));
    frame.push_back(0);  // protocol: Modbus
    frame.push_back(0);
    frame.push_back(static_cast<std::uint8_t>(length >> 8));
    frame.push_back(static_cast<std::uint8_t>(length & 0xFF));
    for (std::size_t i = 0; i + 2 <= request_string.size(); i += 2) {
        frame.push_back(hex_pair_to_byte(request_string.substr(i, 2)));
    }
    return frame;
}

std::vector<std::uint8_t> request_frame(std::string_view request_string, Framing framing, std::uint16_t transaction) {
    switch (framing) {
        case Framing::rtu:
            return rtu_frame(request_string);
        case Framing::tcp:
            return tcp_frame(request_string, transaction);
        case Framing::ascii:
            break;
    }
    const std::string text = ascii_frame(request_string);
    return {text.begin(), text.end()};
}

}  // namespace plx::modbus
