#include "device/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace plx::device {

char separator_of(std::string_view decimal_separator) {
    return decimal_separator.empty() ? ',' : decimal_separator.front();
}

std::string format_number(double v, char separator) {
    if (v == 0.0 || !std::isfinite(v)) v = std::isfinite(v) ? 0.0 : v;  // no "-0"
    // as printf's "%.15g" would write it, without the locale and the format string's parsing: a
    // monitor puts a dozen values into words on every poll
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15).ptr;
    std::string s(buf, end);
    for (char& ch : s) {
        if (ch == '.') ch = separator;
    }
    return s;
}

std::optional<double> parse_number(std::string_view text, char separator) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    std::string normal;
    if (i < end && (text[i] == '-' || text[i] == '+')) normal += text[i++];
    bool digits = false;
    bool seen_separator = false;
    for (; i < end; ++i) {
        const char ch = text[i];
        if (std::isdigit(static_cast<unsigned char>(ch))) {
            digits = true;
            normal += ch;
        } else if (ch == separator && !seen_separator) {
            seen_separator = true;
            normal += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return std::strtod(normal.c_str(), nullptr);
}

double leading_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string normal;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) normal += text[i++];
    bool point = false;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (std::isdigit(static_cast<unsigned char>(ch))) {
            digits = true;
            normal += ch;
        } else if (ch == '.' && !point) {
            point = true;
            normal += ch;
        } else {
            break;
        }
    }
    return digits ? std::strtod(normal.c_str(), nullptr) : 0.0;
}

std::optional<double> version_number(const std::string& text, char decimal_separator) {
    for (const char sep : {decimal_separator, '.', ','}) {
        if (const auto v = parse_number(text, sep)) return v;
    }
    return std::nullopt;
}

}  // namespace plx::device
