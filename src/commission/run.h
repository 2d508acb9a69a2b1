#pragma once
// Carrying configurations to units one after another on one line: each unit written and verified
// as the window's Apply and read-back do, under the rules of what stays the unit's own; a unit that
// fails does not stop the next. The line settings follow each unit's own.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/unit_job.h"
#include "modbus/engine.h"
#include "modbus/line_settings.h"

namespace plx::commission {

// A value a plan's row gives a unit of its own.
struct GivenValue {
    bool bit = false;
    int index = 0;      // register 0 .. 59 or bit 0 .. 31
    std::string title;  // the plan's column
    std::string text;   // as the row gives it
};

struct UnitOrder {
    int row = 0;  // the plan's row; 0 without a plan
    int address = 0;
    std::string device;  // the device of the unit's line as named: the plan's row, or --device
    modbus::LineSettings line;
    std::string file;  // the parameter file the target comes from, as named
    std::string note;  // the plan's note on the unit (its room)
    bus::Target target;
    bus::WriteRules rules;
    std::vector<GivenValue> given;
};

enum class UnitResult {
    not_reached,  // the run ended before it (interrupted, or the line could not be opened)
    verified,
    differs,
    failed,
    skipped,
};

struct UnitOutcome {
    UnitOrder order;
    UnitResult result = UnitResult::not_reached;
    bus::UnitJob::WriteResult write;  // as far as the unit was reached
};

class Runner {
  public:
    explicit Runner(modbus::Engine& engine);
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;
    ~Runner();

    // Each unit as it ends, and before each unit: how many are done, of how many.
    std::function<void(const UnitOutcome&)> on_unit;
    std::function<void(std::size_t done, std::size_t total, const UnitOrder& next)> on_progress;

    // Takes the line at the first order's settings (again at another order's), then each order in turn.
    void start(std::vector<UnitOrder> orders);
    // No further unit is started; the one under way ends where it is and counts as not reached.
    void stop();
    bool finished() const { return finished_; }
    // One per order, in order; the units not reached among them.
    const std::vector<UnitOutcome>& outcomes() const { return outcomes_; }
    // The line could not be taken at a unit's settings: the run ended there.
    const std::optional<modbus::PortError>& port_error() const { return port_error_; }

  private:
    void next();

    modbus::Engine& engine_;
    std::vector<UnitOutcome> outcomes_;
    std::size_t at_ = 0;
    // each job outlives its callbacks: the next unit starts from within the last one's
    std::vector<std::unique_ptr<bus::UnitJob>> jobs_;
    std::optional<modbus::LineSettings> line_;
    std::optional<modbus::PortError> port_error_;
    bool finished_ = false;
    bool stopped_ = false;
};

// Word of a result for JSON: "verified", "differs", "failed", "skipped", "not_reached".
const char* result_key(UnitResult r);

}  // namespace plx::commission
