// The window laid out for a unit with 2, 4, 8 or 12 push buttons.

#include "editor/frm_config_code.h"

namespace plx::editor {

namespace {
enum Variant : int {
    two_buttons = 0,
    four_buttons = 1,
    eight_buttons = 2,
    twelve_buttons = 3,
};

constexpr const char* kButtonCountText[] = {"2", "4", "8", "12"};

// lamp geometry in twips over the unit picture
constexpr int kTallLampHeight = 1400;
constexpr int kHalfLampHeight = 680;
constexpr int kShortLampHeight = 280;
constexpr int kSecondRowTopFourButtons = 3030;
constexpr int kSecondRowTopEightButtons = 2670;

// An LED switch panel is offered only while its LED follows the input bit (entry 0); a list
// without a selection leaves the panel as it is.
void follow_led_function(controls::Frame& panel, const controls::ComboBox& led_function) {
    if (led_function.list_index() == 0) {
        panel.set_visible(true);
    } else if (led_function.list_index() == 1) {
        panel.set_visible(false);
    }
}
}  // namespace

void FrmConfigCode::apply_device_variant() {
    const int v = f_.cmb_cfg[2].list_index();
    if (v < two_buttons || v > twelve_buttons) return;

    f_.txt_data_cfg[2].set_text(kButtonCountText[v]);
    f_.frm_4T[0].set_visible(v >= four_buttons);
    f_.frm_8T[0].set_visible(v >= eight_buttons);
    f_.frm_12T.set_visible(v == twelve_buttons);

    // only entry 0 shows an LED panel here; a panel whose LED follows its button keeps its state
    if (v >= four_buttons) {
        for (int n : {1, 2}) {
            if (f_.cmb_cfg[21 + n].list_index() == 0) f_.frm_4T[n].set_visible(true);
        }
    } else {
        for (int n : {1, 2}) f_.frm_4T[n].set_visible(false);
    }
    if (v >= eight_buttons) {
        for (int n = 1; n <= 4; ++n) {
            if (f_.cmb_cfg[23 + n].list_index() == 0) f_.frm_8T[n].set_visible(true);
        }
    } else {
        for (int n = 1; n <= 4; ++n) f_.frm_8T[n].set_visible(false);
    }

    for (int i = 0; i <= 2; ++i) {
        f_.Image2T[i].set_visible(v == two_buttons);
        f_.Image4T[i].set_visible(v == four_buttons);
        f_.Image8T[i].set_visible(v == eight_buttons);
        f_.Image12T[i].set_visible(v == twelve_buttons);
    }

    if (v == two_buttons) {
        for (int n : {4, 5}) f_.Lbl_button[n].set_height(kTallLampHeight);
    } else if (v == four_buttons) {
        for (int n = 4; n <= 7; ++n) f_.Lbl_button[n].set_height(kHalfLampHeight);
        for (int n : {6, 7}) f_.Lbl_button[n].set_top(kSecondRowTopFourButtons);
    } else {
        for (int n = 4; n <= 7; ++n) f_.Lbl_button[n].set_height(kShortLampHeight);
        for (int n : {6, 7}) f_.Lbl_button[n].set_top(kSecondRowTopEightButtons);
    }

    // T5 and T6 (lamps 4 and 5) exist on every variant
    for (int n = 0; n <= 11; ++n) {
        bool shown = true;
        if (n <= 3) {
            shown = v == twelve_buttons;
        } else if (n >= 6 && n <= 7) {
            shown = v >= four_buttons;
        } else if (n >= 8) {
            shown = v >= eight_buttons;
        }
        f_.Lbl_button[n].set_visible(shown);
    }
}

void FrmConfigCode::update_led_panels() {
    follow_led_function(f_.frm_2T[0], f_.cmb_cfg[20]);
    follow_led_function(f_.frm_2T[1], f_.cmb_cfg[21]);
    const int v = f_.cmb_cfg[2].list_index();
    if (v >= four_buttons && v <= twelve_buttons) {
        follow_led_function(f_.frm_4T[1], f_.cmb_cfg[22]);
        follow_led_function(f_.frm_4T[2], f_.cmb_cfg[23]);
    }
    if (v >= eight_buttons && v <= twelve_buttons) {
        for (int n = 1; n <= 4; ++n) follow_led_function(f_.frm_8T[n], f_.cmb_cfg[23 + n]);
    }
}

}  // namespace plx::editor
