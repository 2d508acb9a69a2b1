#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "modbus/gateway.h"

namespace plx::cli {

namespace {

std::optional<long> whole_number(std::string_view s) {
    long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = s.find(',', from);
        out.push_back(s.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) return out;
        from = comma + 1;
    }
}

// "300" or "300s" seconds, "5m" minutes, "2h" hours: 1 s .. 30 days.
std::optional<std::chrono::milliseconds> duration_of(const std::string& text) {
    const std::string t = lower(text);
    const std::size_t digits = t.find_first_not_of("0123456789");
    const auto n = whole_number(std::string_view(t).substr(0, digits));
    const std::string unit = digits == std::string::npos ? "s" : t.substr(digits);
    long seconds_per = 0;
    if (unit == "s") seconds_per = 1;
    if (unit == "m") seconds_per = 60;
    if (unit == "h") seconds_per = 3600;
    constexpr long kLongest = 30L * 24 * 3600;
    if (!n || seconds_per == 0 || *n < 1 || *n > kLongest / seconds_per) return std::nullopt;
    return std::chrono::milliseconds(*n * seconds_per * 1000);
}

// "1-247", "1,5,17", "1-10,20": every address 1 .. 247 once, in the order given.
std::optional<std::vector<int>> address_list(const std::string& text) {
    std::vector<int> out;
    for (const std::string& part : split(text)) {
        const std::size_t dash = part.find('-');
        const auto first = whole_number(std::string_view(part).substr(0, dash));
        const auto last =
            dash == std::string::npos ? first : whole_number(std::string_view(part).substr(dash + 1));
        if (!first || !last || *first < 1 || *last > 247 || *first > *last) return std::nullopt;
        for (long a = *first; a <= *last; ++a) {
            if (std::find(out.begin(), out.end(), a) == out.end()) out.push_back(static_cast<int>(a));
        }
    }
    return out;
}

const char* const kProgramHelp =
    "Usage: plx24ctl COMMAND [options]\n"
    "Commissioning of many PLX24 room operating units on RS485 lines (Modbus RTU/ASCII), directly or\n"
    "through a gateway (Modbus TCP, RTU over TCP).\n"
    "\n"
    "Commands:\n"
    "  scan     find the units on a line: addresses and line settings\n"
    "  read     read one unit out into a parameter file\n"
    "  write    write a parameter file to units and read each back\n"
    "  diff     what differs between a unit and a parameter file\n"
    "  monitor  poll a unit's output registers, one line per poll\n"
    "  commission  write each unit of a plan its own configuration and read it back\n"
    "\n"
    "'plx24ctl COMMAND --help' describes a command.\n"
    "\n"
    "Options of every command:\n"
    "  --device DEV        the serial device (/dev/ttyUSB0, /dev/serial/by-id/...), COM1 .. COM40\n"
    "                      as the window's port entries name them (assignments included), or a\n"
    "                      gateway: tcp://HOST[:PORT] (Modbus TCP, port 502 unless given) or\n"
    "                      rtu+tcp://HOST:PORT (RTU frames passed through)\n"
    "  --language de|en    the language of reports and parameter files for this run; default: the\n"
    "                      installation's, as in the window\n"
    "  --json              the result as JSON on standard output (keys in English)\n"
    "  --verbose           every frame sent and every verdict of reception on standard error\n"
    "  --no-progress       no progress bar (it shows on standard error when that is a terminal)\n"
    "  -h, --help          this text;  -v, --version  the version\n"
    "\n"
    "Line settings (default 9600, even parity, RTU):\n"
    "  --baud B            9600, 19200, 38400, 57600 or 115200\n"
    "  --parity P          E, O or N (even, odd, none)\n"
    "  --mode M            rtu (8 data bits) or ascii (7 data bits)\n"
    "\n"
    "Exit status: 0 all good, 1 some units failed (or differ, or none was found), 2 a usage error, a\n"
    "file that is not taken or a device that cannot be opened.\n";

const char* const kScanHelp =
    "Usage: plx24ctl scan --device DEV [--baud LIST] [--parity LIST] [--mode LIST] [--address RANGE]\n"
    "                     [--timeout MS]\n"
    "Probes every address at every line setting with one read of configuration registers 0..2 (device\n"
    "coding, firmware, buttons) and lists each unit that answers. LIST is comma-separated or 'all'\n"
    "(e.g. --baud 9600,19200 --parity all --mode rtu,ascii); RANGE such as 1-247 (the default), 1,5,17\n"
    "or 1-10,20. Each probe waits MS (default 100) plus the frames' time on the line; an address that\n"
    "answers later shows itself and is probed again with the longest wait a unit may take (3.5 s).\n"
    "Exit status 1 when no unit answered.\n";

const char* const kReadHelp =
    "Usage: plx24ctl read --device DEV --address N [line settings] -o FILE\n"
    "Reads unit N out (its response time first, then the 60 configuration registers in blocks of ten\n"
    "and the 32 configuration bits, paced by the unit's response time) and writes the parameter file the\n"
    "window writes, with the captions of the language in use. An existing FILE is replaced only once the\n"
    "new one is complete.\n";

const char* const kWriteHelp =
    "Usage: plx24ctl write FILE --device DEV --address LIST [line settings] [--all-registers]\n"
    "                      [--record DIR]\n"
    "Checks the whole parameter file first (a file the window would refuse, one that ends early, a\n"
    "value out of its field's range or with more decimals than the field holds stops everything before\n"
    "any byte goes out), then writes registers 3..60 and the 32 configuration bits to each unit in the\n"
    "window's stages (blocks of ten registers, then the bits), reads every unit back and compares.\n"
    "Registers 1 and 2 (device coding, firmware) stay the unit's own, and so, unless --all-registers,\n"
    "do register 3 (the number of buttons) and register 4 (the location code); a unit whose number of\n"
    "buttons is not the file's is then skipped. One report line per unit: written and verified, skipped,\n"
    "differs at ..., no answer, exception NN; a unit that fails does not stop the next. LIST such as\n"
    "1-40 or 1,5,17.\n"
    "--record DIR leaves the run's record in DIR: a JSON file and a document (one page per unit).\n";

const char* const kCommissionHelp =
    "Usage: plx24ctl commission PLAN --device DEV [line settings] [--all-registers] [--record DIR]\n"
    "PLAN is a CSV file (';' or ',', UTF-8 or Windows-1252), the first row naming the columns, one row\n"
    "per unit: its address (column 'Adresse' or 'address'), the parameter file it is based on ('Datei'\n"
    "or 'file', relative to the plan), optionally its line settings ('Baudrate'/'baud', 'Parität'/'parity',\n"
    "'Modus'/'mode') and the device of its line ('Schnittstelle'/'device'; empty: --device), a note\n"
    "('Raum'/'room', 'Bemerkung'/'note':\n"
    "only for the record), and values of its own in columns named\n"
    "'Register N', 'Konfigurationsbit N' ('Configuration bit N') or by a field's caption where it is\n"
    "unique ('Standortkennung'). The whole plan and every file are checked first (an unknown column, a\n"
    "value the field refuses, an address twice, a missing file: exit status 2, naming row and column,\n"
    "no unit touched); then each unit is written and verified as by write, with the rules of write, and\n"
    "a summary names each unit's result. Rows on several lines: the lines are worked at once, one\n"
    "request at a time on each, and the summary comes per line.\n";

const char* const kDiffHelp =
    "Usage: plx24ctl diff FILE --device DEV --address N [line settings]\n"
    "Reads unit N out and lists every register (3..60) and configuration bit whose value differs from\n"
    "the parameter file, with its caption. Exit status 0 when nothing differs, 1 otherwise.\n";

const char* const kMonitorHelp =
    "Usage: plx24ctl monitor --device DEV --address N [line settings] [--interval MS] [--count N]\n"
    "                        [--duration D] [--csv FILE|-]\n"
    "Polls the 17 output registers every MS (default 1000; never faster than the unit's response time\n"
    "allows) and prints them decoded, one line per poll, until interrupted (Ctrl+C), N polls are done or\n"
    "D has passed (seconds, or 90s, 5m, 2h).\n"
    "--csv FILE records every poll into FILE as the window's \"Aufzeichnen...\" does: time, answer age,\n"
    "reason of a poll without a valid answer, the output registers and input registers 7..25 (read once\n"
    "at the start) as the window shows them. German: ';' and the user's decimal separator, English: ','\n"
    "and '.'; UTF-8 with BOM. --csv - writes it to standard output instead of the lines (no BOM).\n";

}  // namespace

std::string_view command_name(Command command) {
    switch (command) {
        case Command::scan:
            return "scan";
        case Command::read:
            return "read";
        case Command::write:
            return "write";
        case Command::diff:
            return "diff";
        case Command::monitor:
            return "monitor";
        case Command::commission:
            return "commission";
        case Command::none:
            break;
    }
    return "";
}

std::string help_text(Command command) {
    switch (command) {
        case Command::scan:
            return kScanHelp;
        case Command::read:
            return kReadHelp;
        case Command::write:
            return kWriteHelp;
        case Command::diff:
            return kDiffHelp;
        case Command::monitor:
            return kMonitorHelp;
        case Command::commission:
            return kCommissionHelp;
        case Command::none:
            break;
    }
    return kProgramHelp;
}

modbus::LineSettings Options::line() const {
    modbus::LineSettings l;
    if (!bauds.empty()) l.baud = bauds.front();
    if (!parities.empty()) l.parity = parities.front();
    if (!framings.empty()) l.framing = framings.front();
    return l;
}

Parsed parse_command_line(const std::vector<std::string>& args) {
    Parsed result;
    Options o;
    const auto refuse = [&](std::string why) {
        result.error = std::move(why);
        return result;
    };
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        const auto value = [&]() -> std::optional<std::string> {
            if (n + 1 >= args.size()) return std::nullopt;
            return args[++n];
        };
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "-v" || a == "--version") {
            o.version = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--no-progress") {
            o.no_progress = true;
        } else if (a == "--all-registers") {
            o.all_registers = true;
        } else if (a.size() > 1 && a[0] == '-') {
            const auto v = value();
            if (!v) return refuse(a + " needs a value");
            if (a == "--device") {
                if (v->empty()) return refuse("--device needs a device, e.g. /dev/ttyUSB0");
                o.device = *v;
            } else if (a == "--language") {
                const std::string l = lower(*v);
                if (l != "de" && l != "en") return refuse("--language takes de or en, not '" + *v + "'");
                o.language_code = l == "en" ? "1033" : "1031";
            } else if (a == "--baud") {
                o.bauds.clear();
                for (const std::string& t : lower(*v) == "all" ? std::vector<std::string>{} : split(*v)) {
                    const auto b = modbus::parse_baud(t);
                    if (!b) return refuse("--baud '" + t + "' is not one of 9600 19200 38400 57600 115200");
                    o.bauds.push_back(*b);
                }
                if (o.bauds.empty()) o.bauds.assign(std::begin(modbus::kBauds), std::end(modbus::kBauds));
            } else if (a == "--parity") {
                o.parities.clear();
                for (const std::string& t : lower(*v) == "all" ? std::vector<std::string>{} : split(*v)) {
                    const auto p = modbus::parse_parity(t);
                    if (!p) return refuse("--parity is E, O or N, not '" + t + "'");
                    o.parities.push_back(*p);
                }
                if (o.parities.empty())
                    o.parities.assign(std::begin(modbus::kParities), std::end(modbus::kParities));
            } else if (a == "--mode") {
                o.framings.clear();
                const std::string all = lower(*v) == "all" ? "rtu,ascii" : lower(*v);
                for (const std::string& t : split(all)) {
                    const auto m = modbus::parse_mode(t);
                    if (!m) return refuse("--mode is rtu or ascii, not '" + t + "'");
                    o.framings.push_back(*m);
                }
            } else if (a == "--address") {
                const auto list = address_list(*v);
                if (!list)
                    return refuse("--address takes addresses 1..247 such as 5, 1-40 or 1,5,17, not '" + *v +
                                  "'");
                o.addresses = *list;
            } else if (a == "-o" || a == "--output") {
                if (v->empty()) return refuse(a + " needs a file name");
                o.output = *v;
            } else if (a == "--interval" || a == "--timeout") {
                const auto ms = whole_number(*v);
                if (!ms || *ms < 1 || *ms > 3'600'000)
                    return refuse(a + " is a number of milliseconds 1..3600000");
                (a == "--interval" ? o.interval : o.timeout.emplace()) = std::chrono::milliseconds(*ms);
            } else if (a == "--duration") {
                o.duration = duration_of(*v);
                if (!o.duration)
                    return refuse("--duration is 1 s .. 30 days: seconds, or 90s, 5m, 2h; not '" + *v + "'");
            } else if (a == "--record") {
                if (v->empty()) return refuse("--record needs a folder");
                o.record = *v;
            } else if (a == "--csv") {
                if (v->empty()) return refuse("--csv needs a file name, or - for standard output");
                o.csv = *v;
            } else if (a == "--count") {
                const auto c = whole_number(*v);
                if (!c || *c < 1) return refuse("--count is a number of polls, 1 or more");
                o.count = *c;
            } else {
                return refuse("unknown option '" + a + "'");
            }
        } else if (o.command == Command::none) {
            for (Command c : {Command::scan, Command::read, Command::write, Command::diff, Command::monitor,
                              Command::commission}) {
                if (a == command_name(c)) o.command = c;
            }
            if (o.command == Command::none) return refuse("unknown command '" + a + "'");
        } else if (o.file.empty() &&
                   (o.command == Command::write || o.command == Command::diff || o.command == Command::commission)) {
            o.file = a;
        } else {
            return refuse("unexpected argument '" + a + "'");
        }
    }
    if (o.help || o.version) {
        result.options = o;
        return result;
    }
    const std::string cmd(command_name(o.command));
    if (o.command == Command::none) return refuse("which command? scan, read, write, diff, monitor or commission");
    if (o.device.empty()) return refuse(cmd + " needs --device");
    if (o.command != Command::scan) {
        if (o.bauds.size() > 1 || o.parities.size() > 1 || o.framings.size() > 1) {
            return refuse(cmd + " talks to units at one line setting: one --baud, --parity and --mode");
        }
        if (o.command == Command::commission && !o.addresses.empty())
            return refuse("commission takes its units from the plan, not from --address");
        if (o.addresses.empty() && o.command != Command::commission) return refuse(cmd + " needs --address");
        if (o.command != Command::write && o.addresses.size() > 1)
            return refuse(cmd + " takes one --address");
        if (o.timeout) return refuse("--timeout belongs to scan");
    } else {
        if (o.addresses.empty()) {
            for (int a = 1; a <= 247; ++a) o.addresses.push_back(a);
        }
    }
    if ((o.command == Command::write || o.command == Command::diff) && o.file.empty()) {
        return refuse(cmd + " needs the parameter file: plx24ctl " + cmd + " FILE ...");
    }
    if (o.command == Command::commission && o.file.empty())
        return refuse("commission needs the plan: plx24ctl commission PLAN ...");
    const bool writes = o.command == Command::write || o.command == Command::commission;
    if (!writes && o.all_registers) return refuse("--all-registers belongs to write and commission");
    if (!writes && !o.record.empty()) return refuse("--record belongs to write and commission");
    if (o.command == Command::read && o.output.empty()) return refuse("read needs -o FILE");
    if (o.command != Command::read && !o.output.empty()) return refuse("-o belongs to read");
    if (o.command != Command::monitor && o.count) return refuse("--count belongs to monitor");
    if (o.command != Command::monitor && o.duration) return refuse("--duration belongs to monitor");
    if (o.command != Command::monitor && !o.csv.empty()) return refuse("--csv belongs to monitor");
    if (o.csv == "-" && o.json) return refuse("--csv - and --json would both write standard output");
    if (modbus::names_gateway(o.device)) {
        const auto gateway = modbus::gateway_of(o.device);
        if (!gateway) return refuse("--device " + o.device + " is no gateway: tcp://HOST[:PORT] or rtu+tcp://HOST:PORT");
        // the kind of gateway says the framing; its serial side's baud rate and parity are its own
        if (!o.framings.empty()) return refuse("--mode does not go with a gateway: tcp:// or rtu+tcp:// says the framing");
        o.framings = {gateway->framing};
    }
    if (o.bauds.empty()) o.bauds = {9600};
    if (o.parities.empty()) o.parities = {'E'};
    if (o.framings.empty()) o.framings = {modbus::Framing::rtu};
    result.options = o;
    return result;
}

}  // namespace plx::cli
