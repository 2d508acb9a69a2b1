#pragma once
// What the window does with one unit, over the request engine: read the unit out, and write a
// configuration in the window's stages (configuration registers in blocks of ten, then the 32
// configuration bits) and read it back, walking the same chains as the window. The first request
// reads the unit's minimum response time (register 33); every later request to the unit is paced by
// it as the window's timers are.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/chain.h"
#include "device/register_map.h"
#include "modbus/engine.h"

namespace plx::bus {

namespace regmap = device::regmap;

inline constexpr int kRegisterCount = regmap::cfg_register_group.count;  // 60
inline constexpr int kBitCount = regmap::cfg_bit_group.count;            // 32
// registers 0 and 1 (device coding, firmware version) identify a unit: never taken from a file
inline constexpr int kFirstWrittenRegister = 2;

using device::Step;
using device::StepRef;

// Why a job stopped at a request.
struct Failure {
    StepRef at;
    modbus::Verdict verdict = modbus::Verdict::time_out;  // time_out or exception
    int exception_code = 0;
    std::vector<modbus::Verdict> seen;  // what else came while the answer was awaited
};

// A unit's configuration as it holds it.
struct UnitImage {
    std::array<std::uint16_t, kRegisterCount> registers{};
    std::array<bool, kBitCount> bits{};
};

// What goes to a unit: registers 2 .. 59 and all 32 bits (registers 0 and 1 go as the unit has them).
struct Target {
    std::array<std::uint16_t, kRegisterCount> registers{};
    std::array<bool, kBitCount> bits{};
};

// What a write leaves to the unit. It reads registers 0 .. 9 first, so a rule can look at them.
struct WriteRules {
    // registers of the first block (0 .. 9) that go back as the unit holds them, whatever the target says
    std::array<bool, kRegisterCount> keep{};
    // a unit whose number of buttons (register 2) is not the target's is left untouched
    bool same_buttons_only = false;
};

// The rule of plx24ctl: the unit keeps its number of buttons and its location code, and a unit of
// another variant is left alone; `all_registers` writes both from the target as any other register.
WriteRules own_registers_kept(bool all_registers);

// A register or bit where unit and target (or file) disagree.
struct Mismatch {
    bool bit = false;
    int index = 0;  // register 0 .. 59 or bit 0 .. 31
    std::uint16_t wanted = 0;
    std::uint16_t found = 0;
};
// Registers 2 .. 59 and bits 0 .. 31 that differ, registers first, in order.
std::vector<Mismatch> compare(const Target& wanted, const UnitImage& found);

// The pacing of requests to a unit with this minimum response time: the window's block interval.
std::chrono::milliseconds pacing(int response_time_ms);
// How long to wait for an answer from a unit with this response time (nothing: not known yet).
std::chrono::milliseconds answer_timeout(const modbus::LineSettings& line, std::optional<int> response_time_ms);
// The longest any unit may take to answer: its minimum response time at the most, the margin, the
// frames' time on the line. After a time-out nothing new goes to the line before this has passed.
std::chrono::milliseconds longest_answer_time(const modbus::LineSettings& line);

// How a unit job has the engine handle each request: the time-out for the unit, a retry after a
// time-out (read-out, write), the wait for a late answer before anything new, and the unit's pace.
modbus::Policy unit_policy(const modbus::LineSettings& line, std::optional<int> response_time_ms, int retries);

// One unit, one chain of requests at a time. A time-out is tried once more before the job stops.
class UnitJob {
  public:
    UnitJob(modbus::Engine& engine, int address);
    UnitJob(const UnitJob&) = delete;
    UnitJob& operator=(const UnitJob&) = delete;

    struct ReadResult {
        std::optional<UnitImage> image;
        std::optional<Failure> failure;
        int response_time_ms = 0;
    };
    void read_out(std::function<void(const ReadResult&)> done);

    struct WriteResult {
        std::optional<Failure> failure;
        std::vector<Mismatch> mismatches;  // after the read-back; empty and no failure: verified
        int buttons_before = 0;            // register 2 as the unit had it
        // left untouched: its number of buttons is not the target's (WriteRules::same_buttons_only)
        bool skipped = false;
        // what went to the unit: the target with the registers kept as the unit had them
        Target written;
        // registers 0 .. 9 as the unit had them, then everything as read back after the write
        UnitImage read_back;
    };
    void write_and_verify(const Target& target, std::function<void(const WriteResult&)> done);
    void write_and_verify(const Target& target, const WriteRules& rules, std::function<void(const WriteResult&)> done);

    // Output registers 0 .. 16 every `interval` (at least the window's poll interval for the unit);
    // each poll's words, or the failure of that poll; polling goes on until the job ends.
    using Poll = std::function<void(
        const std::optional<std::array<std::uint16_t, regmap::output_register_group.count>>&,
        const std::optional<Failure>&)>;
    void monitor(std::chrono::milliseconds interval, Poll on_poll);

    int address() const { return address_; }
    std::optional<int> response_time() const { return response_time_; }
    // The job's requests stop here; no callback follows.
    void stop();

  private:
    struct Request {
        StepRef what;
        // built when the request goes, so it can use what earlier answers brought
        std::function<std::string()> make;
        // the answer's response text; false when it does not hold what the step needs
        std::function<bool(const std::string&)> take;
    };
    void run(std::vector<Request> steps, std::function<void(const std::optional<Failure>&)> done);
    void next();
    Request read_response_time_step();
    std::vector<Request> read_image_steps(UnitImage& into);
    void poll_outputs(std::chrono::milliseconds interval, std::shared_ptr<Poll> on_poll);

    modbus::Engine& engine_;
    int address_;
    std::string slave_;
    std::optional<int> response_time_;
    std::vector<Request> steps_;
    std::size_t at_ = 0;
    std::function<void(const std::optional<Failure>&)> done_;
    // kept while a chain runs: the steps fill them
    std::unique_ptr<UnitImage> image_;
    std::unique_ptr<WriteResult> write_;
    bool stopped_ = false;
    // the chain ends after the step just taken, without a failure
    bool finish_early_ = false;
};

}  // namespace plx::bus
