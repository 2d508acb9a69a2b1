#include "link/line_settings.h"

#include <vector>

namespace plx::link {

namespace {
std::optional<int> small_number(const std::string& s) {
    if (s.empty() || s.size() > 7) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}
}  // namespace

std::optional<LineSettings> parse_line_settings(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (fields.size() != 4) return std::nullopt;
    LineSettings out;
    const auto baud = small_number(fields[0]);
    const auto data = small_number(fields[2]);
    const auto stop = small_number(fields[3]);
    if (!baud || *baud < 50 || !data || *data < 5 || *data > 8 || !stop || (*stop != 1 && *stop != 2)) {
        return std::nullopt;
    }
    if (fields[1] != "E" && fields[1] != "O" && fields[1] != "N") return std::nullopt;
    out.baud = *baud;
    out.parity = fields[1][0];
    out.data_bits = *data;
    out.stop_bits = *stop;
    return out;
}

}  // namespace plx::link
