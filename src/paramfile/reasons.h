#pragma once
// How the window and plx24ctl take a parameter file (values in the user's separator, the bit lines'
// first word in either language), and why one is refused, in the user's language.

#include <string>

#include "paramfile/parameter_file.h"

namespace plx::paramfile {

ReadRules read_rules(char decimal_separator);
// Why a file is not a parameter file, for "%1 ist keine Parameterdatei (%2)".
std::string refusal_reason(Refusal refusal, int line, const ReadRules& rules, const std::string& language_code);

}  // namespace plx::paramfile
