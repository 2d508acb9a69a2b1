#pragma once
// plx24ctl's commands over the bus layer: what each does with the line, what it prints, its exit
// status. Everything from outside (port, clock, settings, streams, the time stamp) comes in the
// environment, so tests run the commands against a simulated bus on a virtual clock.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/loop.h"
#include "cli/options.h"
#include "cli/texts_in_use.h"
#include "commission/document.h"
#include "modbus/serial_port.h"
#include "paramfile/file_io.h"
#include "settings/store.h"

namespace plx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUnitsFailed = 1;
inline constexpr int kExitUsage = 2;

struct Environment {
    modbus::SerialPort& port;  // stands for the device of --device
    Loop& loop;
    const settings::Store& settings;
    std::ostream& out;
    std::ostream& err;
    bool err_is_terminal = false;
    std::function<paramfile::Stamp()> stamp = paramfile::local_stamp;
    // true once the user asked the program to stop (Ctrl+C)
    std::function<bool()> interrupted = [] { return false; };
    // the wall-clock time of a monitor line, "14:03:22.125"
    std::function<std::string()> time_of_day;
    // the program's version, as a record names it
    std::string version;
    // How a record's document is written: as HTML, unless the program lays it out as a PDF.
    struct DocumentWriter {
        std::string ending = "html";
        std::function<std::optional<std::string>(const commission::Document& d, const std::string& path)> write =
            [](const commission::Document& d, const std::string& path) {
                return paramfile::save_file(path, commission::document_html(d));
            };
    };
    DocumentWriter document;
    // A port for another device than --device's (a plan's row on a line of its own); nothing where
    // the program has none.
    std::function<std::unique_ptr<modbus::SerialPort>(const std::string& device)> port_for;
};

// Says on standard error that `device` could not be had, and what to do; the exit status.
int port_failure(Environment& env, const std::string& device, const TextsInUse& texts, const modbus::PortError& e);

// Runs the command of `o` (help and version are the caller's); the exit status.
int run(const Options& o, Environment& env);

// The device a --device text stands for: a path as it is, "COMn" through the window's port map (the
// user's assignments in `settings` included); empty when COMn stands for none.
std::string resolve_device(const std::string& text, const settings::Store& settings);

}  // namespace plx::cli
