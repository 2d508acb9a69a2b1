#include "commission/record.h"

#include <algorithm>

#include <QJsonArray>

#include "bus/file_target.h"
#include "device/register_map.h"
#include "lang/captions.h"
#include "lang/commission_texts.h"
#include "lang/texts.h"

namespace plx::commission {

namespace {

using lang::CommissionText;
namespace regmap = device::regmap;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string say(const RunRecord& r, CommissionText id, const std::vector<std::string>& args = {}) {
    return lang::commission_text(id, r.language_code, args);
}

QString iso(const QDateTime& t) {
    // with the offset from UTC, so the time stays exact wherever the record is read
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

// Where a value came from.
enum class Source {
    file,
    plan,
    unit,
};

Source source_of(const UnitOutcome& u, bool bit, int index) {
    for (const GivenValue& g : u.order.given) {
        if (g.bit == bit && g.index == index) return Source::plan;
    }
    if (!bit && u.order.rules.keep[static_cast<std::size_t>(index)]) return Source::unit;
    return Source::file;
}

const char* source_key(Source s) {
    return s == Source::plan ? "plan" : s == Source::unit ? "unit" : "file";
}

// The unit's identity is known once its first block was read.
bool identified(const UnitOutcome& u) {
    return u.result != UnitResult::not_reached && u.write.buttons_before != 0;
}

bool read_back(const UnitOutcome& u) {
    return u.result == UnitResult::verified || u.result == UnitResult::differs;
}

std::string result_words(const RunRecord& r, UnitResult result) {
    switch (result) {
        case UnitResult::verified:
            return say(r, CommissionText::result_verified);
        case UnitResult::differs:
            return say(r, CommissionText::result_differs);
        case UnitResult::failed:
            return say(r, CommissionText::result_failed);
        case UnitResult::skipped:
            return say(r, CommissionText::result_skipped);
        case UnitResult::not_reached:
            break;
    }
    return say(r, CommissionText::result_not_reached);
}

std::string reg_text(const RunRecord& r, int k, std::uint16_t word) {
    return bus::register_text(k, word, r.separator);
}

std::string bit_text(const RunRecord& r, bool on) {
    return say(r, on ? CommissionText::bit_on : CommissionText::bit_off);
}

std::string meaning(const RunRecord& r, bool bit, int index) {
    const auto i = static_cast<std::size_t>(index);
    const bool en = lang::is_english(r.language_code);
    if (bit) return en ? regmap::cfg_bits[i].meaning : regmap::cfg_bits[i].meaning_de;
    return en ? regmap::cfg_registers[i].meaning : regmap::cfg_registers[i].meaning_de;
}

QJsonObject line_json(const modbus::LineSettings& l) {
    return {{QStringLiteral("baud"), l.baud},
            {QStringLiteral("parity"), QString(QChar::fromLatin1(l.parity))},
            {QStringLiteral("mode"), q(std::string(modbus::mode_text(l.framing)))}};
}

QJsonObject unit_json(const RunRecord& r, const UnitOutcome& u, const std::string& note) {
    QJsonObject j{{QStringLiteral("address"), u.order.address},
                  {QStringLiteral("file"), q(u.order.file)},
                  {QStringLiteral("device"), q(u.order.device)},
                  {QStringLiteral("line"), line_json(u.order.line)},
                  {QStringLiteral("result"), QString::fromLatin1(result_key(u.result))}};
    if (u.order.row > 0) j[QStringLiteral("row")] = u.order.row;
    if (!u.order.note.empty()) j[QStringLiteral("note")] = q(u.order.note);
    if (!note.empty()) j[QStringLiteral("message")] = q(note);
    if (identified(u)) {
        // after a write as read back; a unit left alone as it was
        const auto& regs = u.write.read_back.registers;
        j[QStringLiteral("device_coding")] = regs[0];
        j[QStringLiteral("firmware")] = regs[1];
        j[QStringLiteral("buttons")] = regs[regmap::button_count_register];
        j[QStringLiteral("location_code")] = regs[regmap::location_code_register];
    }
    if (!read_back(u)) return j;
    QJsonArray values;
    for (int k = bus::kFirstWrittenRegister; k < bus::kRegisterCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::uint16_t w = u.write.written.registers[i];
        const std::uint16_t got = u.write.read_back.registers[i];
        values.append(QJsonObject{
            {QStringLiteral("kind"), QStringLiteral("register")},
            {QStringLiteral("number"), k + 1},
            {QStringLiteral("address"), k},
            {QStringLiteral("caption"), q(lang::field_name(lang::cfg_register_caption(k, r.language_code)))},
            {QStringLiteral("written"), q(reg_text(r, k, w))},
            {QStringLiteral("read_back"), q(reg_text(r, k, got))},
            {QStringLiteral("source"), QString::fromLatin1(source_key(source_of(u, false, k)))},
            {QStringLiteral("verified"), w == got}});
    }
    for (int b = 0; b < bus::kBitCount; ++b) {
        const auto i = static_cast<std::size_t>(b);
        const bool w = u.write.written.bits[i];
        const bool got = u.write.read_back.bits[i];
        values.append(QJsonObject{
            {QStringLiteral("kind"), QStringLiteral("bit")},
            {QStringLiteral("number"), b + 1},
            {QStringLiteral("address"), b},
            {QStringLiteral("caption"), q(lang::field_name(lang::cfg_bit_caption(b, r.language_code)))},
            {QStringLiteral("written"), w ? 1 : 0},
            {QStringLiteral("read_back"), got ? 1 : 0},
            {QStringLiteral("source"), QString::fromLatin1(source_key(source_of(u, true, b)))},
            {QStringLiteral("verified"), w == got}});
    }
    j[QStringLiteral("values")] = values;
    return j;
}

// The devices of the run's lines, in the order the units first name them.
std::vector<std::string> devices(const RunRecord& r) {
    std::vector<std::string> out;
    for (const UnitOutcome& u : r.units) {
        if (!u.order.device.empty() && std::find(out.begin(), out.end(), u.order.device) == out.end())
            out.push_back(u.order.device);
    }
    return out;
}

std::size_t count(const RunRecord& r, UnitResult result) {
    return static_cast<std::size_t>(std::count_if(
        r.units.begin(), r.units.end(), [result](const UnitOutcome& u) { return u.result == result; }));
}

std::string summary_line(const RunRecord& r) {
    std::string s = say(r, CommissionText::written_count,
                        {std::to_string(count(r, UnitResult::verified)), std::to_string(r.units.size())});
    if (const std::size_t skipped = count(r, UnitResult::skipped))
        s += " " + say(r, CommissionText::skipped_count, {std::to_string(skipped)});
    return s;
}

Cell value_cell(const std::string& written, const std::string& got, Source source) {
    Cell c;
    c.text = written == got ? written : written + " \xE2\x86\x92 " + got;
    c.marked = written != got;
    c.strong = source == Source::plan;
    c.quiet = source == Source::unit;
    return c;
}

Page unit_page(const RunRecord& r, const UnitOutcome& u, const std::string& note) {
    Page p;
    p.title = say(r, CommissionText::unit_heading, {std::to_string(u.order.address)});
    const auto& regs = u.write.read_back.registers;
    if (identified(u)) {
        p.title += " \xC2\xB7 " + say(r, CommissionText::column_location) + " " +
                   std::to_string(regs[regmap::location_code_register]);
    }
    if (!u.order.note.empty()) p.facts.push_back({say(r, CommissionText::column_note), u.order.note});
    if (u.order.row > 0)
        p.facts.push_back({say(r, CommissionText::record_plan_row), std::to_string(u.order.row)});
    p.facts.push_back({say(r, CommissionText::record_file), u.order.file});
    if (devices(r).size() > 1) p.facts.push_back({say(r, CommissionText::record_device), u.order.device});
    p.facts.push_back({say(r, CommissionText::record_line), modbus::describe(u.order.line)});
    if (identified(u)) {
        p.facts.push_back({say(r, CommissionText::column_coding), std::to_string(regs[0])});
        p.facts.push_back({say(r, CommissionText::column_firmware), std::to_string(regs[1])});
        p.facts.push_back(
            {say(r, CommissionText::column_buttons), std::to_string(regs[regmap::button_count_register])});
    }
    p.verdict.text = result_words(r, u.result) + (note.empty() ? "" : ": " + note);
    p.verdict.marked = u.result != UnitResult::verified;
    p.verdict.strong = true;
    if (!read_back(u)) return p;
    p.legend = say(r, CommissionText::legend);

    Table regs_table;
    regs_table.heading = say(r, CommissionText::section_registers);
    regs_table.columns = {"Reg.", say(r, CommissionText::column_meaning),
                          say(r, CommissionText::column_value)};
    regs_table.blocks = 2;
    regs_table.widths = {9, 80, 11};
    for (int k = bus::kFirstWrittenRegister; k < bus::kRegisterCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        regs_table.rows.push_back(
            {{std::to_string(k + 1)},
             {meaning(r, false, k)},
             value_cell(reg_text(r, k, u.write.written.registers[i]),
                        reg_text(r, k, u.write.read_back.registers[i]), source_of(u, false, k))});
    }
    Table bits_table;
    bits_table.heading = say(r, CommissionText::section_bits);
    bits_table.columns = {"Bit", say(r, CommissionText::column_meaning),
                          say(r, CommissionText::column_value)};
    bits_table.blocks = 2;
    bits_table.widths = {9, 80, 11};
    for (int b = 0; b < bus::kBitCount; ++b) {
        const auto i = static_cast<std::size_t>(b);
        bits_table.rows.push_back(
            {{std::to_string(b + 1)},
             {meaning(r, true, b)},
             value_cell(bit_text(r, u.write.written.bits[i]), bit_text(r, u.write.read_back.bits[i]),
                        source_of(u, true, b))});
    }
    p.tables = {regs_table, bits_table};
    return p;
}

// The device of the run, or of each of its lines.
std::string lines_of(const RunRecord& r) {
    const std::vector<std::string> all = devices(r);
    if (all.size() < 2) return r.device;
    std::string list;
    for (const std::string& d : all) list += (list.empty() ? "" : ", ") + d;
    return list;
}

}  // namespace

QJsonObject record_json(const RunRecord& r) {
    QJsonArray units;
    for (std::size_t n = 0; n < r.units.size(); ++n) {
        units.append(unit_json(r, r.units[n], n < r.notes.size() ? r.notes[n] : std::string()));
    }
    QJsonObject j{
        {QStringLiteral("program"), q(r.program)},
        {QStringLiteral("version"), q(r.version)},
        {QStringLiteral("command"), q(r.command)},
        {QStringLiteral("started"), iso(r.started)},
        {QStringLiteral("ended"), iso(r.ended)},
        {QStringLiteral("device"), q(r.device)},
        {QStringLiteral("line"), line_json(r.line)},
        {QStringLiteral("all_registers"), r.all_registers},
        {QStringLiteral("language"),
         lang::is_english(r.language_code) ? QStringLiteral("en") : QStringLiteral("de")},
        {QStringLiteral("units"), units},
        {QStringLiteral("summary"),
         QJsonObject{
             {QStringLiteral("units"), static_cast<qint64>(r.units.size())},
             {QStringLiteral("verified"), static_cast<qint64>(count(r, UnitResult::verified))},
             {QStringLiteral("differs"), static_cast<qint64>(count(r, UnitResult::differs))},
             {QStringLiteral("failed"), static_cast<qint64>(count(r, UnitResult::failed))},
             {QStringLiteral("skipped"), static_cast<qint64>(count(r, UnitResult::skipped))},
             {QStringLiteral("not_reached"), static_cast<qint64>(count(r, UnitResult::not_reached))}}}};
    if (!r.plan.empty()) j[QStringLiteral("plan")] = q(r.plan);
    if (!r.file.empty()) j[QStringLiteral("file")] = q(r.file);
    return j;
}

Document record_document(const RunRecord& r) {
    Document d;
    d.title = say(r, CommissionText::record_title);
    // the pages' numbers are the printer's to fill in
    d.footer = say(r, CommissionText::page_footer,
                   {d.title + " " + shown_time(r.started, r.language_code), "%1", "%2"});
    Page summary;
    summary.title = d.title;
    summary.facts = {{say(r, CommissionText::record_program), r.program + " " + r.version},
                     {say(r, CommissionText::record_started), shown_time(r.started, r.language_code)},
                     {say(r, CommissionText::record_ended), shown_time(r.ended, r.language_code)},
                     {say(r, CommissionText::record_device), lines_of(r)},
                     {say(r, CommissionText::record_line), modbus::describe(r.line)}};
    if (!r.plan.empty()) summary.facts.push_back({say(r, CommissionText::record_plan), r.plan});
    if (!r.file.empty()) summary.facts.push_back({say(r, CommissionText::record_file), r.file});
    summary.verdict.text = summary_line(r);
    summary.verdict.strong = true;
    summary.verdict.marked = count(r, UnitResult::verified) != r.units.size();
    Table units;
    units.heading = say(r, CommissionText::record_units);
    units.columns = {say(r, CommissionText::column_address),  say(r, CommissionText::column_location),
                     say(r, CommissionText::column_buttons),  say(r, CommissionText::column_coding),
                     say(r, CommissionText::column_firmware), say(r, CommissionText::column_result)};
    const bool notes = std::any_of(r.units.begin(), r.units.end(),
                                   [](const UnitOutcome& u) { return !u.order.note.empty(); });
    if (notes) units.columns.insert(units.columns.begin() + 1, say(r, CommissionText::column_note));
    const bool several = devices(r).size() > 1;
    if (several) units.columns.insert(units.columns.begin(), say(r, CommissionText::record_device));
    for (const UnitOutcome& u : r.units) {
        const auto& regs = u.write.read_back.registers;
        const bool known = identified(u);
        const auto id = [&](int k) {
            return known ? std::to_string(regs[static_cast<std::size_t>(k)]) : "-";
        };
        Cell result{result_words(r, u.result)};
        result.marked = u.result != UnitResult::verified;
        std::vector<Cell> row{{std::to_string(u.order.address)},
                              {id(regmap::location_code_register)},
                              {id(regmap::button_count_register)},
                              {id(0)},
                              {id(1)},
                              result};
        if (notes) row.insert(row.begin() + 1, Cell{u.order.note});
        if (several) row.insert(row.begin(), Cell{u.order.device});
        units.rows.push_back(std::move(row));
    }
    summary.tables = {units};
    d.pages.push_back(summary);
    for (std::size_t n = 0; n < r.units.size(); ++n) {
        d.pages.push_back(unit_page(r, r.units[n], n < r.notes.size() ? r.notes[n] : std::string()));
    }
    return d;
}

std::string shown_time(const QDateTime& t, const std::string& language_code) {
    return t
        .toString(lang::is_english(language_code) ? QStringLiteral("yyyy-MM-dd HH:mm:ss")
                                                  : QStringLiteral("dd.MM.yyyy HH:mm:ss"))
        .toStdString();
}

std::string record_name(const QDateTime& started) {
    return "plx24-record-" + started.toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
}

}  // namespace plx::commission
