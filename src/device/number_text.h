#pragma once
// Numbers as the user sees them: the user's decimal separator, shortest form, at most 15
// significant digits (so 21.5 + 0.1 shows as 21.6, never as a floating-point residue).

#include <optional>
#include <string>
#include <string_view>

namespace plx::device {

// The separator in force: the first character of decimal_separator, "," when that is empty.
char separator_of(std::string_view decimal_separator);

std::string format_number(double v, char separator);
// A whole text as a number: optional blanks, an optional sign, digits with at most one separator.
// Anything else (empty, "-", a lone separator, letters, the other separator) is not a number.
std::optional<double> parse_number(std::string_view text, char separator);
// The number at the start of a text, read with "." as decimal point; 0 when there is none.
double leading_number(std::string_view text);

// A version text ("1,5", "1.5") as a number, in the user's separator or either of the usual ones.
std::optional<double> version_number(const std::string& text, char decimal_separator);

}  // namespace plx::device
