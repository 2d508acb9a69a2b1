#pragma once
// The captions of the configuration registers and bits as the main window shows them, in either
// language: the window's design, the parameter file's second field, and plx24ctl's reports read them
// from here.

#include <string>

namespace plx::lang {

// As they stand on the window, padding blanks and colon included: "Min-Response-Time [ms]:".
std::string cfg_register_caption(int k, const std::string& language_code);
std::string cfg_bit_caption(int j, const std::string& language_code);

// A caption as messages name the field: "Min-Response-Time [ms]", blanks run together, no colon.
std::string field_name(const std::string& caption);

}  // namespace plx::lang
