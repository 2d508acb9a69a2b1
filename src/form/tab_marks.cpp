// Which tab shows which value holder, and the tab marks that follow the holders' marks.

#include <array>

#include "form/frm_config.h"

namespace plx {

namespace {
enum Tab : int {
    general = 0,
    display = 1,
    buttons = 2,
    monitor = 3,
    led_symbols = 4,
    external_values = 5,
    setpoint_temperature = 6,
    setpoint_percent = 7,
    setpoint_value = 8,
};
constexpr int kTabCount = 9;

bool in(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}
}  // namespace

int tab_of_cfg_register(int k) {
    if (in(k, 8, 27)) return buttons;
    if (k == 32) return display;
    if (in(k, 35, 42)) return setpoint_temperature;
    if (in(k, 43, 50)) return setpoint_percent;
    if (in(k, 51, 58)) return setpoint_value;
    if (in(k, 0, 59)) return general;
    return -1;
}

int tab_of_cfg_bit(int j) {
    if (in(j, 27, 29)) return setpoint_temperature + (j - 27);
    if (in(j, 0, 31)) return display;
    return -1;
}

int tab_of_input_register(int k) {
    if (in(k, 0, 6)) return general;
    if (in(k, 7, 13)) return external_values;
    if (in(k, 26, 27)) return monitor;
    // offsets and basic setpoints: temperature 14, 15, 20, 21; percent 16, 17, 22, 23; value 18, 19, 24, 25
    if (in(k, 14, 25)) return setpoint_temperature + ((k - 14) % 6) / 2;
    return -1;
}

int tab_of_input_bit(int j) {
    return in(j, 0, 15) ? led_symbols : -1;
}

void mark_tabs(FrmConfig& f) {
    std::array<bool, kTabCount> marked{};
    auto note = [&](int tab, bool pending) {
        if (pending && tab >= 0 && tab < kTabCount) marked[static_cast<std::size_t>(tab)] = true;
    };
    for (const auto& [k, t] : f.txt_data_cfg) note(tab_of_cfg_register(k), t.pending());
    for (const auto& [k, t] : f.txt_data_in) note(tab_of_input_register(k), t.pending());
    for (const auto& [j, b] : f.chk_cfg) note(tab_of_cfg_bit(j), b.pending());
    for (const auto& [j, b] : f.chk_input) note(tab_of_input_bit(j), b.pending());
    for (int t = 0; t < kTabCount; ++t) f.SSTab1.set_tab_marked(t, marked[static_cast<std::size_t>(t)]);
}

}  // namespace plx
