#pragma once
// Faults the simulated unit can put on its answers: per run (a rate, or the n-th request) or for the
// next request only.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace plx::sim {

enum class FaultKind {
    no_answer,      // the request is lost: not executed, not answered
    bad_checksum,   // one data byte altered after the check sum was computed
    wrong_address,  // answered under the next slave address, with a check sum that fits it
    exception,      // exception 04 (slave device failure) instead of the answer; nothing executed
    split,          // the answer goes out in three pieces with gaps between them
    noise,          // one to three stray bytes before the answer
    slow,           // the answer comes late (the slow delay on top of the response time)
    truncated,      // the tail of the answer is missing
    stale_transaction,  // behind the Modbus TCP gateway: the answer carries the transaction id before
};

struct FaultKindInfo {
    FaultKind kind;
    std::string_view name;
    std::string_view description;
};

const std::vector<FaultKindInfo>& fault_kinds();
std::string_view fault_name(FaultKind kind);
std::optional<FaultKind> fault_from_name(std::string_view name);

// One rule of a run: every answered request meets it with probability `rate`, or exactly request
// number `at_request` (1-based, counting the requests addressed to this unit).
struct FaultRule {
    FaultRule() = default;
    FaultRule(FaultKind k, double r = 1.0, std::optional<std::size_t> at = std::nullopt)
        : kind(k), rate(r), at_request(at) {}

    FaultKind kind = FaultKind::no_answer;
    double rate = 1.0;
    std::optional<std::size_t> at_request;
    // only requests of this function code meet the rule
    std::optional<std::uint8_t> function;
    // the code an exception fault answers with
    std::uint8_t exception_code = 0x04;
};

// "KIND", "KIND:RATE" (0 < RATE <= 1) or "KIND@N", each optionally followed by ",fn=FN" (a function
// code in hex: only those requests). KIND "exception-NN" is an exception with the hex code NN. An
// error text explains a refusal.
struct ParsedFault {
    std::optional<FaultRule> rule;
    std::string error;
};
ParsedFault parse_fault(std::string_view text);

class FaultPlan {
public:
    explicit FaultPlan(std::uint32_t seed = 1) : rng_(seed) {}

    void add(const FaultRule& rule) { rules_.push_back(rule); }
    // Queues a fault for the next request, ahead of the run's rules.
    void inject_next(FaultKind kind) { next_.push_back(kind); }
    void clear() {
        rules_.clear();
        next_.clear();
    }
    bool empty() const { return rules_.empty() && next_.empty(); }

    // The fault for request number `request` (1-based) of this function code, if any; the first
    // rule that hits wins.
    std::optional<FaultKind> draw(std::size_t request, std::uint8_t function = 0);
    // The exception code of the rule the last draw hit (04 for a fault queued by inject_next).
    std::uint8_t exception_code() const { return exception_code_; }

    std::mt19937& rng() { return rng_; }

private:
    std::vector<FaultRule> rules_;
    std::deque<FaultKind> next_;
    std::mt19937 rng_;
    std::uint8_t exception_code_ = 0x04;
};

}  // namespace plx::sim
