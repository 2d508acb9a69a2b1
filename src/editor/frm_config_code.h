#pragma once
// The main window's code-behind for editing: its load step, menus and unload, the change, key and
// focus handlers that keep visible controls and hidden value holders in step and set the
// pending-change marks, the spinners, and the layout for the unit's number of buttons.

#include <functional>
#include <string>
#include <vector>

#include "controls/platform.h"
#include "device/value_rules.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "lang/texts.h"

namespace plx::link {
class Link;
}

namespace plx::editor {

// Screen size in twips, as the platform reports it: the area windows may take (without task bars),
// and where that area begins.
struct ScreenSize {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};

// Key codes the field filters treat specially.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyDelete = 127;

class FrmConfigCode {
public:
    FrmConfigCode(
        FrmConfig& f, ProgramState& s, link::Link& link, controls::Shell& shell, controls::MessageBox& messages);
    FrmConfigCode(const FrmConfigCode&) = delete;
    FrmConfigCode& operator=(const FrmConfigCode&) = delete;

    // Hooks the composition fills in; every one may stay empty.
    std::function<void(int window_kind)> apply_language;
    std::function<ScreenSize()> screen_size;
    std::function<void()> quit;                   // ends the program at once
    std::function<void()> show_about;             // modal, returns when closed
    std::function<void()> load_parameter_file;
    std::function<void()> save_parameter_file;
    std::function<void()> unload_other_windows;   // status and About windows
    std::function<void()> end_program;            // no window is left
    // Further folders to look for the help document in when it is not below the recorded install
    // folder (the program's own folder, as in a build tree), and where a missing one is reported.
    std::function<std::vector<std::string>()> help_folders;
    std::function<void(const std::string& message)> report;
    // The program's own help window on the document at `path`; false when it cannot show it, and
    // the desktop's viewer is asked instead. Unset: the desktop's viewer only.
    std::function<bool(const std::string& path)> show_help;

    // true once "&Beenden" or the closing of the window has ended the program
    bool ended() const { return ended_; }

    void Form_Load();
    // Whether the window may close: with marked fields the user is asked once whether to discard them.
    bool Form_QueryUnload();
    void Form_Unload();
    void MenueMain_Click(int index);
    void ParMenueMain_Click(int index);
    void exit_program();
    void open_help();
    // "Abbrechen" reads everything from the unit again: with marked fields it first asks once whether
    // to discard them. Call after the read-out has put its handler on the button.
    void ask_before_read_out();

    // configuration registers
    void cmb_cfg_Click(int k);
    void txt_data_cfg_Change(int k);
    void txt_data_cfg_KeyPress(int k, int& key);
    void txt_data_cfg_LostFocus(int k);
    void step_up(int k);
    void step_down(int k);
    void UpD_txt_cfg_UpClick(int k) { step_up(k); }
    void UpD_txt_cfg_DownClick(int k) { step_down(k); }
    void UpD_txt_cfg_MouseDown(int k, int x, int y);
    void UpD_txt_cfg_MouseMove(int k, int x, int y);
    void UpD_txt_cfg_MouseUp(int k);
    void Timer_Timer();

    // configuration bits
    void chk_cfg_Click(int j);
    void cmb_bit_cfg_Click(int j);
    void show_temperature_unit(bool celsius);

    // input bits, input registers, output registers
    void chk_input_Click(int j);
    void cmb_in_Click(int k);
    void txt_data_in_Change(int k);
    void txt_data_in_KeyPress(int k, int& key);
    void txt_data_in_LostFocus(int k);
    void txt_data_out_Change(int i);

    // variant layout
    void apply_device_variant();
    void update_led_panels();

private:
    void step(int k, bool up);
    // True when the step `question` asks about may give up what is marked: nothing is, or the user
    // said so.
    bool may_discard_edits(lang::Message question = lang::Message::discard_edits_question);
    // A value the user typed that the field's rule refuses (its range, its decimals) goes back to the
    // text the field had before the edit, and the status line says why; a value the unit reported, or
    // one only tabbed through, stays.
    void take_back_refused(
        controls::TextBox& t, const device::FieldRule& rule, double reference, const std::string& field);
    std::string cfg_field_name(int k) const;
    std::string input_field_name(int k) const;
    void wire();
    char separator() const;
    void mark(controls::Colored& c, bool differs) { c.set_pending(differs); }

    FrmConfig& f_;
    ProgramState& s_;
    link::Link& link_;
    controls::Shell& shell_;
    controls::MessageBox& messages_;
    bool ended_ = false;
};

// The help document's path as the shell of this system takes it: the recorded path uses
// backslashes, which only Windows reads as separators.
std::string help_path(const std::string& install_path, const std::string& help_document, char native_separator);

}  // namespace plx::editor
