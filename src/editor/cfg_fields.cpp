// Configuration register fields: list choices, text changes, key filter, focus loss, spinners.

#include <cmath>
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
namespace regmap = device::regmap;

namespace {
// register 2 holds the number of buttons; its list shows the four variants
constexpr const auto& kButtonCounts = regmap::button_variants;

bool is_button_function(int k) { return k >= 8 && k <= 19; }
bool is_led_function(int k) { return k >= 20 && k <= 27; }
bool is_time_display(int k) { return k >= 28 && k <= 31; }
constexpr int kFanStages = 59;
constexpr int kButtons = 2;
constexpr double kSpinnerHoldZone = 1.2;
}  // namespace

void FrmConfigCode::cmb_cfg_Click(int k) {
    controls::TextBox& holder = f_.txt_data_cfg[k];
    const int e = f_.cmb_cfg[k].list_index();
    // a list cleared by code leaves its holder as it is: "-1" is no register value
    if (e < 0) return;
    if (k == kButtons) {
        if (e >= static_cast<int>(std::size(kButtonCounts))) return;
        holder.set_text(std::to_string(kButtonCounts[static_cast<std::size_t>(e)]));
        apply_device_variant();
    } else if (is_button_function(k) || is_time_display(k)) {
        holder.set_text(std::to_string(e));
    } else if (is_led_function(k)) {
        holder.set_text(std::to_string(e));
        update_led_panels();
    } else if (k == kFanStages) {
        holder.set_text(std::to_string(e + 1));
    }
}

void FrmConfigCode::txt_data_cfg_Change(int k) {
    controls::TextBox& t = f_.txt_data_cfg[k];
    const char sep = separator();
    const double ref = s_.cfg_register_values[static_cast<std::size_t>(k)];
    try {
        if (k == 0 || k == 1) f_.lbl_cfg_val[k].set_caption(t.text());

        if (k == kButtons) {
            const double v = detail::number_or_throw(t.text(), sep);
            for (int e = 0; e < static_cast<int>(std::size(kButtonCounts)); ++e) {
                if (v == kButtonCounts[static_cast<std::size_t>(e)]) f_.cmb_cfg[k].set_list_index(e);
            }
            mark(f_.cmb_cfg[k], v != ref);
        } else if (k >= 8 && k <= 31) {
            const int v = detail::index_or_throw(t.text(), sep);
            detail::select_or_throw(f_.cmb_cfg[k], v);
            mark(f_.cmb_cfg[k], v != ref);
        } else if (k == kFanStages) {
            const int v = detail::index_or_throw(t.text(), sep);
            detail::select_or_throw(f_.cmb_cfg[k], v - 1);
            mark(f_.cmb_cfg[k], v != ref);
        }

        if (k == regmap::response_time_register) {
            const double v = detail::number_or_throw(t.text(), sep);
            if (v < 1) {
                // the pacing intervals derive from this value, and below 1 it is no usable time
                t.set_text("5");
                s_.response_time = 5;
            }
            f_.response_time_changed = true;
        }

        mark(t, detail::number_or_throw(t.text(), sep) != ref);
        check_pending_changes(f_);
    } catch (const HandlerError&) {
    } catch (const std::out_of_range&) {
    }
}

void FrmConfigCode::txt_data_cfg_KeyPress(int k, int& key) {
    if ((key >= '0' && key <= '9') || key == kKeyBackspace || key == kKeyDelete) return;
    const regmap::KeyFilter filter = regmap::cfg_registers[static_cast<std::size_t>(k)].keys;
    detail::filter_number_key(key, f_.txt_data_cfg[k].text(), separator(),
                              filter != regmap::KeyFilter::digits,
                              filter == regmap::KeyFilter::separator_and_sign);
}

void FrmConfigCode::txt_data_cfg_LostFocus(int k) {
    controls::TextBox& t = f_.txt_data_cfg[k];
    const char sep = separator();
    const double reference = s_.cfg_register_values[static_cast<std::size_t>(k)];
    if (t.text().empty()) t.set_text("0");
    // a field's range is its spinner's, its decimals those its register holds: the rule plx24ctl applies
    take_back_refused(t, device::cfg_rule(k), reference, cfg_field_name(k));
    // a field is never left with a text that is no number: back to what the unit reported
    if (!device::parse_number(t.text(), sep)) t.set_text(device::format_number(reference, sep));
}

void FrmConfigCode::take_back_refused(
    controls::TextBox& t, const device::FieldRule& rule, double reference, const std::string& field) {
    if (!t.edited_by_user()) return;
    const char sep = separator();
    const auto v = device::parse_number(t.text(), sep);
    const device::RuleVerdict verdict = device::check_value(rule, t.text(), sep);
    // the unit's own value is never refused: keeping it sends nothing new
    if (!v || verdict == device::RuleVerdict::ok || *v == reference) {
        f_.status_line.set_caption("");
        return;
    }
    const std::string typed = t.text();
    t.set_text(*t.text_before_edit());
    f_.status_line.set_caption(lang::message(lang::Message::value_out_of_range, s_.language_code,
                                             {field, device::rule_words(rule, verdict, s_.language_code, sep), typed}));
}

std::string FrmConfigCode::cfg_field_name(int k) const {
    const std::string reg =
        lang::message(lang::Message::cfg_register_field, s_.language_code, {std::to_string(k)});
    const std::string caption = lang::field_name(f_.lbl_cfg[k].caption());
    if (caption.empty()) return reg;
    return lang::message(lang::Message::named_field, s_.language_code, {caption, reg});
}

void FrmConfigCode::step_up(int k) { step(k, true); }

void FrmConfigCode::step_down(int k) { step(k, false); }

// One step of the spinner; past the bound the field takes the bound itself as an integer.
void FrmConfigCode::step(int k, bool up) {
    if (!f_.UpD_txt_cfg.has(k)) return;
    controls::TextBox& t = f_.txt_data_cfg[k];
    const controls::UpDown& u = f_.UpD_txt_cfg[k];
    const char sep = separator();
    const double s = regmap::cfg_registers[static_cast<std::size_t>(k)].step;
    const auto v = device::parse_number(t.text(), sep);
    if (!v) return;
    if (up ? *v <= u.max() - s : *v >= u.min() + s) {
        t.set_text(device::format_number(up ? *v + s : *v - s, sep));
    } else {
        t.set_text(device::format_number(std::trunc(up ? u.max() : u.min()), sep));
    }
}

void FrmConfigCode::UpD_txt_cfg_MouseDown(int k, int /*x*/, int y) {
    f_.spin_index = k;
    f_.spin_up = y < 0.5 * f_.UpD_txt_cfg[k].height();
    f_.Timer.set_enabled(true);
}

void FrmConfigCode::UpD_txt_cfg_MouseMove(int k, int x, int y) {
    const controls::UpDown& u = f_.UpD_txt_cfg[k];
    if (x > kSpinnerHoldZone * u.width() || y > kSpinnerHoldZone * u.height()) f_.Timer.set_enabled(false);
}

void FrmConfigCode::UpD_txt_cfg_MouseUp(int /*k*/) { f_.Timer.set_enabled(false); }

void FrmConfigCode::Timer_Timer() {
    if (f_.spin_up) {
        step_up(f_.spin_index);
    } else {
        step_down(f_.spin_index);
    }
}

}  // namespace plx::editor
