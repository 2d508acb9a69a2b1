#pragma once
// write and commission: the units a run writes (one file to many addresses, or a plan's rows, each
// checked whole before the line is touched), the run itself with a line per unit, a summary, and the
// record of the run when asked for.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bus/file_target.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/texts_in_use.h"
#include "commission/run.h"
#include "modbus/engine.h"

namespace plx::cli {

// A parameter file read and checked whole, or why it cannot go to a unit: a message naming the file,
// its line and field.
struct CheckedFile {
    std::optional<bus::FileCheck> file;
    std::string problem;
};
CheckedFile check_parameter_file(const std::string& path, const TextsInUse& texts);
// The same, the reason on standard error.
std::optional<bus::FileCheck> checked_file(const std::string& path,
                                           Environment& env,
                                           const TextsInUse& texts);

// write: the file's configuration for every address of the options.
std::vector<commission::UnitOrder> orders_for_file(const Options& o, const bus::FileCheck& file);

// commission: the plan and every file it names, checked whole; nothing when anything is wrong (the
// reason is on standard error then, naming row and column).
std::optional<std::vector<commission::UnitOrder>> orders_from_plan(const Options& o,
                                                                   Environment& env,
                                                                   const TextsInUse& texts);

// Where a run reports its progress: the progress bar of the command.
struct Progress {
    std::function<void(std::size_t done, std::size_t total, const std::string& text)> show;
    std::function<void()> clear;
};

// The engine that reaches a device's line (the device as resolve_device gives it); nothing when the
// program has none for it.
using EngineFor = std::function<modbus::Engine*(const std::string& device)>;

// The units written one after another on each line, the lines at once: every line is taken first
// (one that cannot be touches no unit), then a report line per unit as it ends, the summary (per
// line where there are several), the record; the exit status.
int carry_out(const Options& o,
              Environment& env,
              const TextsInUse& texts,
              const EngineFor& engine_for,
              const Progress& progress,
              std::vector<commission::UnitOrder> orders);

// The folder of --record made ready before any unit is touched; the reason when it cannot be.
std::optional<std::string> prepare_record_folder(const std::string& folder);

}  // namespace plx::cli
