#include "modbus/line_settings.h"

#include <vector>

namespace plx::modbus {

namespace {

std::optional<int> small_number(std::string_view s) {
    if (s.empty() || s.size() > 7) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace

std::optional<int> parse_baud(std::string_view text) {
    const auto b = small_number(text);
    for (int known : kBauds) {
        if (b == known) return known;
    }
    return std::nullopt;
}

std::optional<char> parse_parity(std::string_view text) {
    const std::string t = lower(text);
    if (t == "e" || t == "even") return 'E';
    if (t == "o" || t == "odd") return 'O';
    if (t == "n" || t == "none") return 'N';
    return std::nullopt;
}

std::optional<Framing> parse_mode(std::string_view text) {
    const std::string t = lower(text);
    if (t == "rtu") return Framing::rtu;
    if (t == "ascii") return Framing::ascii;
    return std::nullopt;
}

std::string settings_text(const LineSettings& line) {
    return std::to_string(line.baud) + "," + line.parity + "," + std::to_string(data_bits(line.framing)) +
           ",1";
}

std::optional<LineSettings> parse_settings_text(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',') {
            fields.push_back(text.substr(from, i - from));
            from = i + 1;
        }
    }
    if (fields.size() != 4) return std::nullopt;
    const auto baud = small_number(fields[0]);
    const auto data = small_number(fields[2]);
    const auto stop = small_number(fields[3]);
    if (!baud || *baud < 50 || !data || (*data != 7 && *data != 8) || !stop || *stop != 1)
        return std::nullopt;
    if (fields[1] != "E" && fields[1] != "O" && fields[1] != "N") return std::nullopt;
    return LineSettings{*baud, fields[1][0], *data == 8 ? Framing::rtu : Framing::ascii};
}

std::string_view parity_text(char parity) {
    return parity == 'E' ? "Even" : parity == 'O' ? "Odd" : "None";
}

std::string describe(const LineSettings& line) {
    // a Modbus TCP gateway's serial side is its own
    if (line.framing == Framing::tcp) return "Modbus TCP";
    return std::to_string(line.baud) + " " + std::to_string(data_bits(line.framing)) + line.parity + "1 " +
           std::string(mode_text(line.framing));
}

std::chrono::microseconds character_time(const LineSettings& line) {
    const int bits = 1 + data_bits(line.framing) + (line.parity == 'N' ? 0 : 1) + 1;
    return std::chrono::microseconds(1'000'000LL * bits / (line.baud > 0 ? line.baud : 9600));
}

std::chrono::milliseconds transfer_time(const LineSettings& line, std::size_t characters) {
    const auto us = character_time(line) * static_cast<long long>(characters);
    return std::chrono::ceil<std::chrono::milliseconds>(us);
}

}  // namespace plx::modbus
