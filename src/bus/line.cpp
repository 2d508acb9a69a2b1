#include "bus/line.h"

#include "link/wandeln.h"

namespace plx::bus {

std::string port_settings_text(const LineSettings& line) {
    return std::to_string(line.baud) + "," + line.parity + (line.framing == Framing::rtu ? ",8,1" : ",7,1");
}

std::string_view mode_text(Framing framing) {
    return framing == Framing::rtu ? "RTU" : "ASCII";
}

std::string_view parity_text(char parity) {
    return parity == 'E' ? "Even" : parity == 'O' ? "Odd" : "None";
}

std::string describe(const LineSettings& line) {
    return std::to_string(line.baud) + (line.framing == Framing::rtu ? " 8" : " 7") + line.parity + "1 " +
           std::string(mode_text(line.framing));
}

std::chrono::microseconds character_time(const LineSettings& line) {
    const int bits = 1 + (line.framing == Framing::rtu ? 8 : 7) + (line.parity == 'N' ? 0 : 1) + 1;
    return std::chrono::microseconds(1'000'000LL * bits / (line.baud > 0 ? line.baud : 9600));
}

std::chrono::milliseconds transfer_time(const LineSettings& line, std::size_t characters) {
    const auto us = character_time(line) * static_cast<long long>(characters);
    return std::chrono::ceil<std::chrono::milliseconds>(us);
}

std::optional<int> frame_slave(const link::Reception& r, Framing framing) {
    if (framing == Framing::rtu) {
        if (r.bytes.empty()) return std::nullopt;
        return r.bytes.front();
    }
    if (r.bytes.size() < 3 || r.bytes.front() != ':') return std::nullopt;
    const int hi = link::hex_digit_value(static_cast<char>(r.bytes[1]));
    const int lo = link::hex_digit_value(static_cast<char>(r.bytes[2]));
    if (hi < 0 || lo < 0) return std::nullopt;
    return hi * 16 + lo;
}

}  // namespace plx::bus
