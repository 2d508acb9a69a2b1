#pragma once
// The control set of the main window frm_config, as the designer lays it out: every control array
// with exactly its indices, the design captions (German) and the initial state. Handlers live in
// the subsystem folders; they reach the controls through this struct.

#include "controls/controls.h"
#include "controls/timer.h"

namespace plx {

namespace c = controls;

struct FrmConfig {
    FrmConfig();
    FrmConfig(const FrmConfig&) = delete;
    FrmConfig& operator=(const FrmConfig&) = delete;

    c::Window frm_config;

    // link panel
    c::Frame frm_parameter;
    c::ControlArray<c::ComboBox> Combo_Port;  // 0 port, 1 baud, 5 mode, 6 open/close
    c::ControlArray<c::Label> lbl_parameter;  // 0, 1, 5, 6
    c::ComboBox cbParity;
    c::Label Label1;  // "Parity"
    c::TextBox txt_Modbus_adress;
    c::Picture Image1;

    c::TabControl SSTab1;

    // configuration registers
    c::ControlArray<c::TextBox> txt_data_cfg;   // 0..59, value holders
    c::ControlArray<c::Label> lbl_cfg;          // 0..59
    c::ControlArray<c::ComboBox> cmb_cfg;       // 2, 8..31, 59
    c::ControlArray<c::UpDown> UpD_txt_cfg;     // 3..7, 32..58
    c::ControlArray<c::Label> lbl_cfg_val;      // 0, 1
    // configuration bits
    c::ControlArray<c::CheckBox> chk_cfg;       // 0..31
    c::ControlArray<c::Label> lbl_read_cfg_bit; // 0..31
    c::ControlArray<c::ComboBox> cmb_bit_cfg;   // 24..29
    // input bits and registers
    c::ControlArray<c::CheckBox> chk_input;     // 0..15
    c::ControlArray<c::Label> lbl_read_in_bit;  // 0..15
    c::ControlArray<c::TextBox> txt_data_in;    // 0..27
    c::ControlArray<c::Label> lbl_data_in;      // 7..27
    c::ControlArray<c::ComboBox> cmb_in;        // 26, 27
    // output registers and monitor
    c::ControlArray<c::TextBox> txt_data_out;   // 0..16
    c::ControlArray<c::Label> lbl_read_out;     // 0..16
    c::ControlArray<c::Label> lbl_in_val;       // 15, 16
    c::ControlArray<c::Label> Lbl_button;       // 0..11
    c::ControlArray<c::Label> lbl_temp;         // 0, 1
    c::ControlArray<c::Label> lbl_desc;         // 0..31, 33..65, 67..73
    c::ControlArray<c::Picture> Image2T, Image4T, Image8T, Image12T;  // 0..2
    c::Frame Frame2;

    // frames
    c::ControlArray<c::Frame> frm_2T;       // 0, 1
    c::ControlArray<c::Frame> frm_4T;       // 0..2
    c::ControlArray<c::Frame> frm_8T;       // 0..4
    c::Frame frm_12T;
    c::ControlArray<c::Frame> frm_allg;     // 0..2
    c::ControlArray<c::Frame> frm_Anzeige;  // 0..2
    c::ControlArray<c::Frame> frm_button;   // 0
    c::ControlArray<c::Frame> frm_val;      // 0, 1
    c::ControlArray<c::Frame> frm_extern;   // 0..4
    c::ControlArray<c::Frame> frm_soll;     // 0..8

    // command strip
    c::Frame Frm_read;
    c::CheckBox chk_read_out;
    c::CommandButton read_out_parameter;
    c::CommandButton set_parameter;

    // the window's status line (an addition of this program): a short note such as why a typed
    // value was not taken
    c::Label status_line;

    // menu: MenüMain(1..3), ParMenüMain(1..4)
    c::ControlArray<c::MenuItem> MenueMain;
    c::ControlArray<c::MenuItem> ParMenueMain;

    // the seven window timers (`Timer` is the spinner auto-repeat)
    c::Timer Timer1{"Timer1"};
    c::Timer Timer2{"Timer2"};
    c::Timer Timer4{"Timer4"};
    c::Timer Timer5{"Timer5"};
    c::Timer Timer6{"Timer6"};
    c::Timer Timer7{"Timer7"};
    c::Timer Timer{"Timer"};

    // window-level variables
    int rtu_expected_length = 0;
    bool response_time_changed = false;
    bool input_registers_pending = false;
    bool input_bits_pending = false;
    int spin_index = 0;
    bool spin_up = false;

    // Every control of the window, for views and checks that walk all of them.
    template <class F>
    void for_each_timer(F&& f) {
        for (controls::Timer* t : {&Timer, &Timer1, &Timer2, &Timer4, &Timer5, &Timer6, &Timer7}) f(*t);
    }
};

// Design captions, list texts and geometry of the window (frm_config_design.cpp).
void load_design(FrmConfig& f);

// Scans all 136 value holders for the pending-change mark; while polling is off, set_parameter
// follows the result. The tabs' marks follow in every case.
void check_pending_changes(FrmConfig& f);

// True when any of the 136 value holders carries the pending-change mark.
bool has_pending_changes(const FrmConfig& f);

// The tab of SSTab1 on which each value holder's data point is edited (hidden holders count for
// the tab of the list that shows them).
int tab_of_cfg_register(int k);
int tab_of_cfg_bit(int j);
int tab_of_input_register(int k);
int tab_of_input_bit(int j);
// Marks every tab that holds a marked value holder, so the user sees where unsent edits are.
void mark_tabs(FrmConfig& f);

}  // namespace plx
