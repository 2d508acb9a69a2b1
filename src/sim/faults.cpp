#include "sim/faults.h"

#include <charconv>

namespace plx::sim {

const std::vector<FaultKindInfo>& fault_kinds() {
    static const std::vector<FaultKindInfo> kinds{
        {FaultKind::no_answer, "no-answer", "the request is lost: not executed, not answered"},
        {FaultKind::bad_checksum, "bad-checksum", "a data byte is altered after the check sum was computed"},
        {FaultKind::wrong_address, "wrong-address", "the answer carries the next slave address"},
        {FaultKind::exception, "exception", "exception 04 (slave device failure); nothing is executed"},
        {FaultKind::split, "split", "the answer goes out in three pieces with gaps between them"},
        {FaultKind::noise, "noise", "one to three stray bytes come before the answer"},
        {FaultKind::slow, "slow", "the answer comes late (--slow-ms on top of the response time)"},
        {FaultKind::truncated, "truncated", "the tail of the answer is missing"},
    };
    return kinds;
}

std::string_view fault_name(FaultKind kind) {
    for (const auto& k : fault_kinds()) {
        if (k.kind == kind) return k.name;
    }
    return "?";
}

std::optional<FaultKind> fault_from_name(std::string_view name) {
    for (const auto& k : fault_kinds()) {
        if (k.name == name) return k.kind;
    }
    return std::nullopt;
}

ParsedFault parse_fault(std::string_view text) {
    ParsedFault result;
    const auto sep = text.find_first_of(":@");
    const auto name = text.substr(0, sep);
    const auto kind = fault_from_name(name);
    if (!kind) {
        result.error = "unknown fault kind '" + std::string(name) + "'";
        return result;
    }
    FaultRule rule;
    rule.kind = *kind;
    if (sep != std::string_view::npos) {
        const auto arg = text.substr(sep + 1);
        const char* first = arg.data();
        const char* last = arg.data() + arg.size();
        if (text[sep] == ':') {
            double rate = 0;
            const auto [end, ec] = std::from_chars(first, last, rate);
            if (ec != std::errc{} || end != last || !(rate > 0.0 && rate <= 1.0)) {
                result.error = "fault rate '" + std::string(arg) + "' is not a number in (0, 1]";
                return result;
            }
            rule.rate = rate;
        } else {
            std::size_t n = 0;
            const auto [end, ec] = std::from_chars(first, last, n);
            if (ec != std::errc{} || end != last || n == 0) {
                result.error = "request number '" + std::string(arg) + "' is not a whole number from 1 on";
                return result;
            }
            rule.at_request = n;
        }
    }
    result.rule = rule;
    return result;
}

std::optional<FaultKind> FaultPlan::draw(std::size_t request) {
    if (!next_.empty()) {
        const FaultKind k = next_.front();
        next_.pop_front();
        return k;
    }
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    for (const auto& r : rules_) {
        if (r.at_request) {
            if (*r.at_request == request) return r.kind;
            continue;
        }
        const bool hit = r.rate >= 1.0 || chance(rng_) < r.rate;
        if (hit) return r.kind;
    }
    return std::nullopt;
}

}  // namespace plx::sim
