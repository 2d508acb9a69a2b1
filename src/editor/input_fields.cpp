// Input bits, input registers (clock, external values, setpoint offsets, fan stage, occupancy)
// and the text forms of the output registers.

#include <algorithm>
#include <stdexcept>

#include "device/number_text.h"
#include "device/register_map.h"
#include "device/value_rules.h"
#include "editor/field_rules.h"
#include "editor/frm_config_code.h"
#include "lang/captions.h"
#include "lang/texts.h"

namespace plx::editor {

using detail::HandlerError;

namespace {
enum class InKeys {
    digits,
    separator,
    separator_and_sign,
};

InKeys input_keys(int k) {
    switch (k) {
        case 0: case 1: case 2: case 3: case 4: case 5:  // clock
        case 10: case 11:                                  // external percent values
        case 16: case 17:                                  // percent setpoint offsets
        case 22: case 23:                                  // percent basic setpoints
            return InKeys::digits;
        case 6:
            return InKeys::separator;
        default:
            return InKeys::separator_and_sign;
    }
}

bool has_list(int k) { return k == 26 || k == 27; }
// the clock registers travel as their typed digits, so nothing but digits may stay in them
bool is_clock(int k) { return k >= 0 && k <= 5; }

bool all_digits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// the clock fields keep their own corrections, which begin by taking a value beyond this to 0
constexpr double kClockTypedLimit = 100;
constexpr int kFanStageOut = 15;
constexpr int kOccupancyOut = 16;
constexpr int kFanStageAuto = 4;
constexpr int kUnoccupiedText = 5;
constexpr int kOccupiedText = 6;
}  // namespace

void FrmConfigCode::chk_input_Click(int j) {
    controls::CheckBox& b = f_.chk_input[j];
    mark(b, b.value() != s_.input_bit_values[static_cast<std::size_t>(j)]);
    check_pending_changes(f_);
}

void FrmConfigCode::cmb_in_Click(int k) {
    if (!has_list(k)) return;
    const int e = f_.cmb_in[k].list_index();
    if (e < 0) return;
    f_.txt_data_in[k].set_text(std::to_string(e));
}

void FrmConfigCode::txt_data_in_Change(int k) {
    controls::TextBox& t = f_.txt_data_in[k];
    const char sep = separator();
    const double ref = s_.input_register_values[static_cast<std::size_t>(k)];
    try {
        if (has_list(k)) {
            const int v = detail::index_or_throw(t.text(), sep);
            detail::select_or_throw(f_.cmb_in[k], v);
            mark(f_.cmb_in[k], v != ref);
        }
        mark(t, detail::number_or_throw(t.text(), sep) != ref);
        check_pending_changes(f_);
    } catch (const HandlerError&) {
    } catch (const std::out_of_range&) {
    }
}

void FrmConfigCode::txt_data_in_KeyPress(int k, int& key) {
    if ((key >= '0' && key <= '9') || key == kKeyBackspace || key == kKeyDelete) return;
    const InKeys filter = input_keys(k);
    detail::filter_number_key(key, f_.txt_data_in[k].text(), separator(), filter != InKeys::digits,
                              filter == InKeys::separator_and_sign);
}

void FrmConfigCode::txt_data_in_LostFocus(int k) {
    controls::TextBox& t = f_.txt_data_in[k];
    const char sep = separator();
    // every step looks at the text as the step before left it
    auto value = [&] { return device::parse_number(t.text(), sep); };

    if (t.text().empty()) t.set_text("0");
    if (!is_clock(k)) {
        take_back_refused(t, device::input_rule(k), s_.input_register_values[static_cast<std::size_t>(k)],
                          input_field_name(k));
    } else if (const auto v = value(); v && (*v > kClockTypedLimit || *v < -kClockTypedLimit)) {
        t.set_text("0");
    }
    if (const auto v = value(); v && is_clock(k)) {
        switch (k) {
            case 0:
            case 1:
                if (*v > 59) t.set_text("0");
                break;
            case 2:
                if (*v > 23) t.set_text("0");
                break;
            case 3:
                if (*v > 31 || *v == 0) t.set_text("1");
                break;
            case 4:
                if (*v > 12 || *v == 0) t.set_text("1");
                break;
            case 5:
                if (*v > 99) {
                    t.set_text("1");
                } else if (*v == 0) {
                    t.set_text("7");
                }
                break;
            default:
                break;
        }
    }
    const bool usable = is_clock(k) ? all_digits(t.text()) : value().has_value();
    if (!usable) {
        t.set_text(device::format_number(s_.input_register_values[static_cast<std::size_t>(k)], sep));
    }
}

std::string FrmConfigCode::input_field_name(int k) const {
    const std::string reg =
        lang::message(lang::Message::input_register_field, s_.language_code, {std::to_string(k)});
    if (!f_.lbl_data_in.has(k)) return reg;
    const std::string caption = lang::field_name(f_.lbl_data_in[k].caption());
    if (caption.empty()) return reg;
    return lang::message(lang::Message::named_field, s_.language_code, {caption, reg});
}

void FrmConfigCode::txt_data_out_Change(int i) {
    if (i != kFanStageOut && i != kOccupancyOut) return;
    const auto v = device::parse_number(f_.txt_data_out[i].text(), separator());
    if (!v) return;
    if (i == kFanStageOut) {
        int entry = kFanStageAuto;
        for (int stage = 0; stage <= 3; ++stage) {
            if (*v == stage) entry = stage;
        }
        f_.lbl_in_val[i].set_caption(s_.lang_text[static_cast<std::size_t>(entry)]);
    } else if (*v == 0) {
        f_.lbl_in_val[i].set_caption(s_.lang_text[kUnoccupiedText]);
    } else if (*v == 1) {
        f_.lbl_in_val[i].set_caption(s_.lang_text[kOccupiedText]);
    }
}

}  // namespace plx::editor
