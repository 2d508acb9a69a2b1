#include "editor/unit_record.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "commission/record.h"
#include "device/number_text.h"
#include "device/register_map.h"
#include "lang/captions.h"
#include "lang/commission_texts.h"
#include "lang/texts.h"
#include "modbus/line_settings.h"
#include "paramfile/file_io.h"
#include "paramfile/reasons.h"

namespace plx::editor {

namespace {

using lang::CommissionText;
namespace regmap = device::regmap;

// tabs 0 .. 8 of SSTab1
constexpr int kTabCount = 9;
constexpr int kFirstShownInput = 7;

std::string list_entry(const controls::ComboBox& list, int index) {
    if (index < 0 || index >= list.list_count()) return {};
    return list.list()[static_cast<std::size_t>(index)];
}

}  // namespace

UnitRecord::UnitRecord(FrmConfig& f,
                       ProgramState& s,
                       controls::FileDialog& dialog,
                       controls::MessageBox& messages,
                       ParameterFiles& files)
    : f_(f), s_(s), dialog_(dialog), messages_(messages), files_(files) {}

void UnitRecord::read_out_completed() {
    read_at_ = now ? now() : QDateTime::currentDateTime();
    address_ = f_.txt_Modbus_adress.text();
    modbus::LineSettings line;
    line.baud = std::atoi(s_.baud_text.c_str());
    line.parity = s_.parity_text.empty() ? 'E' : s_.parity_text.front();
    line.framing = s_.modbus_mode == "ASCII" ? modbus::Framing::ascii : modbus::Framing::rtu;
    line_ = modbus::describe(line);
}

std::string UnitRecord::record_name() const {
    return "plx24-unit-" + address_ + "-" + read_at_.toString(QStringLiteral("yyyyMMdd-HHmm")).toStdString();
}

// As the window shows the value: a list's entry, else the number with the user's separator.
std::string UnitRecord::say_value(int k, double v) const {
    const char sep = device::separator_of(s_.decimal_separator);
    if (regmap::has_cfg_combo(k)) {
        int index = static_cast<int>(v);
        if (k == regmap::button_count_register) {
            const auto& variants = regmap::button_variants;
            index = static_cast<int>(std::find(variants.begin(), variants.end(), index) - variants.begin());
        } else if (k == regmap::cfg_register_group.count - 1) {
            // the fan stages' list starts at one stage
            index -= 1;
        }
        const std::string entry = list_entry(f_.cmb_cfg[k], index);
        if (!entry.empty()) return entry;
    }
    return device::format_number(v, sep);
}

std::string UnitRecord::say_bit(int j, int state) const {
    if (regmap::has_bit_combo(j)) {
        const std::string entry = list_entry(f_.cmb_bit_cfg[j], state);
        if (!entry.empty()) return entry;
    }
    return lang::commission_text(state == 1 ? CommissionText::bit_on : CommissionText::bit_off,
                                 s_.language_code);
}

std::optional<commission::Document> UnitRecord::record() {
    const std::string& code = s_.language_code;
    const auto say = [&](CommissionText id, const std::vector<std::string>& args = {}) {
        return lang::commission_text(id, code, args);
    };
    if (!has_read_out()) {
        messages_.show_ok(say(CommissionText::not_read_out));
        return std::nullopt;
    }
    const char sep = device::separator_of(s_.decimal_separator);
    commission::Document d;
    commission::Page p;
    p.title = say(CommissionText::print_title, {address_});
    d.title = p.title;
    // the pages' numbers are the printer's to fill in
    d.footer = say(CommissionText::page_footer,
                   {d.title + " " + commission::shown_time(read_at_, code), "%1", "%2"});
    p.facts = {{say(CommissionText::column_address), address_},
               {say(CommissionText::column_coding), device::format_number(s_.cfg_register_values[0], sep)},
               {say(CommissionText::column_firmware), device::format_number(s_.cfg_register_values[1], sep)},
               {say(CommissionText::record_line), line_},
               {say(CommissionText::print_read_at), commission::shown_time(read_at_, code)}};

    struct Row {
        int tab;
        std::string key;
        std::string caption;
        std::string meaning;
        std::string value;
    };
    std::vector<Row> rows;
    const bool en = lang::is_english(code);
    for (int k = paramfile::kFirstLoadedRegister; k < regmap::cfg_register_group.count; ++k) {
        const auto& r = regmap::cfg_registers[static_cast<std::size_t>(k)];
        rows.push_back({tab_of_cfg_register(k), "Register " + std::to_string(k + 1),
                        lang::field_name(f_.lbl_cfg[k].caption()), en ? r.meaning : r.meaning_de,
                        say_value(k, s_.cfg_register_values[static_cast<std::size_t>(k)])});
    }
    const lang::WindowText& bit_key = lang::lang_text_table()[8];
    for (int j = 0; j < regmap::cfg_bit_group.count; ++j) {
        const auto& b = regmap::cfg_bits[static_cast<std::size_t>(j)];
        rows.push_back({tab_of_cfg_bit(j),
                        (en ? bit_key.english : bit_key.german) + " " + std::to_string(j + 1),
                        lang::field_name(f_.lbl_read_cfg_bit[j].caption()), en ? b.meaning : b.meaning_de,
                        say_bit(j, s_.cfg_bit_values[static_cast<std::size_t>(j)])});
    }
    for (int k = kFirstShownInput; k <= regmap::input_register_last_shown; ++k) {
        const auto& r = regmap::input_registers[static_cast<std::size_t>(k)];
        rows.push_back({tab_of_input_register(k),
                        lang::message(lang::Message::input_register_field, code, {std::to_string(k)}),
                        f_.lbl_data_in.has(k) ? lang::field_name(f_.lbl_data_in[k].caption()) : std::string(),
                        en ? r.meaning : r.meaning_de,
                        device::format_number(s_.input_register_values[static_cast<std::size_t>(k)], sep)});
    }
    for (int j = 0; j < regmap::input_bit_group.count; ++j) {
        const auto& b = regmap::input_bits[static_cast<std::size_t>(j)];
        rows.push_back({tab_of_input_bit(j), say(CommissionText::input_bit_key, {std::to_string(j)}),
                        lang::field_name(f_.lbl_read_in_bit[j].caption()), en ? b.meaning : b.meaning_de,
                        say_bit(-1, s_.input_bit_values[static_cast<std::size_t>(j)])});
    }
    // a caption the window shows twice (two frames of one tab) would not say which field it is
    std::map<std::string, int> uses;
    for (const Row& r : rows) ++uses[r.caption];
    for (int t = 0; t < kTabCount; ++t) {
        commission::Table table;
        if (static_cast<std::size_t>(t) < f_.SSTab1.tab_captions().size())
            table.heading = f_.SSTab1.tab_captions()[static_cast<std::size_t>(t)];
        table.columns = {say(CommissionText::column_field), say(CommissionText::column_caption),
                         say(CommissionText::column_value)};
        for (const Row& r : rows) {
            if (r.tab != t) continue;
            const std::string caption = r.caption.empty() || uses[r.caption] > 1 ? r.meaning : r.caption;
            table.rows.push_back({{r.key}, {caption}, {r.value}});
        }
        if (!table.rows.empty()) p.tables.push_back(std::move(table));
    }
    d.pages.push_back(std::move(p));
    return d;
}

std::optional<UnitRecord::Comparison> UnitRecord::compare_with_file() {
    const std::string& code = s_.language_code;
    if (!has_read_out()) {
        messages_.show_ok(lang::commission_text(CommissionText::not_read_out, code));
        return std::nullopt;
    }
    const auto name = dialog_.open_file("", ParameterFiles::kFilter);
    if (!name || name->empty()) return std::nullopt;
    const paramfile::FileRead file = paramfile::read_file(*name, paramfile::kMaxFileBytes);
    if (!file.ok()) {
        messages_.show_ok(lang::message(lang::Message::parameter_file_not_read, code, {*name, file.error}));
        return std::nullopt;
    }
    Comparison c;
    c.file = *name;
    const char sep = device::separator_of(s_.decimal_separator);
    // taken as "Parameter laden" takes it: either separator, either language's bit lines
    const paramfile::ReadRules rules = paramfile::read_rules(sep);
    c.read = paramfile::read(file.bytes, rules);
    if (c.read.refused()) {
        messages_.show_ok(lang::message(lang::Message::parameter_file_refused, code,
                                        {*name, paramfile::refusal_reason(c.read.refusal, c.read.refusal_line, rules, code)}));
        return std::nullopt;
    }
    const auto with_entry = [](const std::string& number, const std::string& shown) {
        return shown == number ? number : number + " (" + shown + ")";
    };
    for (int k = paramfile::kFirstLoadedRegister; k < paramfile::kRegisterCount; ++k) {
        const auto& text = c.read.register_texts[static_cast<std::size_t>(k)];
        if (!text) continue;
        const double unit = s_.cfg_register_values[static_cast<std::size_t>(k)];
        const auto v = device::parse_number(*text, sep);
        if (v && *v == unit) continue;
        c.differences.push_back({lang::field_name(f_.lbl_cfg[k].caption()),
                                 "Register " + std::to_string(k + 1),
                                 v ? with_entry(*text, say_value(k, *v)) : *text,
                                 with_entry(device::format_number(unit, sep), say_value(k, unit))});
    }
    const lang::WindowText& bit_key = lang::lang_text_table()[8];
    for (int j = 0; j < paramfile::kBitCount; ++j) {
        const auto& state = c.read.bit_states[static_cast<std::size_t>(j)];
        const int unit = s_.cfg_bit_values[static_cast<std::size_t>(j)];
        if (!state || *state == unit) continue;
        c.differences.push_back(
            {lang::field_name(f_.lbl_read_cfg_bit[j].caption()),
             (lang::is_english(code) ? bit_key.english : bit_key.german) + " " + std::to_string(j + 1),
             with_entry(std::to_string(*state), say_bit(j, *state)),
             with_entry(std::to_string(unit), say_bit(j, unit))});
    }
    return c;
}

void UnitRecord::load(const Comparison& c) {
    files_.apply(c.read);
}

}  // namespace plx::editor
