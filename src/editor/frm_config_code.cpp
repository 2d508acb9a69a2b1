#include "editor/frm_config_code.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "device/number_text.h"
#include "device/register_map.h"
#include "lang/texts.h"
#include "link/link.h"

namespace plx::editor {

namespace {
constexpr int kMainWindowKind = 0;
// the separator line of the file menu carries no action
constexpr int kMenuFile = 1;
constexpr int kMenuAbout = 2;
constexpr int kMenuHelp = 3;
constexpr int kFileLoad = 1;
constexpr int kFileSave = 2;
constexpr int kFileExit = 4;
}  // namespace

std::string help_path(const std::string& install_path, const std::string& help_document, char native_separator) {
    std::string path = install_path + help_document;
    if (native_separator != '\\') {
        for (char& ch : path) {
            if (ch == '\\') ch = native_separator;
        }
    }
    return path;
}

FrmConfigCode::FrmConfigCode(
    FrmConfig& f, ProgramState& s, link::Link& link, controls::Shell& shell, controls::MessageBox& messages)
    : f_(f), s_(s), link_(link), shell_(shell), messages_(messages) {
    wire();
}

char FrmConfigCode::separator() const { return device::separator_of(s_.decimal_separator); }

void FrmConfigCode::wire() {
    for (auto& [k, t] : f_.txt_data_cfg) {
        const int i = k;
        t.on_change = [this, i] { txt_data_cfg_Change(i); };
        t.on_key_press = [this, i](int& key) { txt_data_cfg_KeyPress(i, key); };
        t.on_lost_focus = [this, i] { txt_data_cfg_LostFocus(i); };
    }
    for (auto& [k, c] : f_.cmb_cfg) {
        const int i = k;
        c.on_click = [this, i] { cmb_cfg_Click(i); };
    }
    for (auto& [k, u] : f_.UpD_txt_cfg) {
        const int i = k;
        // the bounds are the register's own; the spinner's position value is never used
        const auto& reg = device::regmap::cfg_registers[static_cast<std::size_t>(k)];
        u.set_min(reg.min);
        u.set_max(reg.max);
        u.on_up_click = [this, i] { UpD_txt_cfg_UpClick(i); };
        u.on_down_click = [this, i] { UpD_txt_cfg_DownClick(i); };
        u.on_mouse_down = [this, i](int x, int y) { UpD_txt_cfg_MouseDown(i, x, y); };
        u.on_mouse_move = [this, i](int x, int y) { UpD_txt_cfg_MouseMove(i, x, y); };
        u.on_mouse_up = [this, i] { UpD_txt_cfg_MouseUp(i); };
    }
    f_.Timer.on_tick = [this] { Timer_Timer(); };

    for (auto& [j, b] : f_.chk_cfg) {
        const int i = j;
        b.on_click = [this, i] { chk_cfg_Click(i); };
    }
    for (auto& [j, c] : f_.cmb_bit_cfg) {
        const int i = j;
        c.on_click = [this, i] { cmb_bit_cfg_Click(i); };
    }
    for (auto& [j, b] : f_.chk_input) {
        const int i = j;
        b.on_click = [this, i] { chk_input_Click(i); };
    }
    for (auto& [k, c] : f_.cmb_in) {
        const int i = k;
        c.on_click = [this, i] { cmb_in_Click(i); };
    }
    for (auto& [k, t] : f_.txt_data_in) {
        const int i = k;
        t.on_change = [this, i] { txt_data_in_Change(i); };
        t.on_key_press = [this, i](int& key) { txt_data_in_KeyPress(i, key); };
        t.on_lost_focus = [this, i] { txt_data_in_LostFocus(i); };
    }
    for (auto& [i, t] : f_.txt_data_out) {
        const int n = i;
        t.on_change = [this, n] { txt_data_out_Change(n); };
    }

    for (auto& [i, m] : f_.MenueMain) {
        const int n = i;
        m.on_click = [this, n] { MenueMain_Click(n); };
    }
    for (auto& [i, m] : f_.ParMenueMain) {
        const int n = i;
        m.on_click = [this, n] { ParMenueMain_Click(n); };
    }
}

void FrmConfigCode::Form_Load() {
    if (apply_language) apply_language(kMainWindowKind);

    // always centred, whatever the last position was; never larger than the screen, or the menu
    // and the Apply row would lie beyond its edges
    if (screen_size) {
        const ScreenSize screen = screen_size();
        if (screen.width > 0 && f_.frm_config.width() > screen.width) f_.frm_config.set_width(screen.width);
        if (screen.height > 0 && f_.frm_config.height() > screen.height)
            f_.frm_config.set_height(screen.height);
        f_.frm_config.set_left(screen.left + (screen.width - f_.frm_config.width()) / 2);
        f_.frm_config.set_top(screen.top + (screen.height - f_.frm_config.height()) / 2);
    }

    s_.current_register = 0;

    link_.load_link_panel();

    // the references start equal to the design texts, so nothing is pending at start-up
    const int count = std::min<int>(s_.input_register_count, static_cast<int>(f_.txt_data_in.size()));
    for (int k = 0; k < count && k < static_cast<int>(s_.input_register_values.size()); ++k) {
        s_.input_register_values[static_cast<std::size_t>(k)] = device::leading_number(f_.txt_data_in[k].text());
    }
    for (int k : {26, 27}) {
        if (k >= count) continue;
        const double v = s_.input_register_values[static_cast<std::size_t>(k)];
        try {
            f_.cmb_in[k].set_list_index(static_cast<int>(v));
        } catch (const std::out_of_range&) {
            // a design text outside the list leaves the list unselected
        }
    }
}

bool FrmConfigCode::may_discard_edits(lang::Message question) {
    if (!has_pending_changes(f_)) return true;
    const std::string& language = s_.language_code;
    return messages_.ask(lang::message(question, language),
                         lang::message(lang::Message::discard_button, language),
                         lang::message(lang::Message::cancel_button, language));
}

bool FrmConfigCode::Form_QueryUnload() { return ended_ || may_discard_edits(); }

void FrmConfigCode::Form_Unload() {
    if (unload_other_windows) unload_other_windows();
    // the window's timers go with it, also one that closing another window has just started
    f_.for_each_timer([](controls::Timer& t) { t.set_enabled(false); });
    ended_ = true;
    if (end_program) end_program();
}

void FrmConfigCode::MenueMain_Click(int index) {
    switch (index) {
        case kMenuFile:
            break;  // opens its submenu
        case kMenuAbout:
            if (show_about) show_about();
            break;
        case kMenuHelp:
            open_help();
            break;
        default:
            break;
    }
}

void FrmConfigCode::ParMenueMain_Click(int index) {
    switch (index) {
        case kFileLoad:
            if (load_parameter_file) load_parameter_file();
            break;
        case kFileSave:
            if (save_parameter_file) save_parameter_file();
            break;
        case kFileExit:
            exit_program();
            break;
        default:
            break;
    }
}

void FrmConfigCode::exit_program() {
    if (!may_discard_edits()) return;
    // in this order, so that no pacing or poll tick can send once the program is ending
    for (controls::Timer* t : {&f_.Timer, &f_.Timer1, &f_.Timer2, &f_.Timer4, &f_.Timer5, &f_.Timer6, &f_.Timer7}) {
        t->set_enabled(false);
    }
    ended_ = true;
    if (quit) quit();
}

void FrmConfigCode::ask_before_read_out() {
    auto& button = f_.read_out_parameter;
    button.on_click = [this, read_out = std::move(button.on_click)] {
        if (read_out && may_discard_edits(lang::Message::read_out_discard_question)) read_out();
    };
}

void FrmConfigCode::open_help() {
#ifdef _WIN32
    constexpr char native = '\\';
#else
    constexpr char native = '/';
#endif
    const std::string recorded = help_path(s_.install_path, s_.help_document, native);
    std::string path = recorded;
    auto exists = [](const std::string& p) {
        std::error_code ec;
        return std::filesystem::is_regular_file(p, ec);
    };
    if (!exists(path) && help_folders) {
        for (const std::string& folder : help_folders()) {
            const std::string candidate = help_path(folder, s_.help_document, native);
            if (exists(candidate)) {
                path = candidate;
                break;
            }
        }
    }
    // a Help that silently does nothing leaves the engineer guessing: say what is missing
    const auto language = s_.language_code;
    if (!exists(path)) {
        if (report) report(lang::message(lang::Message::help_missing, language, {recorded}));
        return;
    }
    // the window needs no PDF viewer on the machine, which a fresh laptop often lacks
    if (show_help && show_help(path)) return;
    bool opened = false;
    try {
        opened = shell_.open(path);
    } catch (const std::exception&) {
    }
    if (!opened && report) report(lang::message(lang::Message::help_not_opened, language, {path}));
}

}  // namespace plx::editor
