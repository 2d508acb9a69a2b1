#include "editor/field_rules.h"

#include <cmath>

#include "device/number_text.h"

namespace plx::editor::detail {

double number_or_throw(const std::string& text, char separator) {
    const std::optional<double> v = device::parse_number(text, separator);
    if (!v) throw HandlerError("not a number: " + text);
    return *v;
}

int index_or_throw(const std::string& text, char separator) {
    const double v = std::nearbyint(number_or_throw(text, separator));
    if (v < -1e6 || v > 1e6) throw HandlerError("no list index: " + text);
    return static_cast<int>(v);
}

void select_or_throw(controls::ComboBox& list, int i) {
    if (i < 0 || i >= list.list_count()) throw HandlerError("no list entry " + std::to_string(i));
    list.set_list_index(i);
}

bool contains(const std::string& text, char ch) { return text.find(ch) != std::string::npos; }

void filter_number_key(
    int& key, const std::string& text, char separator, bool takes_separator, bool takes_sign) {
    const int sep = static_cast<unsigned char>(separator);
    if (key == sep || key == ',' || key == '.') {
        // a decimal typed with the other separator is still a decimal, never the digits run together
        const bool has_one = contains(text, separator) || contains(text, ',') || contains(text, '.');
        key = takes_separator && !has_one ? sep : 0;
        return;
    }
    if (key == '-' && takes_sign && !contains(text, '-')) return;
    key = 0;
}

}  // namespace plx::editor::detail
