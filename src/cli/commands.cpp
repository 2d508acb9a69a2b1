#include "cli/commands.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>

#include <QJsonArray>
#include <QJsonDocument>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include "bus/file_target.h"
#include "cli/commissioning.h"
#include "device/value_rules.h"
#include "lang/commission_texts.h"
#include "modbus/engine.h"
#include "bus/scan.h"
#include "bus/unit_job.h"
#include "cli/texts_in_use.h"
#include "cli/wording.h"
#include "device/chain.h"
#include "device/word_codec.h"
#include "lang/recording_texts.h"
#include "lang/texts.h"
#include "link/port_failure.h"
#include "link/port_map.h"
#include "modbus/engine.h"
#include "modbus/wandeln.h"
#include "paramfile/cp1252.h"
#include "paramfile/reasons.h"
#include "recording/poll_log.h"
#include "recording/sheet.h"
#include "settings/registry.h"
#include "traffic/meaning.h"

namespace plx::cli {

namespace {

using std::chrono::milliseconds;
namespace regmap = device::regmap;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

void print_json(std::ostream& out, const QJsonObject& o) {
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

// A bar on standard error while it is a terminal: "[#####-----]  50%  123/247  text".
class ProgressBar {
  public:
    ProgressBar(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ~ProgressBar() { clear(); }
    void show(std::size_t done, std::size_t total, const std::string& text) {
        if (!enabled_ || total == 0) return;
        constexpr std::size_t width = 30;
        const std::size_t filled = std::min(width, width * done / total);
        err_ << "\r\x1b[K[" << std::string(filled, '#') << std::string(width - filled, '-') << "] "
             << std::setw(3) << 100 * done / total << "%  " << done << "/" << total << "  " << text
             << std::flush;
        shown_ = true;
    }
    // before a line of its own goes to either stream
    void clear() {
        if (!shown_) return;
        err_ << "\r\x1b[K" << std::flush;
        shown_ = false;
    }

  private:
    std::ostream& err_;
    bool enabled_;
    bool shown_ = false;
};

// --verbose: every frame and verdict, one line each.
class VerboseObserver : public modbus::Observer {
  public:
    VerboseObserver(std::ostream& err, ProgressBar& bar, const std::string& language)
        : err_(err), bar_(bar), language_(language) {}
    // the line's device in front of each frame, where a run has several
    std::string line;

    void frame_sent(const modbus::SentFrame& f) override {
        bar_.clear();
        err_ << where() << stamp(f.at) << " -> " << shown(f.bytes) << "\n";
    }
    void received(const modbus::Reception& r) override {
        bar_.clear();
        std::string what = r.verdict == modbus::Verdict::exception
                               ? exception_words(r.exception_code, language_)
                               : verdict_words(r.verdict, language_);
        err_ << where() << stamp(r.at) << " <- " << what;
        if (r.verdict != modbus::Verdict::time_out && !r.bytes.empty()) err_ << ": " << shown(r.bytes);
        err_ << "\n";
    }
    void link_event(const modbus::LinkNote& note) override {
        bar_.clear();
        err_ << where() << stamp(note.at) << " -- " << traffic::link_event_text(note.event, note.detail, language_) << "\n";
    }

  private:
    std::string where() const { return line.empty() ? line : line + "  "; }
    static std::string stamp(milliseconds at) {
        std::ostringstream s;
        s << std::setw(9) << at.count() << " ms";
        return s.str();
    }
    static std::string shown(const std::vector<std::uint8_t>& bytes) {
        // an ASCII frame as its text, an RTU frame as hex
        if (!bytes.empty() && bytes.front() == ':') {
            std::string t;
            for (std::uint8_t b : bytes) {
                if (b >= 0x20 && b < 0x7F) t += static_cast<char>(b);
            }
            return t;
        }
        std::string t;
        for (std::uint8_t b : bytes) t += (t.empty() ? "" : " ") + modbus::byte_to_hex(b);
        return t;
    }
    std::ostream& err_;
    ProgressBar& bar_;
    std::string language_;
};

// The bus master on the environment's port, with --verbose attached.
struct Session {
    Session(Environment& env, const Options& o, const TextsInUse& texts)
        : bar(env.err, env.err_is_terminal && !o.no_progress),
          verbose(env.err, bar, texts.language_code()),
          engine(env.port, env.loop) {
        if (o.verbose) engine.observe(&verbose);
    }
    ~Session() { engine.close(); }
    ProgressBar bar;
    VerboseObserver verbose;
    modbus::Engine engine;
};

// Another line of a run, on a port of its own; its frames named by its device under --verbose.
struct OtherLine {
    OtherLine(Environment& env, const Options& o, const TextsInUse& texts, ProgressBar& bar,
              std::unique_ptr<modbus::SerialPort> own, const std::string& device)
        : port(std::move(own)), verbose(env.err, bar, texts.language_code()), engine(*port, env.loop) {
        verbose.line = device;
        if (o.verbose) engine.observe(&verbose);
    }
    ~OtherLine() { engine.close(); }
    std::unique_ptr<modbus::SerialPort> port;
    VerboseObserver verbose;
    modbus::Engine engine;
};

std::string seconds_text(milliseconds t, char separator) {
    std::ostringstream s;
    s << t.count() / 1000 << separator << (t.count() % 1000) / 100;
    return s.str();
}

std::string variant_text(const bus::FoundUnit& u, const std::string& code) {
    if (u.exception_code != 0)
        return say(Word::scan_refused, code, {exception_words(u.exception_code, code)});
    std::string t = say(Word::buttons, code, {std::to_string(u.buttons)});
    if (u.slow) t += ", " + say(Word::scan_slow, code);
    return t;
}

QJsonObject line_json(const modbus::LineSettings& l) {
    return {{QStringLiteral("baud"), l.baud},
            {QStringLiteral("parity"), QString(QChar::fromLatin1(l.parity))},
            {QStringLiteral("mode"), q(std::string(modbus::mode_text(l.framing)))}};
}

QJsonObject failure_json(const bus::Failure& f, const std::string& code) {
    QJsonObject o{{QStringLiteral("result"), q(failure_kind(f))},
                  {QStringLiteral("step"), q(step_words(f.at, lang::kEnglish))},
                  {QStringLiteral("message"), q(failure_words(f, code))}};
    if (f.verdict == modbus::Verdict::exception) {
        o[QStringLiteral("exception_code")] = f.exception_code;
        o[QStringLiteral("exception_meaning")] = q(lang::exception_meaning(f.exception_code, lang::kEnglish));
    }
    return o;
}

// ---------------------------------------------------------------- scan

int scan(const Options& o, Environment& env, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    Session s(env, o, texts);
    bus::Scanner scanner(s.engine);
    bus::ScanPlan plan;
    for (modbus::Framing f : o.framings) {
        for (int b : o.bauds) {
            for (char p : o.parities) plan.lines.push_back({b, p, f});
        }
    }
    plan.addresses = o.addresses;
    if (o.timeout) plan.probe_wait = *o.timeout;

    bool heading = false;
    // address, line, coding, firmware right under their headings; the variant's words follow
    const auto row = [&](const std::string& a, const std::string& l, const std::string& c,
                         const std::string& f, const std::string& v) {
        env.out << std::setw(8) << a << "  " << std::left << std::setw(14) << l << std::right << std::setw(10)
                << c << std::setw(10) << f << "  " << v << "\n";
    };
    const auto print_unit = [&](const bus::FoundUnit& u) {
        if (o.json) return;
        s.bar.clear();
        if (!heading) {
            std::vector<std::string> h;
            std::istringstream words(say(Word::scan_columns, code));
            for (std::string w; std::getline(words, w, '|');) h.push_back(w);
            h.resize(5);
            row(h[0], h[1], h[2], h[3], h[4]);
            heading = true;
        }
        row(std::to_string(u.address), modbus::describe(u.line), std::to_string(u.device_coding),
            std::to_string(u.firmware), variant_text(u, code));
        env.out << std::flush;
    };
    scanner.on_found = print_unit;
    scanner.on_progress = [&](const bus::ScanProgress& p) {
        s.bar.show(p.done, p.total, std::to_string(p.address) + "  " + modbus::describe(p.line));
    };
    std::optional<bus::ScanOutcome> outcome;
    const milliseconds start = env.loop.now();
    scanner.start(plan, [&](const bus::ScanOutcome& r) { outcome = r; });
    env.loop.run_until([&] {
        if (!outcome && env.interrupted()) scanner.cancel();
        return outcome.has_value();
    });
    if (!outcome) scanner.cancel();
    s.bar.clear();
    const milliseconds took = env.loop.now() - start;
    if (outcome->port_error) return port_failure(env, o.device, texts, *outcome->port_error);

    if (o.json) {
        QJsonArray units;
        for (const bus::FoundUnit& u : outcome->units) {
            QJsonObject j = line_json(u.line);
            j[QStringLiteral("address")] = u.address;
            j[QStringLiteral("device_coding")] = u.device_coding;
            j[QStringLiteral("firmware")] = u.firmware;
            j[QStringLiteral("buttons")] = u.buttons;
            j[QStringLiteral("slow")] = u.slow;
            if (u.exception_code != 0) j[QStringLiteral("exception_code")] = u.exception_code;
            units.append(j);
        }
        print_json(env.out, {{QStringLiteral("command"), QStringLiteral("scan")},
                             {QStringLiteral("units"), units},
                             {QStringLiteral("probes"), static_cast<qint64>(outcome->probes)},
                             {QStringLiteral("seconds"), static_cast<double>(took.count()) / 1000.0},
                             {QStringLiteral("cancelled"), outcome->cancelled}});
    } else {
        const std::string seconds = seconds_text(took, texts.separator());
        const std::string probes = std::to_string(outcome->probes);
        env.out << (outcome->units.empty() ? say(Word::scan_none, code, {probes, seconds})
                                           : say(Word::scan_count, code,
                                                 {std::to_string(outcome->units.size()), probes, seconds}))
                << "\n";
    }
    return outcome->units.empty() || outcome->cancelled ? kExitUnitsFailed : kExitOk;
}

}  // namespace

// ---------------------------------------------------------------- the parameter file in

CheckedFile check_parameter_file(const std::string& path, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    const paramfile::FileRead file = paramfile::read_file(path, paramfile::kMaxFileBytes);
    const auto fail = [](std::string message) { return CheckedFile{std::nullopt, std::move(message)}; };
    if (!file.ok()) return fail(say(Word::file_not_read, code, {path, file.error}));
    const paramfile::ReadRules rules = paramfile::read_rules(texts.separator());
    const bus::FileCheck c = bus::check_file(paramfile::read(file.bytes, rules), texts.separator());
    switch (c.problem) {
        case bus::FileProblem::none:
            return {c, {}};
        case bus::FileProblem::refused:
            return fail(say(Word::file_refused, code,
                            {path, paramfile::refusal_reason(c.refusal, c.line, rules, code)}));
        case bus::FileProblem::incomplete:
            return fail(say(Word::file_short, code,
                            {path, std::to_string(c.complete_lines), std::to_string(paramfile::kLineCount)}));
        case bus::FileProblem::bad_line:
            return fail(say(Word::file_bad_line, code, {path, std::to_string(c.line), c.key}));
        case bus::FileProblem::not_sendable: {
            std::string why = say(Word::encode_out_of_range, code);
            if (c.encode_error == device::EncodeError::empty) why = say(Word::encode_empty, code);
            if (c.encode_error == device::EncodeError::not_a_number ||
                c.encode_error == device::EncodeError::not_bcd)
                why = say(Word::encode_not_a_number, code, {std::string(1, texts.separator())});
            return fail(say(Word::file_not_sendable, code, {path, std::to_string(c.line), c.key, c.text, why}));
        }
        case bus::FileProblem::refused_value: {
            // the window's words for what the field takes, and the caption the file gives the line
            const std::string field = c.key + ", " + texts.register_name(c.register_index);
            const std::string allowed =
                device::rule_words(device::cfg_rule(c.register_index), c.verdict, code, texts.separator());
            return fail(lang::commission_text(lang::CommissionText::file_value_refused, code,
                                              {path, std::to_string(c.line), field, allowed, c.text}) +
                        " " + lang::commission_text(lang::CommissionText::no_unit_written, code));
        }
    }
    return fail({});
}

std::optional<bus::FileCheck> checked_file(const std::string& path, Environment& env, const TextsInUse& texts) {
    CheckedFile c = check_parameter_file(path, texts);
    if (!c.file) env.err << "plx24ctl: " << c.problem << "\n";
    return std::move(c.file);
}

namespace {

// A register or bit as a file and a unit hold it, for the diff and the write report.
struct Shown {
    std::string key, name, file, unit;
};

Shown shown(const bus::Mismatch& m, const bus::FileCheck& file, const TextsInUse& texts) {
    if (m.bit) {
        return {texts.bit_key(m.index), texts.bit_name(m.index), std::to_string(m.wanted),
                std::to_string(m.found)};
    }
    return {texts.register_key(m.index), texts.register_name(m.index),
            file.texts[static_cast<std::size_t>(m.index)],
            bus::register_text(m.index, m.found, texts.separator())};
}

QJsonArray mismatches_json(const std::vector<bus::Mismatch>& ms,
                           const bus::FileCheck& file,
                           const TextsInUse& texts) {
    QJsonArray a;
    for (const bus::Mismatch& m : ms) {
        const Shown s = shown(m, file, texts);
        a.append(
            QJsonObject{{QStringLiteral("kind"), m.bit ? QStringLiteral("bit") : QStringLiteral("register")},
                        {QStringLiteral("number"), m.index + 1},
                        {QStringLiteral("address"), m.index},
                        {QStringLiteral("caption"), q(s.name)},
                        {QStringLiteral("file"), q(s.file)},
                        {QStringLiteral("unit"), q(s.unit)}});
    }
    return a;
}

// ---------------------------------------------------------------- read, write, diff

std::string unit_prefix(int address, const std::string& code) {
    return (lang::is_english(code) ? "Unit " : "Gerät ") + std::to_string(address) + ": ";
}

// The first unit of the options read out for `command`. A port that cannot be opened, an interruption
// and a unit's failure are reported here; the result is then empty and `exit` says how to end.
std::optional<bus::UnitJob::ReadResult> read_unit(const Options& o, Environment& env, const TextsInUse& texts,
                                                  const QString& command, int& exit) {
    const std::string& code = texts.language_code();
    const int address = o.addresses.front();
    std::optional<bus::UnitJob::ReadResult> result;
    {
        Session s(env, o, texts);
        if (auto e = s.engine.open(o.line())) {
            exit = port_failure(env, o.device, texts, *e);
            return std::nullopt;
        }
        bus::UnitJob job(s.engine, address);
        job.read_out([&](const bus::UnitJob::ReadResult& r) { result = r; });
        s.bar.show(0, 1, std::to_string(address));
        env.loop.run_until([&] { return result.has_value() || env.interrupted(); });
        job.stop();
    }
    exit = kExitUnitsFailed;
    if (!result) return std::nullopt;
    if (result->failure) {
        if (o.json) {
            QJsonObject j = failure_json(*result->failure, code);
            j[QStringLiteral("command")] = command;
            j[QStringLiteral("address")] = address;
            print_json(env.out, j);
        } else {
            env.out << unit_prefix(address, code) << failure_words(*result->failure, code) << "\n";
        }
        return std::nullopt;
    }
    exit = kExitOk;
    return result;
}

int read(const Options& o, Environment& env, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    const int address = o.addresses.front();
    int exit = kExitOk;
    const auto result = read_unit(o, env, texts, QStringLiteral("read"), exit);
    if (!result) return exit;
    const paramfile::Written w =
        paramfile::write(parameter_contents(texts, *result->image, o.line(), address, env.stamp()));
    std::optional<std::string> problem;
    if (!w.ok())
        problem = "line " + std::to_string(w.bad_line) + ": " + paramfile::code_point_name(w.bad_character);
    if (!problem) problem = paramfile::save_file(o.output, w.bytes);
    if (problem) {
        env.err << "plx24ctl: " << say(Word::output_not_written, code, {o.output, *problem}) << "\n";
        return kExitUsage;
    }
    if (o.json) {
        print_json(env.out, {{QStringLiteral("command"), QStringLiteral("read")},
                             {QStringLiteral("address"), address},
                             {QStringLiteral("result"), QStringLiteral("ok")},
                             {QStringLiteral("file"), q(o.output)}});
    } else {
        env.out << say(Word::unit_read, code, {std::to_string(address), o.output}) << "\n";
    }
    return kExitOk;
}

// write and commission: the units checked before the line is taken, then written one after another.
int carry_out_orders(const Options& o, Environment& env, const TextsInUse& texts,
                     std::vector<commission::UnitOrder> orders) {
    if (!o.record.empty()) {
        if (const auto why = prepare_record_folder(o.record)) {
            env.err << "plx24ctl: "
                    << lang::commission_text(lang::CommissionText::record_not_written, texts.language_code(),
                                             {o.record, *why})
                    << "\n";
            return kExitUsage;
        }
    }
    Session s(env, o, texts);
    const Progress progress{[&](std::size_t done, std::size_t total, const std::string& text) {
                                s.bar.show(done, total, text);
                            },
                            [&] { s.bar.clear(); }};
    // a plan's rows on other lines: each its own port and engine, made as a line is first named
    const std::string own = resolve_device(o.device, env.settings);
    std::map<std::string, std::unique_ptr<OtherLine>> others;
    const EngineFor engine_for = [&](const std::string& device) -> modbus::Engine* {
        if (device == own) return &s.engine;
        std::unique_ptr<OtherLine>& line = others[device];
        if (!line) {
            std::unique_ptr<modbus::SerialPort> port = env.port_for ? env.port_for(device) : nullptr;
            if (!port) return nullptr;
            if (s.verbose.line.empty()) s.verbose.line = o.device;
            line = std::make_unique<OtherLine>(env, o, texts, s.bar, std::move(port), device);
        }
        return &line->engine;
    };
    return carry_out(o, env, texts, engine_for, progress, std::move(orders));
}

int write(const Options& o, Environment& env, const TextsInUse& texts) {
    // the whole file before any byte: a malformed one touches no unit
    const auto file = checked_file(o.file, env, texts);
    if (!file) return kExitUsage;
    return carry_out_orders(o, env, texts, orders_for_file(o, *file));
}

int commission(const Options& o, Environment& env, const TextsInUse& texts) {
    // the whole plan and every file it names before any byte
    auto orders = orders_from_plan(o, env, texts);
    if (!orders) return kExitUsage;
    return carry_out_orders(o, env, texts, std::move(*orders));
}

int diff(const Options& o, Environment& env, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    const auto file = checked_file(o.file, env, texts);
    if (!file) return kExitUsage;
    const int address = o.addresses.front();
    int exit = kExitOk;
    const auto result = read_unit(o, env, texts, QStringLiteral("diff"), exit);
    if (!result) return exit;
    const auto ms = bus::compare(file->target, *result->image);
    if (o.json) {
        print_json(env.out, {{QStringLiteral("command"), QStringLiteral("diff")},
                             {QStringLiteral("address"), address},
                             {QStringLiteral("file"), q(o.file)},
                             {QStringLiteral("differences"), mismatches_json(ms, *file, texts)}});
    } else {
        for (const bus::Mismatch& m : ms) {
            const Shown sh = shown(m, *file, texts);
            env.out << say(Word::diff_line, code, {sh.key, sh.name, sh.file, sh.unit}) << "\n";
        }
        env.out << (ms.empty() ? say(Word::diff_none, code, {std::to_string(address), o.file})
                               : say(Word::diff_count, code,
                                     {std::to_string(address), o.file, std::to_string(ms.size())}))
                << "\n";
    }
    return ms.empty() ? kExitOk : kExitUnitsFailed;
}

// ---------------------------------------------------------------- monitor

// Output registers by their JSON names, in register order.
constexpr const char* kOutputNames[] = {
    "button_word_0",
    "button_word_1",
    "room_temperature",
    "setpoint_temperature_1_offset",
    "setpoint_temperature_1_effective",
    "setpoint_temperature_2_offset",
    "setpoint_temperature_2_effective",
    "setpoint_percent_1_offset",
    "setpoint_percent_1_effective",
    "setpoint_percent_2_offset",
    "setpoint_percent_2_effective",
    "setpoint_value_1_offset",
    "setpoint_value_1_effective",
    "setpoint_value_2_offset",
    "setpoint_value_2_effective",
    "fan_stage",
    "room_occupancy",
};
static_assert(std::size(kOutputNames) == regmap::output_register_group.count);

using Outputs = std::array<std::uint16_t, regmap::output_register_group.count>;

// The buttons whose bit is set in a button word: T1 .. T12.
std::vector<int> buttons_in(std::uint16_t word) {
    std::vector<int> out;
    if (word < regmap::button_word_base) return out;
    const int bits = word - regmap::button_word_base;
    for (int n = 0; n < regmap::button_lamp_count; ++n) {
        if ((bits >> (regmap::button_lamp_count - 1 - n)) & 1) out.push_back(n + 1);
    }
    return out;
}

std::string monitor_line(const Outputs& w, char sep, const std::string& code) {
    const auto v = [&](int i) {
        const auto& row = regmap::output_registers[static_cast<std::size_t>(i)];
        return device::shown_text(w[static_cast<std::size_t>(i)], row.scale, row.sign, sep);
    };
    const auto pair = [&](const char* label, int i) {
        return std::string(label) + "=" + v(i) + "/" + v(i + 1) + " ";
    };
    std::string t = "T=" + v(2) + " " + pair("T1", 3) + pair("T2", 5) + pair("P1", 7) + pair("P2", 9) +
                    pair("V1", 11) + pair("V2", 13) + "fan=" + v(15) + " occ=" + v(16) + " ";
    std::string pressed;
    for (int b : buttons_in(w[0])) pressed += (pressed.empty() ? "T" : ",T") + std::to_string(b);
    t += say(Word::monitor_pressed, code) + "=" + (pressed.empty() ? "-" : pressed);
    return t;
}

// The input registers 7 .. 25 as the unit holds them: the recording's input columns. Read once, as the
// window knows them from its read-out; a unit that does not answer leaves them empty.
using Inputs = std::array<std::optional<double>, regmap::input_register_group.count>;
Inputs read_inputs(Session& s, int address, const Options& o, Environment& env) {
    Inputs inputs{};
    bool done = false;
    const device::StepRef step{device::Step::read_input_registers, regmap::input_register_group.read_first};
    modbus::Request request;
    request.request_string = device::read_request(step, modbus::byte_to_hex(static_cast<std::uint8_t>(address)));
    request.policy = bus::unit_policy(o.line(), std::nullopt, 1);
    s.engine.request(std::move(request), [&](const modbus::Outcome& a) {
        done = true;
        const auto words = a.verdict == modbus::Verdict::ok ? device::answer_words(step, a.response_text)
                                                            : std::nullopt;
        if (!words) return;
        for (int k = step.first; k <= regmap::input_register_last_shown; ++k) {
            const auto& row = regmap::input_registers[static_cast<std::size_t>(k)];
            inputs[static_cast<std::size_t>(k)] = device::word_value((*words)[static_cast<std::size_t>(k - step.first)],
                                                                     row.scale, regmap::Sign::signed16);
        }
    });
    env.loop.run_until([&] { return done || env.interrupted(); });
    return inputs;
}

int monitor(const Options& o, Environment& env, const TextsInUse& texts) {
    const std::string& code = texts.language_code();
    const int address = o.addresses.front();
    Session s(env, o, texts);
    if (auto e = s.engine.open(o.line())) return port_failure(env, o.device, texts, *e);

    // --csv: the window's recording, one row per poll
    recording::Sheet sheet;
    const bool csv_out = o.csv == "-";
    if (!o.csv.empty()) {
        const recording::Dialect d = recording::dialect_for(code, texts.separator());
        const auto head = recording::header(code, QDateTime::currentDateTime());
        const auto error = csv_out ? sheet.open(env.out, head, d) : sheet.open(o.csv, head, d);
        if (error) {
            env.err << "plx24ctl: "
                    << lang::recording_text(lang::RecordingText::not_opened, code, {o.csv, *error}) << "\n";
            return kExitUsage;
        }
    }
    recording::Values values;
    if (sheet.is_open()) values.inputs = read_inputs(s, address, o, env);
    const milliseconds started = env.loop.now();
    recording::PollLog log(recording::anchored_wall_clock(started, QDateTime::currentDateTime()));
    bool csv_failed = false;
    log.on_poll = [&](const recording::Poll& p) {
        const long before = sheet.rows();
        if (const auto error = sheet.add(recording::row(p, sheet.dialect()))) {
            csv_failed = true;
            env.err << "plx24ctl: "
                    << lang::recording_text(lang::RecordingText::write_failed, code,
                                            {o.csv, *error, std::to_string(before)})
                    << "\n";
        }
    };

    bus::UnitJob job(s.engine, address);
    long polls = 0;
    long answered = 0;
    job.monitor(o.interval, [&](const std::optional<Outputs>& words,
                                const std::optional<bus::Failure>& failure) {
        ++polls;
        if (sheet.is_open()) {
            // the request this poll answers was the last to go on the line
            log.sent(s.engine.last_sent());
            if (words) {
                values.outputs = *words;
                log.answered(s.engine.now(), values);
            } else {
                log.failed(s.engine.now(), failure_words(*failure, code));
            }
        }
        const std::string when = env.time_of_day ? env.time_of_day() : std::to_string(env.loop.now().count());
        if (words) ++answered;
        if (csv_out) return;
        if (o.json) {
            QJsonObject j{{QStringLiteral("time"), q(when)}, {QStringLiteral("address"), address}};
            if (words) {
                QJsonObject outputs;
                for (int i = 0; i < regmap::output_register_group.count; ++i) {
                    const auto& row = regmap::output_registers[static_cast<std::size_t>(i)];
                    outputs[QString::fromLatin1(kOutputNames[i])] =
                        device::word_value((*words)[static_cast<std::size_t>(i)], row.scale, row.sign);
                }
                QJsonArray pressed;
                for (int b : buttons_in((*words)[0])) pressed.append(b);
                outputs[QStringLiteral("buttons_pressed")] = pressed;
                j[QStringLiteral("outputs")] = outputs;
            } else {
                j[QStringLiteral("result")] = q(failure_kind(*failure));
                j[QStringLiteral("message")] = q(failure_words(*failure, code));
            }
            // one object per line, so a script can read the stream as it comes
            env.out << QJsonDocument(j).toJson(QJsonDocument::Compact).toStdString() << "\n" << std::flush;
        } else if (words) {
            env.out << when << "  " << monitor_line(*words, texts.separator(), code) << "\n" << std::flush;
        } else {
            env.out << when << "  " << failure_words(*failure, code) << "\n" << std::flush;
        }
    });
    env.loop.run_until([&] {
        return env.interrupted() || csv_failed || (o.count && polls >= *o.count) ||
               (o.duration && env.loop.now() - started >= *o.duration);
    });
    job.stop();
    // every row went out flushed: the file is complete however the run ended
    sheet.close();
    if (csv_failed) return kExitUsage;
    return answered > 0 ? kExitOk : kExitUnitsFailed;
}

}  // namespace

int port_failure(Environment& env, const std::string& device, const TextsInUse& texts, const modbus::PortError& e) {
    const std::string& code = texts.language_code();
    std::string reason = e.reason.empty() ? "error " + std::to_string(e.code) : e.reason;
    env.err << "plx24ctl: " << say(Word::device_failed, code, {e.device.empty() ? device : e.device, reason})
            << "\n";
    // what to do, in the window's words
    const std::string advice = link::port_failure_advice(e, code);
    if (!advice.empty()) env.err << "plx24ctl: " << advice << "\n";
    return kExitUsage;
}

std::string resolve_device(const std::string& text, const settings::Store& settings) {
    static const std::regex com(R"(COM([0-9]{1,2}))", std::regex::icase);
    std::smatch m;
    if (!std::regex_match(text, m, com)) return text;
    const int n = std::stoi(m[1].str());
    link::PortMap map;
    map.user_lookup = [&settings](int entry) {
        return settings::CRegistry(settings).Werte("Ports", "COM" + std::to_string(entry));
    };
    return map.device(n);
}

int run(const Options& o, Environment& env) {
    const TextsInUse texts(env.settings);
    switch (o.command) {
        case Command::scan:
            return scan(o, env, texts);
        case Command::read:
            return read(o, env, texts);
        case Command::write:
            return write(o, env, texts);
        case Command::diff:
            return diff(o, env, texts);
        case Command::monitor:
            return monitor(o, env, texts);
        case Command::commission:
            return commission(o, env, texts);
        case Command::none:
            break;
    }
    return kExitUsage;
}

}  // namespace plx::cli
