#include "recording/rows.h"

#include <cstdlib>

#include "device/number_text.h"
#include "device/word_codec.h"
#include "lang/recording_texts.h"
#include "lang/texts.h"

namespace plx::recording {

namespace {

using lang::RecordingText;

std::vector<Column> make_columns() {
    std::vector<Column> out;
    for (const auto& r : regmap::output_registers) out.push_back({Source::output_register, r.i});
    for (const auto& r : regmap::input_registers) {
        if (r.read_back == regmap::ReadBack::shown) out.push_back({Source::input_register, r.k});
    }
    return out;
}

// Temperatures name their unit in the register map already ("Raumtemperatur, °C"); the others get it
// the same way.
std::string with_unit(std::string meaning, regmap::Unit unit) {
    if (unit == regmap::Unit::none || unit == regmap::Unit::temperature ||
        unit == regmap::Unit::temperature_difference)
        return meaning;
    return meaning + ", " + regmap::unit_symbol(unit);
}

}  // namespace

Dialect dialect_for(const std::string& language_code, char user_separator) {
    if (lang::is_english(language_code)) return {',', '.'};
    return {';', user_separator};
}

std::string csv_line(const std::vector<std::string>& fields, const Dialect& d) {
    std::string line;
    for (std::size_t n = 0; n < fields.size(); ++n) {
        if (n > 0) line += d.field;
        const std::string& f = fields[n];
        if (f.find_first_of(std::string{d.field, '"', '\r', '\n'}) == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char ch : f) {
            if (ch == '"') line += '"';
            line += ch;
        }
        line += '"';
    }
    return line + "\r\n";
}

const std::vector<Column>& columns() {
    static const std::vector<Column> all = make_columns();
    return all;
}

std::string column_name(const Column& c, const std::string& language_code) {
    const bool en = lang::is_english(language_code);
    const auto i = static_cast<std::size_t>(c.index);
    if (c.source == Source::output_register) {
        const auto& r = regmap::output_registers[i];
        return with_unit(en ? r.meaning : r.meaning_de, r.unit);
    }
    const auto& r = regmap::input_registers[i];
    return lang::recording_text(RecordingText::input_column, language_code,
                                {std::to_string(c.index), with_unit(en ? r.meaning : r.meaning_de, r.unit)});
}

regmap::Unit unit_of(const Column& c) {
    const auto i = static_cast<std::size_t>(c.index);
    return c.source == Source::output_register ? regmap::output_registers[i].unit
                                               : regmap::input_registers[i].unit;
}

std::optional<double> value_of(const Values& v, const Column& c) {
    const auto i = static_cast<std::size_t>(c.index);
    if (c.source == Source::input_register) return v.inputs[i];
    const auto& r = regmap::output_registers[i];
    return device::word_value(v.outputs[i], r.scale, r.sign);
}

std::string iso_time(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toStdString();
}

std::vector<std::string> header(const std::string& language_code, const QDateTime& start) {
    const int offset_min = start.offsetFromUtc() / 60;
    const QString offset = QStringLiteral("UTC%1%2:%3")
                               .arg(QChar(offset_min < 0 ? u'-' : u'+'))
                               .arg(std::abs(offset_min) / 60, 2, 10, QLatin1Char('0'))
                               .arg(std::abs(offset_min) % 60, 2, 10, QLatin1Char('0'));
    std::vector<std::string> h{
        lang::recording_text(RecordingText::column_time, language_code, {offset.toStdString()}),
        lang::recording_text(RecordingText::column_age, language_code),
        lang::recording_text(RecordingText::column_reason, language_code)};
    for (const Column& c : columns()) h.push_back(column_name(c, language_code));
    return h;
}

std::vector<std::string> row(const Poll& p, const Dialect& d) {
    std::vector<std::string> f{iso_time(p.ended_at), "", ""};
    f.reserve(3 + columns().size());
    if (p.newest) f[1] = std::to_string((p.ended - p.newest->sent).count());
    if (!p.answered()) {
        f[2] = p.reason;
        f.resize(3 + columns().size());
        return f;
    }
    const Values& v = p.newest->values;
    for (const Column& c : columns()) {
        const auto i = static_cast<std::size_t>(c.index);
        if (c.source == Source::output_register) {
            // exactly the Monitor's text
            const auto& r = regmap::output_registers[i];
            f.push_back(device::shown_text(v.outputs[i], r.scale, r.sign, d.decimal));
        } else {
            f.push_back(v.inputs[i] ? device::format_number(*v.inputs[i], d.decimal) : std::string());
        }
    }
    return f;
}

}  // namespace plx::recording
