#include "lang/apply_language.h"

#include <map>

#include "lang/language_settings.h"

namespace plx::lang {

namespace {

using controls::ControlArray;

template <class T>
void caption_targets(ControlArray<T>& array, const std::vector<int>& indices, std::vector<TextTarget>& out) {
    for (int i : indices) {
        if (!array.has(i)) continue;
        T* c = &array[i];
        out.push_back({c, -1, [c] { return c->caption(); }, [c](const std::string& t) { c->set_caption(t); }});
    }
}

template <class T>
void single_caption_target(T& c, std::vector<TextTarget>& out) {
    T* p = &c;
    out.push_back({p, -1, [p] { return p->caption(); }, [p](const std::string& t) { p->set_caption(t); }});
}

void list_targets(ControlArray<controls::ComboBox>& array, const std::vector<int>& indices, int entry,
                  std::vector<TextTarget>& out) {
    for (int i : indices) {
        if (!array.has(i)) continue;
        controls::ComboBox* c = &array[i];
        // a list shorter than the table keeps its length: the missing entry is not invented
        out.push_back({c, entry,
                       [c, entry] {
                           return entry < c->list_count() ? c->list()[static_cast<std::size_t>(entry)] : std::string();
                       },
                       [c, entry](const std::string& t) {
                           if (entry < c->list_count()) c->set_list_entry(entry, t);
                       }});
    }
}

void set_lang_text(ProgramState& state, bool english) {
    const auto& table = lang_text_table();
    for (std::size_t i = 0; i < table.size(); ++i) state.lang_text[i] = english ? table[i].english : table[i].german;
}

void apply_main_window_english(FrmConfig& f) {
    for (const MainWindowText& row : main_window_texts()) {
        for (const TextTarget& target : resolve_targets(f, row)) target.set(row.english);
    }
}

void apply_status_window_english(FrmStateControls& s) {
    const StatusWindowTexts& t = status_window_texts();
    s.frmState.set_caption(t.caption.english);
    s.Abbruch.set_caption(t.Abbruch.english);
    s.lblTxt.set_caption(t.lblTxt.english);
}

}  // namespace

std::vector<TextTarget> resolve_targets(FrmConfig& f, const MainWindowText& row) {
    std::vector<TextTarget> out;
    const std::string& n = row.control;
    if (row.list_entry >= 0) {
        const std::map<std::string, ControlArray<controls::ComboBox>*> lists = {
            {"cmb_cfg", &f.cmb_cfg},
            {"cmb_in", &f.cmb_in},
            {"cmb_bit_cfg", &f.cmb_bit_cfg},
        };
        if (auto it = lists.find(n); it != lists.end()) list_targets(*it->second, row.indices, row.list_entry, out);
        return out;
    }
    if (n == "read_out_parameter") {
        single_caption_target(f.read_out_parameter, out);
    } else if (n == "set_parameter") {
        single_caption_target(f.set_parameter, out);
    } else if (n == "SSTab1") {
        controls::TabControl* tabs = &f.SSTab1;
        for (int tab : row.indices) {
            out.push_back({tabs, tab,
                           [tabs, tab] {
                               const auto& captions = tabs->tab_captions();
                               return tab < static_cast<int>(captions.size()) ? captions[static_cast<std::size_t>(tab)]
                                                                              : std::string();
                           },
                           [tabs, tab](const std::string& t) { tabs->set_tab_caption(tab, t); }});
        }
    } else if (n == f.MenueMain.name()) {
        caption_targets(f.MenueMain, row.indices, out);
    } else if (n == f.ParMenueMain.name()) {
        caption_targets(f.ParMenueMain, row.indices, out);
    } else {
        const std::map<std::string, ControlArray<controls::Frame>*> frames = {
            {"frm_allg", &f.frm_allg},     {"frm_Anzeige", &f.frm_Anzeige}, {"frm_button", &f.frm_button},
            {"frm_val", &f.frm_val},       {"frm_extern", &f.frm_extern},   {"frm_soll", &f.frm_soll},
        };
        const std::map<std::string, ControlArray<controls::Label>*> labels = {
            {"lbl_cfg", &f.lbl_cfg},
            {"lbl_read_out", &f.lbl_read_out},
            {"lbl_data_in", &f.lbl_data_in},
            {"lbl_read_cfg_bit", &f.lbl_read_cfg_bit},
            {"lbl_read_in_bit", &f.lbl_read_in_bit},
            {"lbl_desc", &f.lbl_desc},
        };
        if (auto it = frames.find(n); it != frames.end()) caption_targets(*it->second, row.indices, out);
        if (auto it = labels.find(n); it != labels.end()) caption_targets(*it->second, row.indices, out);
    }
    return out;
}

void read_language_settings(ProgramState& state, const settings::Store& store) {
    LanguageSettings l = lang::read_language_settings(store);
    state.install_path = std::move(l.install_path);
    state.language_code = std::move(l.language_code);
    state.decimal_separator = std::move(l.decimal_separator);
    state.help_document = std::move(l.help_document);
}

void apply_language(int window_kind, ProgramState& state, FrmConfig* main, FrmStateControls* status,
                    const settings::Store& store) {
    try {
        read_language_settings(state, store);
        if (!is_english(state.language_code)) {
            // the status label's own caption is the English one, so German must set it on every call
            if (status != nullptr) status->lblTxt.set_caption(status_window_texts().lblTxt.german);
            set_lang_text(state, false);
            return;
        }
        set_lang_text(state, true);
        if (window_kind == main_window && main != nullptr) apply_main_window_english(*main);
        if (window_kind == status_window && status != nullptr) apply_status_window_english(*status);
    } catch (...) {
        // a window's load goes on whatever a text step met; the defaults are in place by then
        if (state.decimal_separator.empty()) state.decimal_separator = ",";
        if (state.language_code.empty()) state.language_code = kGerman;
    }
}

}  // namespace plx::lang
