#pragma once
// apply_language: reads the language, the installation folder and the user's decimal separator from
// the settings store into the program state, fills lang_text, and under English puts the English texts
// on the window being loaded. Run as the first step of every load of the main window (kind 0) and of
// the status window (kind 3).

#include <functional>
#include <string>
#include <vector>

#include "form/frm_config.h"
#include "form/frm_state.h"
#include "form/program_state.h"
#include "lang/language_settings.h"
#include "lang/texts.h"
#include "settings/store.h"

namespace plx::lang {

enum WindowKind : int {
    main_window = 0,
    status_window = 3,
};


// `main` is read for window kind 0, `status` is the status window if it is loaded (it may be null:
// its own load then runs kind 3 and sets its label itself). Reports nothing and raises nothing.
void apply_language(int window_kind, ProgramState& state, FrmConfig* main, FrmStateControls* status,
                    const settings::Store& store);

// Step 1 to 3 alone: the four settings into the program state, with their defaults.
void read_language_settings(ProgramState& state, const settings::Store& store);

// One place a row of the main window table puts its text: a caption, a tab caption or a list entry.
struct TextTarget {
    const controls::Control* control;
    int position;  // tab number or list entry; -1 for the caption
    std::function<std::string()> get;
    std::function<void(const std::string&)> set;
};

// The places a row reaches in `f`; a row naming no control of the window yields none.
std::vector<TextTarget> resolve_targets(FrmConfig& f, const MainWindowText& row);

}  // namespace plx::lang
