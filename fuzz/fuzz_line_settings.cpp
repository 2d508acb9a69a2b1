// The serial control's settings text ("9600,E,7,1"): what it accepts is in range and reads the
// same once written out again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "modbus/line_settings.h"
#include "oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(data, data + size);
    const auto s = plx::modbus::parse_settings_text(text);
    if (!s) return 0;
    if (s->baud < 50 || s->data_bits < 5 || s->data_bits > 8 || (s->stop_bits != 1 && s->stop_bits != 2) ||
        (s->parity != 'E' && s->parity != 'O' && s->parity != 'N')) {
        plx::fuzz::fail("settings in range", text);
    }
    const std::string again = std::to_string(s->baud) + "," + s->parity + "," + std::to_string(s->data_bits) +
                              "," + std::to_string(s->stop_bits);
    const auto back = plx::modbus::parse_settings_text(again);
    if (!back || back->baud != s->baud || back->parity != s->parity || back->data_bits != s->data_bits ||
        back->stop_bits != s->stop_bits) {
        plx::fuzz::fail("settings read the same when written out", text);
    }
    return 0;
}
