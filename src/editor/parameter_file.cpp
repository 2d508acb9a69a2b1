#include "editor/parameter_file.h"

#include <algorithm>

#include "device/number_text.h"
#include "lang/texts.h"
#include "paramfile/cp1252.h"

namespace plx::editor {

namespace {
// the name the platform's dialog shows by itself
constexpr const char* kNoTitle = "";
// a message lists this many bad lines at most
constexpr std::size_t kListedLines = 10;

std::string size_limit_text() {
    return std::to_string(paramfile::kMaxFileBytes >> 20) + " MiB";
}
}  // namespace

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
    const auto name = dialog_.save_file(kNoTitle, kFilter);
    if (!name || name->empty()) return;

    const paramfile::Written w = paramfile::write(contents(now ? now() : paramfile::Stamp{}, version));
    const std::string& code = s_.language_code;
    if (!w.ok()) {
        std::string shown = paramfile::code_point_name(w.bad_character);
        // a printable character shows beside its number; U+FFFD stands for broken UTF-8
        if (w.bad_character >= 0x20 && w.bad_character != 0xFFFD) {
            shown += " \"" + paramfile::utf8_of(w.bad_character) + "\"";
        }
        tell(lang::message(lang::Message::parameter_file_unencodable, code,
                           {*name, std::to_string(w.bad_line), shown}));
        return;
    }
    if (const auto reason = paramfile::save_file(*name, w.bytes)) {
        tell(lang::message(lang::Message::parameter_file_not_written, code, {*name, *reason}));
    }
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
    const paramfile::ReadResult r = paramfile::read(file.bytes);
    switch (r.refusal) {
        case paramfile::Refusal::none:
            break;
        case paramfile::Refusal::too_large:
            tell(lang::message(
                lang::Message::parameter_file_refused, code,
                {*name, lang::message(lang::Message::parameter_file_too_large, code, {size_limit_text()})}));
            return;
        case paramfile::Refusal::line_too_long:
            tell(lang::message(lang::Message::parameter_file_refused, code,
                               {*name, lang::message(lang::Message::parameter_file_line_too_long, code,
                                                     {std::to_string(r.refusal_line),
                                                      std::to_string(paramfile::kMaxLineBytes)})}));
            return;
        case paramfile::Refusal::binary:
            tell(lang::message(lang::Message::parameter_file_refused, code,
                               {*name, lang::message(lang::Message::parameter_file_binary, code,
                                                     {std::to_string(r.refusal_line)})}));
            return;
    }

    apply(r);

    std::vector<std::string> report;
    if (!r.complete()) {
        const int value_lines = paramfile::kLineCount - paramfile::kFirstLoadedLine + 1;
        const int read_lines = std::max(0, r.complete_lines - paramfile::kFirstLoadedLine + 1);
        report.push_back(
            lang::message(lang::Message::parameter_file_short, code,
                          {*name, std::to_string(r.complete_lines), std::to_string(paramfile::kLineCount),
                           std::to_string(read_lines), std::to_string(value_lines)}));
    }
    if (!r.notes.empty()) {
        report.push_back(lang::message(lang::Message::parameter_file_lines_skipped, code, {*name}));
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
