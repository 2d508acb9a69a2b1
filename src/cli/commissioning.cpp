#include "cli/commissioning.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <sstream>

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

std::string unit_prefix(int address, const TextsInUse& texts) {
    return words(CommissionText::unit_heading, texts, {std::to_string(address)}) + ": ";
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
    const std::string device = resolve_device(o.device, env.settings);
    std::map<std::string, bus::FileCheck> files;
    std::vector<UnitOrder> orders;
    for (const commission::PlanRow& row : read.plan->rows) {
        if (!row.device.empty() && resolve_device(row.device, env.settings) != device) {
            const auto [n, title] = column_of(commission::ColumnKind::device);
            return fail(words(CommissionText::plan_other_device, texts,
                              {commission::cell_name(context, row.row, n, title), row.device, o.device}) +
                        " " + words(CommissionText::no_unit_written, texts));
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
        u.line = row.line(o.line());
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
              modbus::Engine& engine,
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
    record.started = QDateTime::currentDateTime();

    commission::Runner runner(engine);
    runner.on_progress = [&](std::size_t done, std::size_t total, const UnitOrder& next) {
        progress.show(done, total, std::to_string(next.address));
    };
    runner.on_unit = [&](const UnitOutcome& u) {
        if (o.json) return;
        progress.clear();
        const int file_buttons = u.order.target.registers[regmap::button_count_register];
        if (o.all_registers && u.result != UnitResult::failed && u.write.buttons_before != file_buttons) {
            env.out << say(Word::unit_buttons_changed, code,
                           {std::to_string(u.order.address), std::to_string(u.write.buttons_before),
                            std::to_string(file_buttons)})
                    << "\n";
        }
        env.out << unit_prefix(u.order.address, texts) << said(u, texts).line << "\n" << std::flush;
    };
    runner.start(std::move(orders));
    env.loop.run_until([&] {
        if (!runner.finished() && env.interrupted()) runner.stop();
        return runner.finished();
    });
    progress.clear();
    record.ended = QDateTime::currentDateTime();
    if (const auto& e = runner.port_error()) {
        const std::string reason = e->reason.empty() ? "error " + std::to_string(e->code) : e->reason;
        env.err << "plx24ctl: "
                << say(Word::device_failed, code, {e->device.empty() ? o.device : e->device, reason}) << "\n";
        return kExitUsage;
    }
    const auto& outcomes = runner.outcomes();
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

    const auto count = [&](UnitResult r) {
        return static_cast<std::size_t>(std::count_if(outcomes.begin(), outcomes.end(),
                                                      [r](const UnitOutcome& u) { return u.result == r; }));
    };
    const std::size_t verified = count(UnitResult::verified);
    if (o.json) {
        QJsonArray units;
        for (const UnitOutcome& u : outcomes) units.append(unit_json(u, texts));
        QJsonObject j{{QStringLiteral("command"), q(record.command)},
                      {QStringLiteral("units"), units},
                      {QStringLiteral("verified"), static_cast<qint64>(verified)},
                      {QStringLiteral("skipped"), static_cast<qint64>(count(UnitResult::skipped))},
                      {QStringLiteral("of"), static_cast<qint64>(outcomes.size())}};
        j[o.command == Command::commission ? QStringLiteral("plan") : QStringLiteral("file")] = q(o.file);
        if (!record_files.empty())
            j[QStringLiteral("record")] = QJsonArray{q(record_files[0]), q(record_files[1])};
        env.out << QJsonDocument(j).toJson(QJsonDocument::Indented).toStdString();
    } else {
        for (const UnitOutcome& u : outcomes) {
            if (u.result == UnitResult::not_reached)
                env.out << unit_prefix(u.order.address, texts) << said(u, texts).line << "\n";
        }
        if (o.command == Command::commission) {
            // the summary names each unit's result
            std::vector<std::string> h;
            std::istringstream titles(words(CommissionText::summary_columns, texts));
            for (std::string t; std::getline(titles, t, '|');) h.push_back(t);
            h.resize(3);
            const auto row = [&](const std::string& a, const std::string& l, const std::string& r) {
                env.out << std::setw(8) << a << "  " << std::setw(16) << l << "  " << r << "\n";
            };
            env.out << "\n";
            row(h[0], h[1], h[2]);
            for (const UnitOutcome& u : outcomes) {
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
        }
        std::string summary = words(CommissionText::written_count, texts,
                                    {std::to_string(verified), std::to_string(outcomes.size())});
        if (const std::size_t skipped = count(UnitResult::skipped))
            summary += " " + words(CommissionText::skipped_count, texts, {std::to_string(skipped)});
        env.out << summary << "\n";
        if (!record_files.empty()) {
            env.out << words(CommissionText::record_written, texts,
                             {record_files[0] + ", " + record_files[1]})
                    << "\n";
        }
    }
    if (record_failed) return kExitUsage;
    return verified == outcomes.size() ? kExitOk : kExitUnitsFailed;
}

}  // namespace plx::cli
