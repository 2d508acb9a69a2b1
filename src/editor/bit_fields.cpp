// Configuration bits: check boxes, the two-entry lists of bits 24 .. 29, the temperature unit.

#include <stdexcept>

#include "editor/frm_config_code.h"

namespace plx::editor {

namespace {
bool has_list(int j) { return j >= 24 && j <= 29; }
constexpr int kTemperatureUnitBit = 24;
}  // namespace

void FrmConfigCode::chk_cfg_Click(int j) {
    controls::CheckBox& b = f_.chk_cfg[j];
    const bool differs = b.value() != s_.cfg_bit_values[static_cast<std::size_t>(j)];
    if (!has_list(j)) {
        mark(b, differs);
    } else {
        controls::ComboBox& list = f_.cmb_bit_cfg[j];
        bool shown = false;
        try {
            list.set_list_index(b.value());
            shown = true;
        } catch (const std::out_of_range&) {
            // an undetermined value has no entry; the bit itself still counts as edited
        }
        mark(b, differs);
        if (shown) mark(list, differs);
    }
    check_pending_changes(f_);
}

void FrmConfigCode::cmb_bit_cfg_Click(int j) {
    if (!has_list(j)) return;
    const int e = f_.cmb_bit_cfg[j].list_index();
    if (e < 0) return;
    f_.chk_cfg[j].set_value(e);
    if (j == kTemperatureUnitBit) show_temperature_unit(f_.chk_cfg[j].value() == 1);
}

void FrmConfigCode::show_temperature_unit(bool celsius) {
    // only the captions follow the unit; the unit's numbers are never converted
    const std::string degrees = celsius ? "°C" : "°F";
    f_.lbl_temp[1].set_caption(degrees);
    for (int i = 33; i <= 40; ++i) f_.lbl_desc[i].set_caption(degrees);
    for (int i : {51, 52, 53, 55, 56, 57}) f_.lbl_desc[i].set_caption(celsius ? "[K]" : "[°F]");
    for (int i : {54, 58}) f_.lbl_desc[i].set_caption(celsius ? "[°C]" : "[°F]");
    for (int i = 59; i <= 62; ++i) f_.lbl_desc[i].set_caption(celsius ? "K" : "°F");
}

}  // namespace plx::editor
