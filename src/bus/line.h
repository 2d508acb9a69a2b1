#pragma once
// The line settings a unit is reached with: baud rate, parity and framing (RTU on 8 data bits, ASCII
// on 7, one stop bit in both), and the time characters take on such a line.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/diagnostics.h"

namespace plx::bus {

enum class Framing {
    rtu,
    ascii,
};

struct LineSettings {
    int baud = 9600;
    char parity = 'E';  // 'E', 'O' or 'N'
    Framing framing = Framing::rtu;
    bool operator==(const LineSettings&) const = default;
};

// The baud rates and parities the window offers, in its order.
inline constexpr int kBauds[] = {9600, 19200, 38400, 57600, 115200};
inline constexpr char kParities[] = {'E', 'O', 'N'};

// The serial port's settings text: "9600,E,8,1" for RTU, "9600,E,7,1" for ASCII.
std::string port_settings_text(const LineSettings& line);
// "RTU" or "ASCII", as the window's mode box and the parameter file write it.
std::string_view mode_text(Framing framing);
// The parity as the window's list and the parameter file write it: "Even", "Odd", "None".
std::string_view parity_text(char parity);
// "9600 8E1 RTU"
std::string describe(const LineSettings& line);

// One character on the line: start bit, data bits, parity bit if any, stop bit.
std::chrono::microseconds character_time(const LineSettings& line);
// At least `characters` character times, rounded up to whole milliseconds.
std::chrono::milliseconds transfer_time(const LineSettings& line, std::size_t characters);

// The slave address a whole frame came from (RTU: its first byte; ASCII: the two digits after ":").
std::optional<int> frame_slave(const link::Reception& r, Framing framing);

}  // namespace plx::bus
