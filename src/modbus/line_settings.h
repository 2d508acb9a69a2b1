#pragma once
// The line a unit is reached on: baud rate, parity and framing (RTU on 8 data bits, ASCII on 7, one
// stop bit in both). The only builder and parser of the serial port's settings text ("9600,E,8,1"),
// and the time characters take on such a line.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "modbus/framing.h"

namespace plx::modbus {

struct LineSettings {
    int baud = 9600;
    char parity = 'E';  // 'E', 'O' or 'N'
    Framing framing = Framing::rtu;
    bool operator==(const LineSettings&) const = default;
};

// The baud rates and parities the window offers, in its order.
inline constexpr int kBauds[] = {9600, 19200, 38400, 57600, 115200};
inline constexpr char kParities[] = {'E', 'O', 'N'};

// The serial port's settings text: baud rate, parity letter, data bits, stop bits: "9600,E,8,1" for
// RTU, "9600,E,7,1" for ASCII.
std::string settings_text(const LineSettings& line);
// The settings text back: exactly four fields, a baud rate of 50 and more, E, O or N, 7 or 8 data
// bits (ASCII or RTU) and one stop bit; nothing for anything else.
std::optional<LineSettings> parse_settings_text(std::string_view text);

// One setting as a person types it (any case): a baud rate the window offers; "E", "even", "O", "odd",
// "N", "none"; "rtu", "ascii". Nothing for anything else.
std::optional<int> parse_baud(std::string_view text);
std::optional<char> parse_parity(std::string_view text);
std::optional<Framing> parse_mode(std::string_view text);

// The parity as the window's list and the parameter file write it: "Even", "Odd", "None".
std::string_view parity_text(char parity);
// "9600 8E1 RTU"; "Modbus TCP" for a gateway that converts
std::string describe(const LineSettings& line);

// One character on the line: start bit, data bits, parity bit if any, stop bit.
std::chrono::microseconds character_time(const LineSettings& line);
// At least `characters` character times, rounded up to whole milliseconds.
std::chrono::milliseconds transfer_time(const LineSettings& line, std::size_t characters);

}  // namespace plx::modbus
