#pragma once
// The program's command line, read before any window system is touched: --help and --version must
// answer on a machine without a display, and a mistyped option must not start the window.

#include <optional>
#include <string>

#include <QStringList>

namespace plx::app {

struct CommandLine {
    enum class Action {
        run,     // start the window with the options below
        answer,  // print `out` / `err` and end with `exit_code` (help, version, a usage error)
    };
    Action action = Action::run;
    int exit_code = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error

    bool demo = false;
    std::string port;           // --port: the device behind the start-up entry for this run
    std::string language_code;  // --language: "1031" or "1033"; empty keeps the installed one
    // the link panel for this run; each one not given keeps the panel's own
    std::optional<int> baud;     // --baud: 9600, 19200, 38400, 57600 or 115200
    std::optional<char> parity;  // --parity: 'E', 'O' or 'N'
    std::optional<bool> rtu;     // --mode: rtu (true) or ascii (false)
    std::optional<int> address;  // --address: 1 .. 247
    bool open = false;           // --open: the port opens at start, which reads the unit out
};

// Exit status of a usage error, as command-line tools have it.
inline constexpr int kUsageError = 2;

// `arguments` as the system passed them, the program's own name first.
CommandLine parse_command_line(const QStringList& arguments);

}  // namespace plx::app
