#include "link/frame.h"

#include "link/wandeln.h"

namespace plx::link {

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

}  // namespace plx::link
