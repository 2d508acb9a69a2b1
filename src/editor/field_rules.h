#pragma once
// Small rules shared by the field handlers: reading a holder text as a number or as a list index.

#include <optional>
#include <stdexcept>
#include <string>

#include "controls/controls.h"

namespace plx::editor::detail {

// Ends a handler at once: the text is no number, or the index lies outside the list.
struct HandlerError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double number_or_throw(const std::string& text, char separator);

// The text as a list index (rounded half to even, as the integer conversion of list values does).
int index_or_throw(const std::string& text, char separator);

// Selects entry i; an index outside the list (also a negative one: a holder never means "no
// selection") ends the handler.
void select_or_throw(controls::ComboBox& list, int i);

bool contains(const std::string& text, char ch);

// The key filter of a number field for a key other than a digit or Backspace: the sign where the
// field takes one, and "," or "." where it takes a decimal, either standing for the user's separator
// (the key becomes that separator); at most one of each per field. Anything else is discarded.
void filter_number_key(
    int& key, const std::string& text, char separator, bool takes_separator, bool takes_sign);


}  // namespace plx::editor::detail
