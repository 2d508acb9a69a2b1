#include "modbus/framing.h"

namespace plx::modbus {

std::string_view mode_text(Framing framing) {
    return framing == Framing::rtu ? "RTU" : "ASCII";
}

std::optional<Framing> framing_of_mode(std::string_view mode_text) {
    if (mode_text == "RTU") return Framing::rtu;
    if (mode_text == "ASCII") return Framing::ascii;
    return std::nullopt;
}

int data_bits(Framing framing) {
    return framing == Framing::rtu ? 8 : 7;
}

}  // namespace plx::modbus
