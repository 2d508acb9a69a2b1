#include "sim/options.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace plx::sim {

namespace {

constexpr std::array<int, 8> supported_bauds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

std::optional<long> whole_number(const std::string& s) {
    long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// "1,5,17": whole numbers separated by commas, each through `check`; nothing for anything else.
template <class Check>
std::optional<std::vector<long>> number_list(const std::string& s, Check check) {
    std::vector<long> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = s.find(',', from);
        const auto n = whole_number(s.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (!n || !check(*n)) return std::nullopt;
        out.push_back(*n);
        if (comma == std::string::npos) return out;
        from = comma + 1;
    }
}

}  // namespace

std::string usage_text() {
    std::string t =
        "Usage: plx24-sim [--device PATH | --pty | --tcp [HOST:]PORT] [--mode rtu|ascii] [--address N] [--baud B]\n"
        "                 [--parity E|O|N] [--fault KIND[:RATE]]... [--seed N] [options]\n"
        "\n"
        "Serves a simulated PLX24 room operating unit as a Modbus slave (functions 01, 03, 0F, 10).\n"
        "\n"
        "  --pty              create a pseudo-terminal and print its path on the first line of\n"
        "                     standard output (the default); a pty carries no line settings, so\n"
        "                     baud, parity and data bits are not applied to it\n"
        "  --device PATH      serve on this serial device instead (for example /dev/ttyUSB0 or one\n"
        "                     end of a socat pty pair)\n"
        "  --tcp [HOST:]PORT  serve over TCP as an RS485-to-Ethernet gateway does, listening on\n"
        "                     HOST:PORT (all addresses without HOST; port 0: one the system picks);\n"
        "                     prints tcp://HOST:PORT or rtu+tcp://HOST:PORT on the first line\n"
        "  --framing mbap|rtu|ascii\n"
        "                     over TCP: Modbus TCP (mbap, default: the gateway converts to RTU on\n"
        "                     its line and answers exception 0B for a unit that stays silent), or\n"
        "                     the line's frames passed through the TCP stream\n"
        "  --close-idle S     over TCP: close a connection without a request for S seconds, as\n"
        "                     gateways do; 0 (default) never\n"
        "  --mode rtu|ascii   framing: RTU (8 data bits, CRC-16) or ASCII (7 data bits, LRC);\n"
        "                     default rtu\n"
        "  --lrc tool|standard\n"
        "                     ASCII check sum: over the hex characters as the configuration tool\n"
        "                     computes it (tool, default), or over the byte values (standard)\n"
        "  --address N[,N...] the unit's slave address, 1..247; default 1. Several addresses put\n"
        "                     that many units on the line, each with its own factory image (the\n"
        "                     second an 8-button unit, the fourth 12 buttons, the fifth 2) and its\n"
        "                     own response time (20 ms, 25 ms, 30 ms, ...)\n"
        "  --response-ms MS[,MS...]\n"
        "                     the units' minimum response times (register 33), one for all or one\n"
        "                     per address in the same order\n"
        "  --baud B           1200 .. 115200; default 9600\n"
        "  --parity E|O|N     default E\n"
        "  --fault KIND[:RATE]\n"
        "                     put a fault on a share RATE (0 < RATE <= 1, default 1) of the answers;\n"
        "  --fault KIND@N     or on the answer to request number N only (counting from 1);\n"
        "                     may be repeated, the first rule that hits wins\n"
        "  --fault ADDRESS/KIND[:RATE|@N]\n"
        "                     the same on the unit at ADDRESS only\n"
        "  --fault KIND...,fn=FN\n"
        "                     only on requests with the function code FN (hex): exception-03,fn=10\n"
        "                     refuses every register write with exception 03\n"
        "  --seed N           seed of the unit's random walk and of the faults; default 1\n"
        "  --slow-ms N        extra delay of a slow answer, ms; default 1500\n"
        "  --split-gap-ms N   gap between the pieces of a split answer, ms; default 40\n"
        "  --verbose          log every request and answer on standard error\n"
        "  --any-framing      take requests in either framing (as units that detect it on\n"
        "                     receiving do); answers go out in --mode\n"
        "  --help             this text\n"
        "\n"
        "Fault kinds:\n";
    for (const auto& k : fault_kinds()) {
        std::string name(k.name);
        name.resize(std::max<std::size_t>(name.size(), 16), ' ');
        t += "  " + name + " " + std::string(k.description) + "\n";
    }
    t += "\nRuns until interrupted (SIGINT or SIGTERM) and then exits with status 0.\n";
    return t;
}

ParsedOptions parse_command_line(const std::vector<std::string>& args) {
    ParsedOptions result;
    SimOptions o;
    bool pty = false;
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        auto value = [&]() -> std::optional<std::string> {
            if (n + 1 >= args.size()) return std::nullopt;
            return args[++n];
        };
        auto refuse = [&](std::string why) {
            result.error = std::move(why);
            return result;
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--pty") {
            pty = true;
        } else if (a == "--any-framing") {
            o.any_framing = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--tcp" || a == "--framing" || a == "--close-idle") {
            const auto v = value();
            if (!v) return refuse(a + " needs a value");
            if (a == "--tcp") {
                const auto colon = v->rfind(':');
                const auto port = whole_number(colon == std::string::npos ? *v : v->substr(colon + 1));
                if (!port || *port < 0 || *port > 65535) return refuse("--tcp is [HOST:]PORT with a port 0..65535, not '" + *v + "'");
                o.tcp = true;
                o.tcp_host = colon == std::string::npos ? std::string{} : v->substr(0, colon);
                o.tcp_port = static_cast<int>(*port);
            } else if (a == "--framing") {
                if (*v == "mbap") {
                    o.tcp_framing = modbus::Framing::tcp;
                } else if (*v == "rtu") {
                    o.tcp_framing = modbus::Framing::rtu;
                } else if (*v == "ascii") {
                    o.tcp_framing = modbus::Framing::ascii;
                } else {
                    return refuse("--framing is mbap, rtu or ascii, not '" + *v + "'");
                }
            } else {
                const auto seconds = whole_number(*v);
                if (!seconds || *seconds < 0 || *seconds > 86'400) return refuse("--close-idle is a number of seconds 0..86400");
                o.close_idle = std::chrono::seconds(*seconds);
            }
        } else if (a == "--device" || a == "--mode" || a == "--lrc" || a == "--address" || a == "--baud" ||
                   a == "--parity" || a == "--fault" || a == "--seed" || a == "--slow-ms" ||
                   a == "--split-gap-ms" || a == "--response-ms") {
            const auto v = value();
            if (!v) return refuse(a + " needs a value");
            if (a == "--device") {
                if (v->empty()) return refuse("--device needs a path");
                o.device = *v;
            } else if (a == "--mode") {
                if (*v == "rtu" || *v == "RTU") {
                    o.mode = modbus::Framing::rtu;
                } else if (*v == "ascii" || *v == "ASCII") {
                    o.mode = modbus::Framing::ascii;
                } else {
                    return refuse("--mode is rtu or ascii, not '" + *v + "'");
                }
            } else if (a == "--lrc") {
                if (*v == "tool") {
                    o.lrc_form = LrcForm::hex_characters;
                } else if (*v == "standard") {
                    o.lrc_form = LrcForm::standard;
                } else {
                    return refuse("--lrc is tool or standard, not '" + *v + "'");
                }
            } else if (a == "--address") {
                const auto list = number_list(*v, [](long n) { return n >= 1 && n <= 247; });
                if (!list) return refuse("--address is a slave address 1..247 or a list such as 1,5,17, not '" + *v + "'");
                o.addresses.clear();
                for (long n : *list) {
                    const auto address = static_cast<std::uint8_t>(n);
                    if (std::find(o.addresses.begin(), o.addresses.end(), address) != o.addresses.end()) {
                        return refuse("--address names unit " + std::to_string(n) + " twice");
                    }
                    o.addresses.push_back(address);
                }
                o.address = o.addresses.front();
            } else if (a == "--response-ms") {
                const auto list = number_list(*v, [](long ms) { return ms >= 0 && ms <= 3000; });
                if (!list) return refuse("--response-ms is a time 0..3000 ms or a list of them, not '" + *v + "'");
                o.response_times.clear();
                for (long ms : *list) o.response_times.emplace_back(ms);
            } else if (a == "--baud") {
                const auto b = whole_number(*v);
                if (!b || std::find(supported_bauds.begin(), supported_bauds.end(), *b) == supported_bauds.end()) {
                    return refuse("--baud '" + *v + "' is not one of 1200 2400 4800 9600 19200 38400 57600 115200");
                }
                o.baud = static_cast<int>(*b);
            } else if (a == "--parity") {
                if (*v != "E" && *v != "O" && *v != "N" && *v != "e" && *v != "o" && *v != "n") {
                    return refuse("--parity is E, O or N, not '" + *v + "'");
                }
                o.parity = static_cast<char>((*v)[0] & ~0x20);
            } else if (a == "--fault") {
                // "5/no_answer": the fault of one unit on the line
                const std::size_t slash = v->find('/');
                const auto f = parse_fault(slash == std::string::npos ? *v : v->substr(slash + 1));
                if (!f.rule) return refuse("--fault " + *v + ": " + f.error);
                if (slash == std::string::npos) {
                    o.faults.push_back(*f.rule);
                } else {
                    const auto unit = whole_number(v->substr(0, slash));
                    if (!unit || *unit < 1 || *unit > 247) return refuse("--fault " + *v + ": the unit is an address 1..247");
                    o.unit_faults.push_back({static_cast<std::uint8_t>(*unit), *f.rule});
                }
            } else if (a == "--seed") {
                const auto s = whole_number(*v);
                if (!s || *s < 0 || *s > 0xFFFFFFFFL) return refuse("--seed is a whole number 0..4294967295");
                o.seed = static_cast<std::uint32_t>(*s);
            } else {
                const auto ms = whole_number(*v);
                if (!ms || *ms < 0 || *ms > 60'000) return refuse(a + " is a number of milliseconds 0..60000");
                (a == "--slow-ms" ? o.slow_delay : o.split_gap) = std::chrono::milliseconds(*ms);
            }
        } else {
            return refuse("unknown option '" + a + "' (see --help)");
        }
    }
    if (pty && o.device) {
        result.error = "--pty and --device exclude each other";
        return result;
    }
    if (o.tcp && (pty || o.device)) {
        result.error = "--tcp serves over TCP: it excludes --pty and --device";
        return result;
    }
    if (o.response_times.size() > 1 && o.response_times.size() != o.addresses.size()) {
        result.error = "--response-ms gives " + std::to_string(o.response_times.size()) + " times for " +
                       std::to_string(o.addresses.size()) + " units";
        return result;
    }
    for (const auto& f : o.unit_faults) {
        if (std::find(o.addresses.begin(), o.addresses.end(), f.address) == o.addresses.end()) {
            result.error = "--fault names unit " + std::to_string(f.address) + ", which is not on the line";
            return result;
        }
    }
    result.options = o;
    return result;
}

}  // namespace plx::sim
