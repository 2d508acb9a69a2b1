#include "sim/faults.h"

#include <charconv>

namespace plx::sim {

const std::vector<FaultKindInfo>& fault_kinds() {
    static const std::vector<FaultKindInfo> kinds{
        {FaultKind::no_answer, "no-answer", "the request is lost: not executed, not answered"},
        {FaultKind::bad_checksum, "bad-checksum", "a data byte is altered after the check sum was computed"},
        {FaultKind::wrong_address, "wrong-address", "the answer carries the next slave address"},
        {FaultKind::exception, "exception",
         "exception 04 (slave device failure); exception-NN answers with the code NN\n"
         "                   (hex, e.g. exception-03); nothing is executed"},
        {FaultKind::split, "split", "the answer goes out in three pieces with gaps between them"},
        {FaultKind::noise, "noise", "one to three stray bytes come before the answer"},
        {FaultKind::slow, "slow", "the answer comes late (--slow-ms on top of the response time)"},
        {FaultKind::truncated, "truncated", "the tail of the answer is missing"},
        {FaultKind::stale_transaction, "stale-transaction",
         "over --tcp with --framing mbap: the gateway answers under the transaction id\n"
         "                   of the request before, as some do after a reconnect"},
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

namespace {

std::optional<std::uint8_t> hex_byte(std::string_view text) {
    unsigned v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
    if (text.size() != 2 || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return static_cast<std::uint8_t>(v);
}

}  // namespace

ParsedFault parse_fault(std::string_view text) {
    ParsedFault result;
    FaultRule rule;
    constexpr std::string_view only = ",fn=";
    if (const auto at = text.find(only); at != std::string_view::npos) {
        const auto fn = text.substr(at + only.size());
        rule.function = hex_byte(fn);
        if (!rule.function || *rule.function == 0) {
            result.error = "function '" + std::string(fn) + "' is not two hex digits such as 10";
            return result;
        }
        text = text.substr(0, at);
    }
    const auto sep = text.find_first_of(":@");
    std::string_view name = text.substr(0, sep);
    constexpr std::string_view coded = "exception-";
    if (name.substr(0, coded.size()) == coded) {
        const auto code = hex_byte(name.substr(coded.size()));
        if (!code || *code == 0) {
            result.error = "exception code '" + std::string(name.substr(coded.size())) + "' is not 01..FF in hex";
            return result;
        }
        rule.exception_code = *code;
        name = "exception";
    }
    const auto kind = fault_from_name(name);
    if (!kind) {
        result.error = "unknown fault kind '" + std::string(name) + "'";
        return result;
    }
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

std::optional<FaultKind> FaultPlan::draw(std::size_t request, std::uint8_t function) {
    exception_code_ = 0x04;
    if (!next_.empty()) {
        const FaultKind k = next_.front();
        next_.pop_front();
        return k;
    }
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    for (const auto& r : rules_) {
        if (r.function && *r.function != function) continue;
        if (r.at_request) {
            if (*r.at_request != request) continue;
        } else if (r.rate < 1.0 && chance(rng_) >= r.rate) {
            continue;
        }
        exception_code_ = r.exception_code;
        return r.kind;
    }
    return std::nullopt;
}

}  // namespace plx::sim
