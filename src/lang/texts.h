#pragma once
// The German and English texts of the windows, as data: one row per item. German is the language the
// windows are laid out in; the English column replaces it when the installation says "1033".

#include <array>
#include <string>
#include <vector>

namespace plx::lang {

inline constexpr const char* kGerman = "1031";
inline constexpr const char* kEnglish = "1033";

// One item of the main window that changes with the language. `control` is the control (or control
// array) as the window names it; `indices` the array indices (the tab number for SSTab1, empty for a
// single control); `list_entry` the position in a combo box list, or -1 for a caption.
struct MainWindowText {
    std::string control;
    std::vector<int> indices;
    int list_entry;
    std::string german;
    std::string english;
};

// Every item of frm_config that changes with the language, in the order they are applied.
const std::vector<MainWindowText>& main_window_texts();

struct WindowText {
    std::string german;
    std::string english;
};

// The status window frmState.
struct StatusWindowTexts {
    WindowText caption;  // the window
    WindowText Abbruch;
    WindowText lblTxt;
};
const StatusWindowTexts& status_window_texts();

// lang_text entries 0 .. 12: fan stages, occupancy and the parameter file's header labels.
inline constexpr int kLangTextFilled = 13;
const std::array<WindowText, kLangTextFilled>& lang_text_table();

// The About window fAbout; its load step picks the column itself from language_code.
struct AboutTexts {
    std::string caption;
    std::string lblVersion;
    std::string lbl_Software_Hinweis;
    std::string lblCopyright;  // the maker's rights notice
};
AboutTexts about_texts(const std::string& language_code);

// Texts this program adds to the windows' own, in both languages.
enum class Message {
    // %1: the address as typed
    invalid_slave_address,
    // %1: device path, %2: the system's reason; the second line under "COM-Port not available, "
    port_device_reason,
    // what to do when the system refused the device for lack of permission
    port_permission_hint,
    // %1: the device, %2: the program holding it ("minicom, PID 4711"); the device is held elsewhere
    port_busy,
    // %1: the device; held elsewhere, by a program the system does not name
    port_busy_unknown,
    // %1: the device; it is not there (an adapter unplugged, a name mistyped)
    port_gone,
    // the reason when the port box holds no port
    no_port_selected,
    // a request was to go out while the port is closed
    port_not_open,
    // the port box's entry after COM40, and its reason when no gateway is set
    network_entry,
    no_gateway_set,
    // the network dialog
    network_title,
    network_kind,
    network_host,
    network_port,
    network_kind_tcp,
    network_kind_rtu,
    network_kind_ascii,
    network_hint,
    network_bad_host,
    // %1: the gateway; the user settings could not keep it
    network_not_kept,
    // appended to the main window's caption while it talks to the simulated unit
    demo_caption_suffix,
    // %1: file path, %2: the system's reason
    parameter_file_not_read,
    parameter_file_not_written,
    // %1: line number, %2: the line's key
    parameter_file_bad_line,
    // %1: file path; heads the list of bad lines
    parameter_file_lines_skipped,
    // %1: line number, %2: the line's key, %3: the value; its field is marked as not sendable
    parameter_file_unsendable_line,
    // the status line after saving: %1 the file's name, %2 registers, %3 bits, %4 the time of day
    parameter_file_saved,
    // the status line after loading: %1 the file's name, %2 lines taken, %3 fields changed, %4 time
    parameter_file_loaded,
    // appended to the load confirmation: %1 the lines whose value cannot be sent
    parameter_file_loaded_unsendable,
    // %1: how many further bad lines are not listed
    parameter_file_more_lines,
    // %1: file path, %2: the last complete line, %3: lines in a whole file, %4: lines with a value
    // that were read, %5: lines with a value in a whole file
    parameter_file_short,
    // %1: file path, %2: one of the three reasons below
    parameter_file_refused,
    // %1: the size limit
    parameter_file_too_large,
    // %1: line number, %2: the length limit
    parameter_file_line_too_long,
    // %1: line number
    parameter_file_binary,
    // %1: line number, %2: the key the line must begin with ("Register 1")
    parameter_file_shape,
    // %1: file path, %2: line number, %3: the character
    parameter_file_unencodable,
    // %1: the field's text, %2: the field (cfg_register_field or input_register_field)
    value_not_sendable,
    // %1: the field
    value_missing,
    // %1: the register number
    cfg_register_field,
    input_register_field,
    // beside the port box: the entry's device is not connected now
    port_not_present,
    // the link panel's button and the dialog it opens
    port_assign_button,
    port_assign_title,
    port_assign_intro,
    port_assign_none,
    port_assign_entry,
    port_column_device,
    port_column_by_id,
    port_column_description,
    port_column_entries,
    // a device path typed instead of a listed port, and why one is not taken (%1: the path)
    port_assign_path,
    port_assign_path_missing,
    port_assign_path_not_device,
    // %1: the device, %2: the entry ("COM3"), %3: the settings file
    port_assign_failed,
    // %1: the document's path
    help_missing,
    help_not_opened,
    // the help window: its title, navigation, zoom, search and the external viewer
    help_title,
    help_contents,
    help_previous_page,
    help_next_page,
    // %1: the page shown, %2: the pages of the document
    help_page_of,
    help_zoom_in,
    help_zoom_out,
    help_fit_width,
    help_search,
    // %1: how many places were found
    help_found,
    help_not_found,
    help_open_external,
    // %1: the document's path, %2: the reason it cannot be shown
    help_not_shown,
    // %1: the field's caption, %2: the register (cfg_register_field or input_register_field)
    named_field,
    // %1: the field, %2: what its rule allows (device::rule_words), %3: the value typed
    value_out_of_range,
    // the question before ending the program with marked fields, and its two buttons
    discard_edits_question,
    // the same question before "Abbrechen" reads everything from the unit again
    read_out_discard_question,
    discard_button,
    // the cancel button of the program's own dialogs
    cancel_button,
    // "Bus durchsuchen…": the menu item, the dialog, its settings and results
    bus_scan_menu,
    bus_scan_title,
    // %1: the port entry ("COM3"), %2: its device
    bus_scan_port,
    bus_scan_bauds,
    bus_scan_parities,
    bus_scan_modes,
    bus_scan_addresses,
    bus_scan_start,
    bus_scan_open,
    bus_scan_close,
    bus_scan_column_address,
    bus_scan_column_line,
    bus_scan_column_coding,
    bus_scan_column_firmware,
    bus_scan_column_variant,
    // %1: the number of buttons
    bus_scan_buttons,
    bus_scan_slow,
    // %1: the exception code, %2: its meaning
    bus_scan_refused,
    // %1: the address, %2: the line settings, %3: units found so far
    bus_scan_probing,
    // %1: units found
    bus_scan_found,
    bus_scan_none,
    bus_scan_cancelled,
    bus_scan_nothing_chosen,
    // %1: the device, %2: the system's reason
    bus_scan_port_failed,
    // %1: the address; asked before a unit is opened over unsent edits
    bus_scan_discard_question,
    // the port's device went away: %1 the device, %2 the entry ("COM3"), %3 the system's reason
    port_vanished,
    port_vanished_short,  // %2 the entry (%1 the device, which the status bar names beside it)
    // asked before a parameter file is saved after a read-out that did not load everything: %1 what
    // was not read (unread_registers, unread_cfg_bits, or both joined by unread_both)
    parameter_file_incomplete_question,
    unread_registers,  // %1 .. %2: the registers as the file numbers them (1 .. 60)
    unread_cfg_bits,
    unread_both,  // %1 and %2
    save_button,
};

// "illegal data value" for Modbus exception code 03 and the other standard codes 01 .. 0B; empty for a
// code with no standard meaning, which callers show by its number.
std::string exception_meaning(int code, const std::string& language_code);

// The pattern with %1, %2, ... replaced by `args` in order, in one pass. A choice "{one|many}" takes
// its first word when the argument placed last before it is "1": "%1 {Antwort|Antworten}".
std::string substitute(const std::string& pattern, const std::vector<std::string>& args);

// The text of `id` in the language of `language_code` ("1033" English, anything else German).
std::string message(Message id, const std::string& language_code);
// The same with %1, %2, ... replaced by `args` in order.
std::string message(Message id, const std::string& language_code, const std::vector<std::string>& args);

// True for the one code that selects English; the comparison is exact.
inline bool is_english(const std::string& language_code) { return language_code == kEnglish; }

}  // namespace plx::lang
