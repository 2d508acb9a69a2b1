#include "editor/parameter_file.h"

#include <algorithm>
#include <filesystem>

#include "device/number_text.h"
#include "device/register_map.h"
#include "device/word_codec.h"
#include "lang/texts.h"
#include "paramfile/cp1252.h"
#include "paramfile/reasons.h"

namespace plx::editor {

namespace {
// the name the platform's dialog shows by itself
constexpr const char* kNoTitle = "";
// a message lists this many bad lines at most
constexpr std::size_t kListedLines = 10;

// the status line names the file, the message boxes its whole path
std::string file_name_of(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// every value a file can set, to count what a load changed
std::vector<std::string> field_values(const FrmConfig& f) {
    std::vector<std::string> out;
    for (const auto& [k, t] : f.txt_data_cfg) out.push_back(t.text());
    for (const auto& [j, b] : f.chk_cfg) out.push_back(std::to_string(b.value()));
    return out;
}
}  // namespace

std::string with_extension(const std::string& name) {
    return std::filesystem::path(name).extension().empty() ? name + ".txt" : name;
}

ParameterFiles::ParameterFiles(FrmConfig& f,
                               ProgramState& s,
                               controls::FileDialog& dialog,
                               controls::MessageBox& messages)
    : f_(f), s_(s), dialog_(dialog), messages_(messages) {}

paramfile::Contents ParameterFiles::contents(const paramfile::Stamp& stamp,
                                             const std::string& version) const {
    paramfile::Contents c;
    paramfile::Header& h = c.header;
    h.decimal_separator = device::separator_of(s_.decimal_separator);
    h.version = device::version_number(version, h.decimal_separator);
    h.date_text = stamp.date;
    h.time_text = stamp.time;
    h.baud_text = s_.baud_text;
    h.modbus_mode = s_.modbus_mode;
    h.parity_text = f_.cbParity.current_text();
    h.address_text = f_.txt_Modbus_adress.text();
    const auto& t = s_.lang_text;
    c.labels = {t[7], t[8], t[9], t[10], t[11], t[12]};
    for (int k = 0; k < paramfile::kRegisterCount; ++k) {
        c.register_captions[static_cast<std::size_t>(k)] = f_.lbl_cfg[k].caption();
        c.register_texts[static_cast<std::size_t>(k)] = f_.txt_data_cfg[k].text();
    }
    for (int j = 0; j < paramfile::kBitCount; ++j) {
        c.bit_captions[static_cast<std::size_t>(j)] = f_.lbl_read_cfg_bit[j].caption();
        c.bit_states[static_cast<std::size_t>(j)] = f_.chk_cfg[j].value();
    }
    return c;
}

void ParameterFiles::save_parameter_file() {
    const std::string version = version_text ? version_text() : std::string();
    const auto chosen = dialog_.save_file(kNoTitle, kFilter);
    if (!chosen || chosen->empty()) return;
    // a name typed without extension would not show under the dialog's own filter next time
    const std::string name = with_extension(*chosen);

    const paramfile::Stamp stamp = now ? now() : paramfile::Stamp{};
    const paramfile::Written w = paramfile::write(contents(stamp, version));
    const std::string& code = s_.language_code;
    if (!w.ok()) {
        std::string shown = paramfile::code_point_name(w.bad_character);
        // a printable character shows beside its number; U+FFFD stands for broken UTF-8
        if (w.bad_character >= 0x20 && w.bad_character != 0xFFFD) {
            shown += " \"" + paramfile::utf8_of(w.bad_character) + "\"";
        }
        tell(lang::message(lang::Message::parameter_file_unencodable, code,
                           {name, std::to_string(w.bad_line), shown}));
        return;
    }
    if (const auto reason = paramfile::save_file(name, w.bytes)) {
        tell(lang::message(lang::Message::parameter_file_not_written, code, {name, *reason}));
        return;
    }
    f_.status_line.set_caption(lang::message(lang::Message::parameter_file_saved, code,
                                             {file_name_of(name), std::to_string(paramfile::kRegisterCount),
                                              std::to_string(paramfile::kBitCount), stamp.time}));
}

void ParameterFiles::load_parameter_file() {
    const auto name = dialog_.open_file(kNoTitle, kFilter);
    if (!name || name->empty()) return;

    const std::string& code = s_.language_code;
    const paramfile::FileRead file = paramfile::read_file(*name, paramfile::kMaxFileBytes);
    if (!file.ok()) {
        tell(lang::message(lang::Message::parameter_file_not_read, code, {*name, file.error}));
        return;
    }
    const paramfile::ReadRules rules = paramfile::read_rules(device::separator_of(s_.decimal_separator));
    const paramfile::ReadResult r = paramfile::read(file.bytes, rules);
    if (r.refused()) {
        tell(lang::message(lang::Message::parameter_file_refused, code,
                           {*name, paramfile::refusal_reason(r.refusal, r.refusal_line, rules, code)}));
        return;
    }

    const auto before = field_values(f_);
    apply(r);
    const auto after = field_values(f_);
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i] ? 1 : 0;
    int taken = 0;
    for (const auto& text : r.register_texts) taken += text ? 1 : 0;
    for (const auto& state : r.bit_states) taken += state ? 1 : 0;
    const std::vector<int> unsendable = mark_unsendable(r);
    std::string confirmation = lang::message(lang::Message::parameter_file_loaded, code,
                                             {file_name_of(*name), std::to_string(taken),
                                              std::to_string(changed), now ? now().time : std::string()});
    if (!unsendable.empty()) {
        std::string lines;
        for (const int k : unsendable)
            lines += (lines.empty() ? "" : ", ") + std::to_string(paramfile::kFirstRegisterLine + k);
        confirmation += lang::message(lang::Message::parameter_file_loaded_unsendable, code, {lines});
    }
    f_.status_line.set_caption(confirmation);

    std::vector<std::string> report;
    if (!r.complete()) {
        const int value_lines = paramfile::kLineCount - paramfile::kFirstLoadedLine + 1;
        const int read_lines = std::max(0, r.complete_lines - paramfile::kFirstLoadedLine + 1);
        report.push_back(
            lang::message(lang::Message::parameter_file_short, code,
                          {*name, std::to_string(r.complete_lines), std::to_string(paramfile::kLineCount),
                           std::to_string(read_lines), std::to_string(value_lines)}));
    }
    if (!r.notes.empty() || !unsendable.empty()) {
        report.push_back(lang::message(lang::Message::parameter_file_lines_skipped, code, {*name}));
        for (const int k : unsendable) {
            report.push_back(lang::message(lang::Message::parameter_file_unsendable_line, code,
                                           {std::to_string(paramfile::kFirstRegisterLine + k),
                                            paramfile::shape_key(paramfile::kFirstRegisterLine + k, rules),
                                            r.register_texts[static_cast<std::size_t>(k)].value_or("")}));
        }
        for (std::size_t i = 0; i < r.notes.size() && i < kListedLines; ++i) {
            report.push_back(lang::message(lang::Message::parameter_file_bad_line, code,
                                           {std::to_string(r.notes[i].line), r.notes[i].key}));
        }
        if (r.notes.size() > kListedLines) {
            report.push_back(lang::message(lang::Message::parameter_file_more_lines, code,
                                           {std::to_string(r.notes.size() - kListedLines)}));
        }
    }
    if (report.empty()) return;
    std::string text = report.front();
    for (std::size_t i = 1; i < report.size(); ++i) text += "\n" + report[i];
    tell(text);
}

std::vector<int> ParameterFiles::mark_unsendable(const paramfile::ReadResult& r) {
    const char sep = device::separator_of(s_.decimal_separator);
    std::vector<int> fields;
    for (int k = paramfile::kFirstLoadedRegister; k < paramfile::kRegisterCount; ++k) {
        const auto& text = r.register_texts[static_cast<std::size_t>(k)];
        if (!text) continue;
        const auto scale = device::regmap::cfg_registers[static_cast<std::size_t>(k)].scale;
        if (device::encode_word(*text, scale, sep).ok()) continue;
        // Apply refuses it; the engineer sees which field before pressing it
        controls::TextBox& holder = f_.txt_data_cfg[k];
        holder.set_pending(true);
        holder.set_invalid(true);
        if (f_.cmb_cfg.has(k)) {
            f_.cmb_cfg[k].set_pending(true);
            f_.cmb_cfg[k].set_invalid(true);
        }
        fields.push_back(k);
    }
    if (!fields.empty()) check_pending_changes(f_);
    return fields;
}

void ParameterFiles::apply(const paramfile::ReadResult& r) {
    // in file order; each field runs its own change or click reaction, marks and layout included
    for (int k = paramfile::kFirstLoadedRegister; k < paramfile::kRegisterCount; ++k) {
        if (const auto& text = r.register_texts[static_cast<std::size_t>(k)])
            f_.txt_data_cfg[k].set_text(*text);
    }
    for (int j = 0; j < paramfile::kBitCount; ++j) {
        if (const auto& state = r.bit_states[static_cast<std::size_t>(j)]) f_.chk_cfg[j].set_value(*state);
    }
}

}  // namespace plx::editor
