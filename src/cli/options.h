#pragma once
// The command line of plx24ctl: a subcommand (scan, read, write, diff, monitor, commission) with its
// options.
// Parsing is pure: nothing is opened or read here, so a usage error never touches a port or a file.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "modbus/line_settings.h"

namespace plx::cli {

enum class Command {
    none,
    scan,
    read,
    write,
    diff,
    monitor,
    commission,
};

struct Options {
    Command command = Command::none;
    bool help = false;
    bool version = false;

    std::string device;  // a device path, or "COMn" as the window's port entries name them
    std::vector<int> bauds;
    std::vector<char> parities;
    std::vector<modbus::Framing> framings;
    std::vector<int> addresses;
    std::string file;    // write, diff: the parameter file; commission: the plan
    std::string output;  // read: -o FILE
    std::chrono::milliseconds interval{1000};
    std::optional<long> count;                         // monitor: stop after this many polls
    std::optional<std::chrono::milliseconds> duration;  // monitor: stop after this long
    std::string csv;                                   // monitor: the CSV file, "-" for standard output
    std::optional<std::chrono::milliseconds> timeout;  // scan: the short wait of each probe
    bool all_registers = false;  // write, commission: the buttons and location code from the file too
    std::string record;          // write, commission: the folder the run's record goes to

    bool json = false;
    bool verbose = false;       // every frame and verdict on standard error
    bool no_progress = false;   // no progress bar even on a terminal
    std::string language_code;  // "1031" or "1033" for this run; empty: the installation's

    // The line settings of a command that talks to known units: the one value of each list.
    modbus::LineSettings line() const;
};

struct Parsed {
    std::optional<Options> options;
    std::string error;  // why the command line was refused
};

// The arguments after the program's name.
Parsed parse_command_line(const std::vector<std::string>& args);

// The help of one command, or of the program (Command::none).
std::string help_text(Command command);

std::string_view command_name(Command command);

}  // namespace plx::cli
