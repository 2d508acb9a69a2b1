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
    if (s->baud < 50 || (s->parity != 'E' && s->parity != 'O' && s->parity != 'N')) {
        plx::fuzz::fail("settings in range", text);
    }
    const auto back = plx::modbus::parse_settings_text(plx::modbus::settings_text(*s));
    if (!back || *back != *s) plx::fuzz::fail("settings read the same when written out", text);
    return 0;
}
