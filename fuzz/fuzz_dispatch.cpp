// The dispatch for every transaction state with an arbitrary response text, then a few seconds of
// the timers it may have started. Beside the sanitizers: every field it fills shows a number.
//
// Input: comm_state (byte 0, modulo 12, so unknown states too), current_register (bytes 1 and 2,
// little endian), flags (byte 3: 1 port open in RTU, 2 polling on, 4 input registers pending,
// 8 input bits pending, 16 response time edited, 32 decimal comma), then the response text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/number_text.h"
#include "transfer/transactions.h"
#include "rig.h"

namespace {

template <typename Fields>
void expect_numbers(const Fields& fields, char separator, const char* group) {
    for (const auto& [k, field] : fields) {
        const std::string& text = field.text();
        if (!text.empty() && !plx::device::parse_number(text, separator)) {
            plx::fuzz::fail("a loaded field shows a number",
                            std::string(group) + "[" + std::to_string(k) + "] = " + text);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    plx::fuzz::LinkRig rig;
    plx::transfer::Transactions tx{rig.form, rig.state, rig.link, rig.port};
    const std::uint8_t flags = data[3];
    rig.state.decimal_separator = (flags & 32) != 0 ? "," : ".";
    if ((flags & 1) != 0) rig.open(true);
    if ((flags & 2) != 0) rig.form.chk_read_out.set_value(1);
    rig.form.input_registers_pending = (flags & 4) != 0;
    rig.form.input_bits_pending = (flags & 8) != 0;
    rig.form.response_time_changed = (flags & 16) != 0;

    rig.state.comm_state = data[0] % 12;
    rig.state.current_register = static_cast<std::int16_t>(data[1] | (data[2] << 8));
    rig.state.response_text.assign(data + 4, data + size);
    rig.state.link_ready = true;
    tx.dispatch();
    rig.clock.advance_ms(3000);

    const char separator = plx::device::separator_of(rig.state.decimal_separator);
    expect_numbers(rig.form.txt_data_cfg, separator, "txt_data_cfg");
    expect_numbers(rig.form.txt_data_in, separator, "txt_data_in");
    expect_numbers(rig.form.txt_data_out, separator, "txt_data_out");
    return 0;
}
