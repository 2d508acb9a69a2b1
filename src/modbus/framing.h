#pragma once
// How a request travels: Modbus RTU (8 data bits, CRC-16), Modbus ASCII (7 data bits, ":" hex LRC
// CR LF), or Modbus TCP (the MBAP header: transaction, protocol 0, length, unit id; no check sum).
// The one framing type of the program, the simulator and the command line.

#include <optional>
#include <string_view>

namespace plx::modbus {

enum class Framing {
    rtu,
    ascii,
    tcp,
};

// "RTU", "ASCII" (as the window's mode box and the parameter file write them) or "TCP".
std::string_view mode_text(Framing framing);
// The window's mode text ("RTU", "ASCII"); nothing for any other, e.g. before a mode is chosen.
std::optional<Framing> framing_of_mode(std::string_view mode_text);

// Data bits of a character in this framing: 7 in ASCII, 8 otherwise.
int data_bits(Framing framing);

}  // namespace plx::modbus
