#pragma once
// The settings text of the serial control, "baud,parity,data bits,stop bits" such as 9600,E,7,1.

#include <optional>
#include <string>

namespace plx::link {

struct LineSettings {
    int baud = 9600;
    char parity = 'N';  // 'E', 'O' or 'N'
    int data_bits = 8;  // 5 .. 8
    int stop_bits = 1;  // 1 or 2
};

// nullopt for any text that is not exactly four valid fields.
std::optional<LineSettings> parse_line_settings(const std::string& text);

}  // namespace plx::link
