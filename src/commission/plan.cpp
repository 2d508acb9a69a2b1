#include "commission/plan.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>

#include "bus/file_target.h"
#include "device/register_map.h"
#include "device/value_rules.h"
#include "lang/captions.h"
#include "lang/commission_texts.h"
#include "lang/texts.h"
#include "paramfile/cp1252.h"
#include "paramfile/parameter_file.h"

namespace plx::commission {

namespace {

using lang::CommissionText;
namespace regmap = device::regmap;

struct Record {
    int row = 0;
    std::vector<std::string> fields;
};

struct Failed {
    std::string message;
};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

bool valid_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
        } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (std::size_t n = 1; n <= extra; ++n) {
            if ((static_cast<unsigned char>(s[i + n]) & 0xC0) != 0x80) return false;
        }
        i += extra + 1;
    }
    return true;
}

// The plan as UTF-8: with or without a byte order mark, or else Windows-1252 as spreadsheets of
// German and English systems save CSV.
std::string as_utf8(std::string_view bytes) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (bytes.substr(0, bom.size()) == bom) return std::string(bytes.substr(bom.size()));
    if (valid_utf8(bytes)) return std::string(bytes);
    return paramfile::cp1252_to_utf8(bytes);
}

// The separator of the first row: ";" or ",", whichever stands there more often outside quotes.
char separator_of(std::string_view text) {
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (char ch : text) {
        if (ch == '"') quoted = !quoted;
        if (quoted) continue;
        if (ch == '\n' || ch == '\r') break;
        if (ch == ';') ++semicolons;
        if (ch == ',') ++commas;
    }
    return commas > semicolons ? ',' : ';';
}

std::string say(CommissionText id, const PlanContext& c, const std::vector<std::string>& args = {}) {
    return lang::commission_text(id, c.language_code, args);
}

// Records as a spreadsheet reads them: quoted fields may hold the separator, line breaks and doubled
// quotes.
std::vector<Record> records_of(std::string_view text, char sep, const PlanContext& c) {
    std::vector<Record> out;
    Record record{1, {}};
    std::string field;
    bool quoted = false;
    bool was_quoted = false;
    const auto end_field = [&] {
        if (field.size() > kMaxPlanFieldBytes) {
            throw Failed{say(
                CommissionText::plan_refused, c,
                {c.name, lang::message(lang::Message::parameter_file_line_too_long, c.language_code,
                                       {std::to_string(record.row), std::to_string(kMaxPlanFieldBytes)})})};
        }
        record.fields.push_back(std::move(field));
        field.clear();
        was_quoted = false;
    };
    const auto end_record = [&] {
        end_field();
        out.push_back(std::move(record));
        record = Record{static_cast<int>(out.size()) + 1, {}};
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch != '"') {
                field += ch;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (ch == '"' && field.empty() && !was_quoted) {
            quoted = true;
            was_quoted = true;
        } else if (ch == sep) {
            end_field();
        } else if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            end_record();
        } else {
            field += ch;
        }
    }
    if (quoted)
        throw Failed{say(CommissionText::plan_open_quote, c,
                         {say(CommissionText::plan_at_row, c, {c.name, std::to_string(record.row)})})};
    if (!field.empty() || !record.fields.empty()) end_record();
    return out;
}

std::string trimmed(const std::string& s) {
    return q(s).trimmed().toStdString();
}

bool blank(const Record& r) {
    return std::all_of(r.fields.begin(), r.fields.end(),
                       [](const std::string& f) { return trimmed(f).empty(); });
}

// A column title or caption as it is compared: blanks run together, no colon at the end, any case.
QString normal(const std::string& title) {
    QString t = q(title).simplified();
    while (t.endsWith(QLatin1Char(':'))) t = t.chopped(1).trimmed();
    return t.toCaseFolded();
}

struct Field {
    bool bit = false;
    int index = 0;
    bool operator<(const Field& o) const { return bit != o.bit ? bit < o.bit : index < o.index; }
    bool operator==(const Field& o) const = default;
};

// As a parameter file's line names the field: "Register 36", "Konfigurationsbit 25".
std::string field_key(const Field& f, const std::string& code) {
    if (!f.bit) return "Register " + std::to_string(f.index + 1);
    const lang::WindowText& bit_key = lang::lang_text_table()[8];
    return (lang::is_english(code) ? bit_key.english : bit_key.german) + " " + std::to_string(f.index + 1);
}

// Every field a caption names, in either language.
std::vector<Field> fields_captioned(const QString& title) {
    std::vector<Field> out;
    for (const char* code : {lang::kGerman, lang::kEnglish}) {
        for (int k = 0; k < regmap::cfg_register_group.count; ++k) {
            if (normal(lang::field_name(lang::cfg_register_caption(k, code))) == title)
                out.push_back({false, k});
        }
        for (int j = 0; j < regmap::cfg_bit_group.count; ++j) {
            if (normal(lang::field_name(lang::cfg_bit_caption(j, code))) == title) out.push_back({true, j});
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

Column column_of(const std::string& raw, int n, const PlanContext& c) {
    const QString t = normal(raw);
    const std::string at = cell_name(c, 1, n, trimmed(raw));
    const auto named = [&](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&](const char* name) { return t == normal(name); });
    };
    Column col;
    col.title = trimmed(raw);
    if (named({"Adresse", "address"})) {
        col.kind = ColumnKind::address;
    } else if (named({"Datei", "file", "Parameterdatei", "parameter file"})) {
        col.kind = ColumnKind::file;
    } else if (named({"Baudrate", "baud", "baud rate"})) {
        col.kind = ColumnKind::baud;
    } else if (named({"Parität", "parity"})) {
        col.kind = ColumnKind::parity;
    } else if (named({"Modus", "mode"})) {
        col.kind = ColumnKind::mode;
    } else if (named({"Schnittstelle", "device"})) {
        col.kind = ColumnKind::device;
    } else if (named({"Bemerkung", "note", "Raum", "room"})) {
        col.kind = ColumnKind::note;
    } else {
        static const QRegularExpression reg(QStringLiteral("^register\\s*(\\d{1,3})$"));
        static const QRegularExpression bit(
            QStringLiteral("^(konfigurationsbit|configuration bit)\\s*(\\d{1,3})$"));
        std::vector<Field> fields;
        if (const auto m = reg.match(t); m.hasMatch()) {
            const int n = m.captured(1).toInt();
            if (n >= 1 && n <= regmap::cfg_register_group.count) fields.push_back({false, n - 1});
        } else if (const auto b = bit.match(t); b.hasMatch()) {
            const int n = b.captured(2).toInt();
            if (n >= 1 && n <= regmap::cfg_bit_group.count) fields.push_back({true, n - 1});
        } else if (!t.isEmpty()) {
            fields = fields_captioned(t);
        }
        if (fields.empty()) throw Failed{say(CommissionText::plan_unknown_column, c, {at})};
        if (fields.size() > 1) {
            std::string which;
            for (const Field& f : fields)
                which += (which.empty() ? "" : ", ") + field_key(f, c.language_code);
            throw Failed{say(CommissionText::plan_ambiguous_column, c, {at, which})};
        }
        const Field f = fields.front();
        if (!f.bit && f.index < bus::kFirstWrittenRegister)
            throw Failed{say(CommissionText::plan_never_written, c, {at, field_key(f, c.language_code)})};
        col.kind = f.bit ? ColumnKind::cfg_bit : ColumnKind::cfg_register;
        col.index = f.index;
    }
    return col;
}

bool same_field(const Column& a, const Column& b) {
    const bool value = a.kind == ColumnKind::cfg_register || a.kind == ColumnKind::cfg_bit;
    return a.kind == b.kind && (!value || a.index == b.index);
}

std::vector<Column> columns_of(const Record& header, const PlanContext& c) {
    std::vector<Column> out;
    for (std::size_t n = 0; n < header.fields.size(); ++n) {
        const int i = static_cast<int>(n);
        out.push_back(column_of(header.fields[n], i, c));
        for (std::size_t before = 0; before < n; ++before) {
            if (same_field(out[before], out.back()))
                throw Failed{say(CommissionText::plan_column_twice, c,
                                 {cell_name(c, 1, i, out.back().title), out[before].title})};
        }
    }
    const auto has = [&](ColumnKind k) {
        return std::any_of(out.begin(), out.end(), [k](const Column& col) { return col.kind == k; });
    };
    if (!has(ColumnKind::address) || !has(ColumnKind::file))
        throw Failed{say(CommissionText::plan_needs_columns, c, {c.name})};
    return out;
}

// A decimal typed with either point stands for the user's separator, as the window's key filter takes it.
std::string with_separator(std::string text, char separator) {
    const bool comma = text.find(',') != std::string::npos;
    const bool point = text.find('.') != std::string::npos;
    if (comma != point) std::replace(text.begin(), text.end(), comma ? ',' : '.', separator);
    return text;
}

void take_cell(PlanRow& row, const Column& col, int n, const std::string& raw, const PlanContext& c) {
    const std::string text = trimmed(raw);
    const std::string at = cell_name(c, row.row, n, col.title);
    switch (col.kind) {
        case ColumnKind::address: {
            bool ok = false;
            const int a = q(text).toInt(&ok);
            if (!ok || a < 1 || a > 247) throw Failed{say(CommissionText::plan_bad_address, c, {at, text})};
            row.address = a;
            return;
        }
        case ColumnKind::file:
            if (text.empty()) return;
            row.file = text;
            row.path =
                QFileInfo(q(text)).isRelative() ? QDir(q(c.folder)).filePath(q(text)).toStdString() : text;
            return;
        case ColumnKind::baud:
            if (text.empty()) return;
            row.baud = modbus::parse_baud(text);
            if (!row.baud) throw Failed{say(CommissionText::plan_bad_baud, c, {at, text})};
            return;
        case ColumnKind::parity:
            if (text.empty()) return;
            row.parity = modbus::parse_parity(text);
            if (!row.parity) throw Failed{say(CommissionText::plan_bad_parity, c, {at, text})};
            return;
        case ColumnKind::mode:
            if (text.empty()) return;
            row.framing = modbus::parse_mode(text);
            if (!row.framing) throw Failed{say(CommissionText::plan_bad_mode, c, {at, text})};
            return;
        case ColumnKind::device:
            row.device = text;
            return;
        case ColumnKind::note:
            row.note = text;
            return;
        case ColumnKind::cfg_bit:
            if (text.empty()) return;
            if (text != "0" && text != "1") throw Failed{say(CommissionText::plan_bad_bit, c, {at, text})};
            row.values.push_back({n, true, col.index, text, static_cast<std::uint16_t>(text == "1" ? 1 : 0)});
            return;
        case ColumnKind::cfg_register: {
            if (text.empty()) return;
            const std::string value = with_separator(text, c.separator);
            const bus::ValueCheck v = bus::check_register_text(col.index, value, c.separator);
            if (!v.word) {
                const device::FieldRule rule = device::cfg_rule(col.index);
                const device::RuleVerdict why =
                    v.verdict == device::RuleVerdict::ok ? device::RuleVerdict::out_of_range : v.verdict;
                throw Failed{say(CommissionText::plan_value_refused, c,
                                 {at, device::rule_words(rule, why, c.language_code, c.separator), text})};
            }
            row.values.push_back({n, false, col.index, value, *v.word});
            return;
        }
    }
}

Plan plan_of(std::string_view bytes, const PlanContext& c) {
    if (bytes.size() > kMaxPlanBytes) {
        throw Failed{say(CommissionText::plan_refused, c,
                         {c.name, lang::message(lang::Message::parameter_file_too_large, c.language_code,
                                                {std::to_string(kMaxPlanBytes >> 20) + " MiB"})})};
    }
    int line = 1;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '\n') ++line;
        if (b < 0x20 && ch != '\t' && ch != '\r' && ch != '\n') {
            throw Failed{say(CommissionText::plan_refused, c,
                             {c.name, lang::message(lang::Message::parameter_file_binary, c.language_code,
                                                    {std::to_string(line)})})};
        }
    }
    const std::string text = as_utf8(bytes);
    std::vector<Record> records = records_of(text, separator_of(text), c);
    if (records.empty() || blank(records.front()))
        throw Failed{say(CommissionText::plan_needs_columns, c, {c.name})};

    Plan plan;
    plan.columns = columns_of(records.front(), c);
    // each address once on its line: the same one may be on another line
    std::map<std::pair<std::string, int>, int> row_of_address;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& rec = records[r];
        if (blank(rec)) continue;
        PlanRow row;
        row.row = rec.row;
        for (std::size_t n = 0; n < rec.fields.size(); ++n) {
            if (n >= plan.columns.size()) {
                if (trimmed(rec.fields[n]).empty()) continue;
                throw Failed{say(CommissionText::plan_too_many_fields, c,
                                 {say(CommissionText::plan_at_row, c, {c.name, std::to_string(rec.row)})})};
            }
            take_cell(row, plan.columns[n], static_cast<int>(n), rec.fields[n], c);
        }
        const auto column_named = [&](ColumnKind k) {
            const auto it = std::find_if(plan.columns.begin(), plan.columns.end(),
                                         [k](const Column& col) { return col.kind == k; });
            const int n = static_cast<int>(it - plan.columns.begin());
            return cell_name(c, rec.row, n, it->title);
        };
        if (row.address == 0)
            throw Failed{say(CommissionText::plan_bad_address, c, {column_named(ColumnKind::address), ""})};
        if (row.file.empty())
            throw Failed{say(CommissionText::plan_no_file, c, {column_named(ColumnKind::file)})};
        const auto [it, fresh] = row_of_address.emplace(std::pair{row.device, row.address}, row.row);
        if (!fresh) {
            throw Failed{say(CommissionText::plan_address_twice, c,
                             {column_named(ColumnKind::address), std::to_string(row.address),
                              std::to_string(it->second)})};
        }
        plan.rows.push_back(std::move(row));
    }
    if (plan.rows.empty()) throw Failed{say(CommissionText::plan_empty, c, {c.name})};
    return plan;
}

}  // namespace

modbus::LineSettings PlanRow::line(const modbus::LineSettings& defaults) const {
    return {baud.value_or(defaults.baud), parity.value_or(defaults.parity),
            framing.value_or(defaults.framing)};
}

std::string column_letter(int column) {
    std::string out;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        out.insert(out.begin(), static_cast<char>('A' + (n - 1) % 26));
    return out;
}

std::string cell_name(const PlanContext& context, int row, int column, const std::string& title) {
    return lang::commission_text(CommissionText::plan_at, context.language_code,
                                 {context.name, std::to_string(row), title, column_letter(column)});
}

PlanRead read_plan(std::string_view bytes, const PlanContext& context) {
    PlanRead r;
    try {
        r.plan = plan_of(bytes, context);
    } catch (const Failed& f) {
        r.error =
            f.message + " " + lang::commission_text(CommissionText::no_unit_written, context.language_code);
    }
    return r;
}

}  // namespace plx::commission
