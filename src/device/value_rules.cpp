#include "device/value_rules.h"

#include <algorithm>

#include "device/number_text.h"
#include "device/register_map.h"
#include "lang/commission_texts.h"

namespace plx::device {

namespace {

// the window takes a typed value within this in a field without a range of its own
constexpr double kTypedLimit = 255;

int decimals_of(regmap::Scale scale) {
    return scale == regmap::Scale::tenths ? 1 : 0;
}

std::size_t decimals_in(std::string_view text, char separator) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) return 0;
    std::string_view tail = text.substr(at + 1);
    while (!tail.empty() && tail.back() == ' ') tail.remove_suffix(1);
    return tail.size();
}

}  // namespace

FieldRule cfg_rule(int k) {
    const auto& r = regmap::cfg_registers.at(static_cast<std::size_t>(k));
    FieldRule rule;
    rule.decimals = decimals_of(r.scale);
    if (r.has_spinner || r.has_combo) {
        rule.lo = r.min;
        rule.hi = r.max;
    } else {
        rule.lo = -kTypedLimit;
        rule.hi = kTypedLimit;
    }
    if (k == regmap::button_count_register) rule.listed = regmap::button_variants;
    return rule;
}

FieldRule input_rule(int k) {
    const auto& r = regmap::input_registers.at(static_cast<std::size_t>(k));
    return {r.min, r.max, decimals_of(r.scale), {}};
}

RuleVerdict check_value(const FieldRule& rule, std::string_view text, char separator) {
    const auto v = parse_number(text, separator);
    if (!v) return RuleVerdict::not_a_number;
    if (*v < rule.lo || *v > rule.hi) return RuleVerdict::out_of_range;
    if (!rule.listed.empty() && std::find(rule.listed.begin(), rule.listed.end(), *v) == rule.listed.end())
        return RuleVerdict::out_of_range;
    if (decimals_in(text, separator) > static_cast<std::size_t>(rule.decimals))
        return RuleVerdict::too_many_decimals;
    return RuleVerdict::ok;
}

std::string rule_words(const FieldRule& rule, RuleVerdict verdict, const std::string& code, char separator) {
    using lang::CommissionText;
    if (verdict == RuleVerdict::too_many_decimals) {
        return lang::commission_text(
            rule.decimals == 0 ? CommissionText::whole_numbers : CommissionText::one_decimal, code);
    }
    if (!rule.listed.empty()) {
        std::string values;
        for (int v : rule.listed) values += (values.empty() ? "" : ", ") + std::to_string(v);
        return lang::commission_text(CommissionText::allowed_list, code, {values});
    }
    return lang::commission_text(CommissionText::allowed_range, code,
                                 {format_number(rule.lo, separator), format_number(rule.hi, separator)});
}

}  // namespace plx::device
