#include "cli/commissioning.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <memory>
#include <sstream>
#include <utility>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/wording.h"
#include "commission/plan.h"
#include "commission/record.h"
#include "device/register_map.h"
#include "lang/commission_texts.h"
#include "lang/texts.h"
#include "modbus/gateway.h"
#include "paramfile/file_io.h"

namespace plx::cli {

namespace {

using commission::UnitOrder;
using commission::UnitOutcome;
using commission::UnitResult;
using lang::CommissionText;
namespace regmap = device::regmap;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string words(CommissionText id, const TextsInUse& texts, const std::vector<std::string>& args = {}) {
    return lang::commission_text(id, texts.language_code(), args);
}

// A register's text as the window's field shows the word.
std::string shown_register(int k, std::uint16_t word, const TextsInUse& texts) {
    return bus::register_text(k, word, texts.separator());
}

// What the unit kept of its own: the registers a rule kept that no plan value replaced.
std::vector<int> kept_registers(const UnitOutcome& u) {
    std::vector<int> out;
    for (int k : {regmap::location_code_register, regmap::button_count_register}) {
        if (u.order.rules.keep[static_cast<std::size_t>(k)]) out.push_back(k);
    }
    return out;
}

std::string kept_words(const UnitOutcome& u, const TextsInUse& texts) {
    std::string list;
    for (int k : kept_registers(u)) {
        const std::uint16_t v = u.write.written.registers[static_cast<std::size_t>(k)];
        const auto what = k == regmap::location_code_register ? CommissionText::kept_location
                                                              : CommissionText::kept_buttons;
        list += (list.empty() ? "" : ", ") + words(what, texts, {std::to_string(v)});
    }
    return list.empty() ? list : words(CommissionText::kept_own, texts, {list});
}

std::string given_words(const UnitOrder& order, const TextsInUse& texts) {
    std::string list;
    for (const commission::GivenValue& g : order.given)
        list += (list.empty() ? "" : ", ") + g.title + " " + g.text;
    return list.empty() ? list : words(CommissionText::from_plan, texts, {list});
}

std::string differences(const UnitOutcome& u, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    std::string where;
    for (const bus::Mismatch& m : u.write.mismatches) {
        const std::string line =
            m.bit ? say(Word::diff_line, code,
                        {texts.bit_key(m.index), texts.bit_name(m.index), std::to_string(m.wanted),
                         std::to_string(m.found)})
                  : say(Word::diff_line, code,
                        {texts.register_key(m.index), texts.register_name(m.index),
                         shown_register(m.index, m.wanted, texts), shown_register(m.index, m.found, texts)});
        where += (where.empty() ? "" : "; ") + line;
    }
    return where;
}

std::string skip_reason(const UnitOutcome& u, const TextsInUse& texts) {
    return words(CommissionText::skipped_buttons, texts,
                 {std::to_string(u.write.buttons_before),
                  std::to_string(u.order.target.registers[regmap::button_count_register])});
}

// The words after "Unit N: " of the report line, and the record's note (no note for a unit verified).
struct Said {
    std::string line;
    std::string note;
};

Said said(const UnitOutcome& u, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    Said s;
    switch (u.result) {
        case UnitResult::failed:
            s.note = failure_words(*u.write.failure, code);
            s.line = s.note;
            return s;
        case UnitResult::skipped:
            s.note = skip_reason(u, texts);
            s.line = words(CommissionText::result_skipped, texts) + ": " + s.note + " " +
                     words(CommissionText::skipped_hint, texts);
            return s;
        case UnitResult::not_reached:
            s.note = words(CommissionText::not_reached, texts);
            s.line = s.note;
            return s;
        case UnitResult::verified:
            s.line = words(CommissionText::result_verified, texts);
            break;
        case UnitResult::differs:
            s.note = differences(u, texts);
            s.line = lang::commission_text(CommissionText::result_differs, code) + ": " + s.note;
            break;
    }
    for (const std::string& more : {given_words(u.order, texts), kept_words(u, texts)}) {
        if (!more.empty()) s.line += "; " + more;
    }
    return s;
}

QJsonObject unit_json(const UnitOutcome& u, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    QJsonObject j;
    if (u.result == UnitResult::failed) {
        const bus::Failure& f = *u.write.failure;
        j[QStringLiteral("result")] = q(failure_kind(f));
        j[QStringLiteral("step")] = q(step_words(f.at, lang::kEnglish));
        j[QStringLiteral("message")] = q(failure_words(f, code));
        if (f.verdict == modbus::Verdict::exception) {
            j[QStringLiteral("exception_code")] = f.exception_code;
            j[QStringLiteral("exception_meaning")] =
                q(lang::exception_meaning(f.exception_code, lang::kEnglish));
        }
    } else {
        j[QStringLiteral("result")] = QString::fromLatin1(commission::result_key(u.result));
    }
    if (u.result == UnitResult::skipped) j[QStringLiteral("reason")] = q(skip_reason(u, texts));
    if (u.result == UnitResult::verified || u.result == UnitResult::differs) {
        QJsonArray diffs;
        for (const bus::Mismatch& m : u.write.mismatches) {
            diffs.append(QJsonObject{
                {QStringLiteral("kind"), m.bit ? QStringLiteral("bit") : QStringLiteral("register")},
                {QStringLiteral("number"), m.index + 1},
                {QStringLiteral("address"), m.index},
                {QStringLiteral("caption"),
                 q(m.bit ? texts.bit_name(m.index) : texts.register_name(m.index))},
                {QStringLiteral("file"),
                 q(m.bit ? std::to_string(m.wanted) : shown_register(m.index, m.wanted, texts))},
                {QStringLiteral("unit"),
                 q(m.bit ? std::to_string(m.found) : shown_register(m.index, m.found, texts))}});
        }
        j[QStringLiteral("differences")] = diffs;
        QJsonObject kept;
        for (int k : kept_registers(u)) {
            kept[k == regmap::location_code_register ? QStringLiteral("location_code")
                                                     : QStringLiteral("buttons")] =
                u.write.written.registers[static_cast<std::size_t>(k)];
        }
        if (!kept.isEmpty()) j[QStringLiteral("kept")] = kept;
    }
    if (u.result != UnitResult::not_reached && u.write.buttons_before != 0)
        j[QStringLiteral("buttons_before")] = u.write.buttons_before;
    j[QStringLiteral("address")] = u.order.address;
    if (u.order.row > 0) j[QStringLiteral("row")] = u.order.row;
    j[QStringLiteral("device")] = q(u.order.device);
    return j;
}

bus::WriteRules rules_for(const Options& o, const std::vector<commission::GivenValue>& given) {
    bus::WriteRules rules = bus::own_registers_kept(o.all_registers);
    // a value the plan gives a unit is that unit's own: it goes, and for the buttons the rule still holds
    for (const commission::GivenValue& g : given) {
        if (!g.bit) rules.keep[static_cast<std::size_t>(g.index)] = false;
    }
    return rules;
}

}  // namespace

std::vector<UnitOrder> orders_for_file(const Options& o, const bus::FileCheck& file) {
    std::vector<UnitOrder> orders;
    for (int address : o.addresses) {
        UnitOrder u;
        u.address = address;
        u.device = o.device;
        u.line = o.line();
        u.file = o.file;
        u.target = file.target;
        u.rules = rules_for(o, {});
        orders.push_back(std::move(u));
    }
    return orders;
}

std::optional<std::vector<UnitOrder>> orders_from_plan(const Options& o,
                                                       Environment& env,
                                                       const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    const auto fail = [&](const std::string& message) -> std::optional<std::vector<UnitOrder>> {
        env.err << "plx24ctl: " << message << "\n";
        return std::nullopt;
    };
    const paramfile::FileRead bytes = paramfile::read_file(o.file, commission::kMaxPlanBytes);
    if (!bytes.ok()) return fail(say(Word::file_not_read, code, {o.file, bytes.error}));
    commission::PlanContext context{o.file, QFileInfo(q(o.file)).absolutePath().toStdString(), code,
                                    texts.separator()};
    const commission::PlanRead read = commission::read_plan(bytes.bytes, context);
    if (!read.plan) return fail(read.error);

    const auto column_of = [&](commission::ColumnKind kind) {
        const auto& cols = read.plan->columns;
        const auto it =
            std::find_if(cols.begin(), cols.end(), [kind](const auto& c) { return c.kind == kind; });
        return std::pair{static_cast<int>(it - cols.begin()), it == cols.end() ? std::string() : it->title};
    };
    const auto cell = [&](const commission::PlanRow& row, commission::ColumnKind kind) {
        const auto [n, title] = column_of(kind);
        return commission::cell_name(context, row.row, n, title);
    };
    const std::string no_unit = " " + words(CommissionText::no_unit_written, texts);
    // a serial line beside a gateway of --device: RTU unless the row says otherwise
    modbus::LineSettings serial_defaults = o.line();
    if (modbus::names_gateway(o.device)) serial_defaults.framing = modbus::Framing::rtu;
    std::map<std::string, bus::FileCheck> files;
    std::map<std::pair<std::string, int>, int> row_of_unit;  // each address once on its line
    std::vector<UnitOrder> orders;
    for (const commission::PlanRow& row : read.plan->rows) {
        // the row's line: its own device, or that of --device
        const std::string named = row.device.empty() ? o.device : row.device;
        const std::string device = resolve_device(named, env.settings);
        const auto gateway = modbus::gateway_of(device);
        if (!row.device.empty() && (device.empty() || (modbus::names_gateway(device) && !gateway)))
            return fail(words(CommissionText::plan_bad_device, texts, {cell(row, commission::ColumnKind::device), row.device}) +
                        no_unit);
        modbus::LineSettings defaults = serial_defaults;
        if (gateway) {
            if (row.framing && *row.framing != gateway->framing)
                return fail(words(CommissionText::plan_mode_gateway, texts, {cell(row, commission::ColumnKind::mode), named}) +
                            no_unit);
            defaults.framing = gateway->framing;
        }
        // the same unit named twice: through another name of its device, or once without one
        const auto [first, fresh] = row_of_unit.emplace(std::pair{device, row.address}, row.row);
        if (!fresh) {
            return fail(words(CommissionText::plan_address_twice, texts,
                              {cell(row, commission::ColumnKind::address), std::to_string(row.address),
                               std::to_string(first->second)}) +
                        no_unit);
        }
        auto found = files.find(row.path);
        if (found == files.end()) {
            const CheckedFile file = check_parameter_file(row.path, texts);
            if (!file.file) {
                // the file's own message names it; the plan's row and column say where it was named
                const auto [n, title] = column_of(commission::ColumnKind::file);
                return fail(commission::cell_name(context, row.row, n, title) + ": " + file.problem);
            }
            found = files.emplace(row.path, *file.file).first;
        }
        UnitOrder u;
        u.row = row.row;
        u.address = row.address;
        u.device = named;
        u.line = row.line(defaults);
        u.file = row.file;
        u.note = row.note;
        u.target = found->second.target;
        for (const commission::RowValue& v : row.values) {
            const auto i = static_cast<std::size_t>(v.index);
            if (v.bit) {
                u.target.bits[i] = v.word != 0;
            } else {
                u.target.registers[i] = v.word;
            }
            u.given.push_back(
                {v.bit, v.index, read.plan->columns[static_cast<std::size_t>(v.column)].title, v.text});
        }
        u.rules = rules_for(o, u.given);
        orders.push_back(std::move(u));
    }
    return orders;
}

std::optional<std::string> prepare_record_folder(const std::string& folder) {
    const QString path = q(folder);
    if (!QDir().mkpath(path)) return "cannot be made";
    if (!QFileInfo(path).isWritable()) return "not writable";
    return std::nullopt;
}

int carry_out(const Options& o,
              Environment& env,
              const TextsInUse& texts,
              const EngineFor& engine_for,
              const Progress& progress,
              std::vector<UnitOrder> orders) {
    const std::string& code = texts.language_code();
    commission::RunRecord record;
    record.version = env.version;
    record.command = std::string(command_name(o.command));
    record.device = o.device;
    record.line = o.line();
    (o.command == Command::commission ? record.plan : record.file) = o.file;
    record.all_registers = o.all_registers;
    record.language_code = code;
    record.separator = texts.separator();

    // the units by line, the lines in the order the plan first names them
    struct Line {
        std::string device;  // as its first unit names it
        modbus::Engine* engine = nullptr;
        std::vector<std::size_t> units;  // into orders
        std::unique_ptr<commission::Runner> runner;
    };
    std::vector<Line> lines;
    std::map<std::string, std::size_t> line_of;
    for (std::size_t n = 0; n < orders.size(); ++n) {
        const std::string device = resolve_device(orders[n].device, env.settings);
        const auto [at, fresh] = line_of.emplace(device, lines.size());
        if (fresh) lines.push_back({orders[n].device, engine_for(device), {}, {}});
        lines[at->second].units.push_back(n);
    }
    // every line taken before any unit is written: a device that cannot be had touches no unit
    for (const Line& l : lines) {
        std::optional<modbus::PortError> e =
            l.engine ? l.engine->open(orders[l.units.front()].line)
                     : modbus::PortError{modbus::port_error::invalid_port, l.device, {}};
        if (e) return port_failure(env, l.device, texts, *e);
    }

    // the lines at once, one request at a time on each
    const bool several = lines.size() > 1;
    // "Unit 5: ", and where the same address may be on another line "Unit 5 (tcp://gw:502): "
    const auto prefix = [&](const UnitOrder& u) {
        return words(CommissionText::unit_heading, texts, {std::to_string(u.address)}) +
               (several ? " (" + u.device + ")" : "") + ": ";
    };
    record.started = QDateTime::currentDateTime();
    std::size_t done = 0;
    for (Line& l : lines) {
        l.runner = std::make_unique<commission::Runner>(*l.engine);
        l.runner->on_progress = [&](std::size_t, std::size_t, const UnitOrder& next) {
            progress.show(done, orders.size(), std::to_string(next.address));
        };
        l.runner->on_unit = [&](const UnitOutcome& u) {
            ++done;
            if (o.json) return;
            progress.clear();
            const int file_buttons = u.order.target.registers[regmap::button_count_register];
            if (o.all_registers && u.result != UnitResult::failed && u.write.buttons_before != file_buttons) {
                const std::string unit = std::to_string(u.order.address) + (several ? " (" + u.order.device + ")" : "");
                env.out << say(Word::unit_buttons_changed, code,
                               {unit, std::to_string(u.write.buttons_before),
                                std::to_string(file_buttons)})
                        << "\n";
            }
            env.out << prefix(u.order) << said(u, texts).line << "\n" << std::flush;
        };
        std::vector<UnitOrder> mine;
        for (std::size_t n : l.units) mine.push_back(orders[n]);
        l.runner->start(std::move(mine));
    }
    const auto all_finished = [&] {
        return std::all_of(lines.begin(), lines.end(), [](const Line& l) { return l.runner->finished(); });
    };
    env.loop.run_until([&] {
        if (env.interrupted()) {
            for (Line& l : lines) {
                if (!l.runner->finished()) l.runner->stop();
            }
        }
        return all_finished();
    });
    progress.clear();
    record.ended = QDateTime::currentDateTime();
    // a line lost on the way: its units not reached are in the record, the other lines' too
    bool line_failed = false;
    for (const Line& l : lines) {
        if (const auto& e = l.runner->port_error()) {
            port_failure(env, l.device, texts, *e);
            line_failed = true;
        }
    }
    std::vector<UnitOutcome> outcomes(orders.size());
    for (const Line& l : lines) {
        for (std::size_t k = 0; k < l.units.size(); ++k) outcomes[l.units[k]] = l.runner->outcomes()[k];
    }
    record.units = outcomes;
    for (const UnitOutcome& u : outcomes) record.notes.push_back(said(u, texts).note);

    // the record before the summary, so that its files are named with it
    std::vector<std::string> record_files;
    bool record_failed = false;
    if (!o.record.empty()) {
        const std::string base =
            QDir(q(o.record)).filePath(q(commission::record_name(record.started))).toStdString();
        const QByteArray json =
            QJsonDocument(commission::record_json(record)).toJson(QJsonDocument::Indented);
        const commission::Document doc = commission::record_document(record);
        const std::string json_path = base + ".json";
        const std::string doc_path = base + "." + env.document.ending;
        std::optional<std::string> problem = paramfile::save_file(json_path, json.toStdString());
        std::string failed_path = json_path;
        if (!problem) {
            problem = env.document.write(doc, doc_path);
            failed_path = doc_path;
        }
        if (problem) {
            env.err << "plx24ctl: "
                    << words(CommissionText::record_not_written, texts, {failed_path, *problem}) << "\n";
            record_failed = true;
        } else {
            record_files = {json_path, doc_path};
        }
    }

    const auto count = [&](const std::vector<std::size_t>& units, UnitResult r) {
        return static_cast<std::size_t>(std::count_if(units.begin(), units.end(),
                                                      [&](std::size_t n) { return outcomes[n].result == r; }));
    };
    std::vector<std::size_t> every(outcomes.size());
    for (std::size_t n = 0; n < every.size(); ++n) every[n] = n;
    const std::size_t verified = count(every, UnitResult::verified);
    // "3 of 4 units written and verified. 1 skipped."
    const auto summary = [&](const std::vector<std::size_t>& units) {
        std::string s = words(CommissionText::written_count, texts,
                              {std::to_string(count(units, UnitResult::verified)), std::to_string(units.size())});
        if (const std::size_t skipped = count(units, UnitResult::skipped))
            s += " " + words(CommissionText::skipped_count, texts, {std::to_string(skipped)});
        return s;
    };
    if (o.json) {
        QJsonArray units;
        for (const UnitOutcome& u : outcomes) units.append(unit_json(u, texts));
        QJsonObject j{{QStringLiteral("command"), q(record.command)},
                      {QStringLiteral("units"), units},
                      {QStringLiteral("verified"), static_cast<qint64>(verified)},
                      {QStringLiteral("skipped"), static_cast<qint64>(count(every, UnitResult::skipped))},
                      {QStringLiteral("of"), static_cast<qint64>(outcomes.size())}};
        j[o.command == Command::commission ? QStringLiteral("plan") : QStringLiteral("file")] = q(o.file);
        if (several) {
            QJsonArray per_line;
            for (const Line& l : lines) {
                per_line.append(QJsonObject{
                    {QStringLiteral("device"), q(l.device)},
                    {QStringLiteral("verified"), static_cast<qint64>(count(l.units, UnitResult::verified))},
                    {QStringLiteral("skipped"), static_cast<qint64>(count(l.units, UnitResult::skipped))},
                    {QStringLiteral("of"), static_cast<qint64>(l.units.size())}});
            }
            j[QStringLiteral("lines")] = per_line;
        }
        if (!record_files.empty())
            j[QStringLiteral("record")] = QJsonArray{q(record_files[0]), q(record_files[1])};
        env.out << QJsonDocument(j).toJson(QJsonDocument::Indented).toStdString();
    } else {
        for (const UnitOutcome& u : outcomes) {
            if (u.result == UnitResult::not_reached) env.out << prefix(u.order) << said(u, texts).line << "\n";
        }
        if (o.command == Command::commission) {
            // the summary names each unit's result, line by line
            std::vector<std::string> h;
            std::istringstream titles(words(CommissionText::summary_columns, texts));
            for (std::string t; std::getline(titles, t, '|');) h.push_back(t);
            h.resize(3);
            const auto row = [&](const std::string& a, const std::string& l, const std::string& r) {
                env.out << std::setw(8) << a << "  " << std::setw(16) << l << "  " << r << "\n";
            };
            for (const Line& l : lines) {
                env.out << "\n";
                if (several) env.out << words(CommissionText::record_device, texts) << " " << l.device << "\n";
                row(h[0], h[1], h[2]);
                for (std::size_t n : l.units) {
                    const UnitOutcome& u = outcomes[n];
                    const bool known = u.result != UnitResult::not_reached && u.write.buttons_before != 0;
                    row(std::to_string(u.order.address),
                        known ? std::to_string(u.write.read_back.registers[regmap::location_code_register]) : "-",
                        lang::commission_text(u.result == UnitResult::verified  ? CommissionText::result_verified
                                              : u.result == UnitResult::differs ? CommissionText::result_differs
                                              : u.result == UnitResult::failed  ? CommissionText::result_failed
                                              : u.result == UnitResult::skipped
                                                  ? CommissionText::result_skipped
                                                  : CommissionText::result_not_reached,
                                              code));
                }
                if (several) env.out << summary(l.units) << "\n";
            }
            if (several) env.out << "\n";
        }
        env.out << summary(every) << "\n";
        if (!record_files.empty()) {
            env.out << words(CommissionText::record_written, texts,
                             {record_files[0] + ", " + record_files[1]})
                    << "\n";
        }
    }
    if (record_failed || line_failed) return kExitUsage;
    return verified == outcomes.size() ? kExitOk : kExitUnitsFailed;
}

}  // namespace plx::cli
