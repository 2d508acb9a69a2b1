#include "modbus/framing.h"

namespace plx::modbus {

std::string_view mode_text(Framing framing) {
    switch (framing) {
        case Framing::rtu:
            return "RTU";
        case Framing::ascii:
            return "ASCII";
        case Framing::tcp:
            return "TCP";
    }
    return "RTU";
}

std::optional<Framing> framing_of_mode(std::string_view mode_text) {
    if (mode_text == "RTU") return Framing::rtu;
    if (mode_text == "ASCII") return Framing::ascii;
    if (mode_text == "TCP") return Framing::tcp;
    return std::nullopt;
}

int data_bits(Framing framing) {
    return framing == Framing::ascii ? 7 : 8;
}

}  // namespace plx::modbus
