#pragma once
// The values a field takes, once for the window and plx24ctl: the range of its spinner, the values of
// its list, the window's limit of a typed value for a field with neither, and its decimals (one in
// tenths, none otherwise). A value outside them is refused, never rounded or sent.

#include <span>
#include <string>
#include <string_view>

namespace plx::device {

struct FieldRule {
    double lo = 0;
    double hi = 0;
    int decimals = 0;
    // the only values taken when they are no run from lo to hi (the number of buttons)
    std::span<const int> listed;
};

// Configuration register k (0 .. 59) and input register k (7 .. 27) as the window edits them.
FieldRule cfg_rule(int k);
FieldRule input_rule(int k);

enum class RuleVerdict {
    ok,
    not_a_number,       // no number with the separator given (empty included)
    out_of_range,       // beyond lo .. hi, or not one of the listed values
    too_many_decimals,  // more digits after the separator than the field holds
};

// The text as the field would hold it, with the user's decimal separator.
RuleVerdict check_value(const FieldRule& rule, std::string_view text, char separator);

// What the rule allows, in the words the window uses for a refused value: "allowed are -10 to 10",
// "allowed are 2, 4, 8, 12", "at most one decimal place".
std::string rule_words(const FieldRule& rule,
                       RuleVerdict verdict,
                       const std::string& language_code,
                       char separator);

}  // namespace plx::device
