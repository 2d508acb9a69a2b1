#include "paramfile/parameter_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "paramfile/cp1252.h"

namespace plx::paramfile {

namespace {

constexpr const char* kMaker = "Orvanto Sensortechnik GmbH";
constexpr const char* kProduct = "PLX24-RS485-Modbus Configuration Software";
constexpr const char* kVersionLabel = "Version: ";
// the same word in both languages
constexpr const char* kRegisterKey = "Register";
constexpr std::size_t kValueField = 2;
// keys in messages stay short, whatever a foreign line holds
constexpr std::size_t kMaxKeyChars = 40;

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == separator) {
            parts.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// 0 or 1 with blanks around it; the program writes nothing else into a bit line.
std::optional<int> bit_state(std::string_view text) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    if (i < end && text[i] == '+') ++i;
    if (i == end) return std::nullopt;
    int v = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
        if (v > 1) return std::nullopt;
    }
    return v;
}

bool is_binary(unsigned char b) {
    return (b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
}

std::string short_key(std::string_view field) {
    std::string key = cp1252_to_utf8(field.substr(0, kMaxKeyChars));
    if (field.size() > kMaxKeyChars) key += "...";
    return key;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// "Register 1 ;caption;value": the key word, blanks, the line's own number, and two fields after it.
bool has_shape(int number, std::string_view line, const ReadRules& rules) {
    const std::vector<std::string_view> parts = split(line, ';');
    if (parts.size() <= kValueField) return false;
    const std::string_view key = trimmed(parts.front());
    const bool bit_line = number >= kFirstBitLine;
    const int n = bit_line ? number - kFirstBitLine + 1 : number - kFirstRegisterLine + 1;
    const auto matches = [&](std::string_view word) {
        if (key.substr(0, word.size()) != word) return false;
        const std::string_view rest = key.substr(word.size());
        return !rest.empty() && (rest.front() == ' ' || rest.front() == '\t') &&
               trimmed(rest) == std::to_string(n);
    };
    if (!bit_line) return matches(kRegisterKey);
    for (const std::string& word : rules.bit_keys) {
        if (matches(word)) return true;
    }
    return false;
}

// A number written with the other separator is given with the one in use; anything else as it stands.
std::string in_separator(std::string text, char separator) {
    if (separator != '.' && separator != ',') return text;
    const char other = separator == '.' ? ',' : '.';
    int others = 0;
    for (const char ch : text) {
        if (ch == other) {
            ++others;
        } else if (ch != ' ' && ch != '\t' && ch != '-' && ch != '+' && (ch < '0' || ch > '9')) {
            return text;
        }
    }
    if (others == 1) std::replace(text.begin(), text.end(), other, separator);
    return text;
}

void take_line(ReadResult& r, int number, std::string_view line, const ReadRules& rules) {
    if (number < kFirstLoadedLine || number > kLineCount) return;
    const std::vector<std::string_view> parts = split(line, ';');
    const bool bit_line = number >= kFirstBitLine;
    if (parts.size() <= kValueField) {
        r.notes.push_back({number, short_key(parts.front()), LineProblem::too_few_fields});
        return;
    }
    if (!bit_line) {
        r.register_texts[static_cast<std::size_t>(number - kFirstRegisterLine)] =
            in_separator(cp1252_to_utf8(parts[kValueField]), rules.decimal_separator);
        return;
    }
    if (const auto state = bit_state(parts[kValueField])) {
        r.bit_states[static_cast<std::size_t>(number - kFirstBitLine)] = *state;
    } else {
        r.notes.push_back({number, short_key(parts.front()), LineProblem::not_a_bit_state});
    }
}

}  // namespace

std::string number_field(double v, char decimal_separator) {
    if (v == 0.0) v = 0.0;  // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", std::fabs(v));
    std::string digits(buf);
    for (char& ch : digits) {
        if (ch == '.') ch = decimal_separator;
    }
    return (v < 0 ? "-" : " ") + digits + " ";
}

std::vector<std::string> file_lines(const Contents& c) {
    const Header& h = c.header;
    const Labels& l = c.labels;
    std::vector<std::string> lines = {
        kMaker,
        "",
        kProduct,
        "",
        std::string(kVersionLabel) + (h.version ? number_field(*h.version, h.decimal_separator) : ""),
        h.date_text + h.time_text,
        "",
        l.baud + h.baud_text,
        l.mode + h.modbus_mode,
        l.parity + h.parity_text,
        l.address + h.address_text,
        "",
        l.advice,
        "",
    };
    lines.reserve(kLineCount);
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        lines.push_back(kRegisterKey + number_field(i + 1, h.decimal_separator) + ";" +
                        c.register_captions[k] + ";" + c.register_texts[k]);
    }
    for (int j = 0; j < kBitCount; ++j) {
        const auto k = static_cast<std::size_t>(j);
        lines.push_back(l.bit_key + number_field(j + 1, h.decimal_separator) + ";" + c.bit_captions[k] + ";" +
                        number_field(c.bit_states[k], h.decimal_separator));
    }
    return lines;
}

Written write(const Contents& c) {
    Written out;
    int number = 0;
    for (const std::string& line : file_lines(c)) {
        ++number;
        const Encoded e = utf8_to_cp1252(line);
        if (e.unencodable) {
            return Written{{}, number, *e.unencodable};
        }
        // a line break or control character inside a field would make a file the reader refuses
        for (const char ch : e.bytes) {
            if (is_binary(static_cast<unsigned char>(ch)) || ch == '\r' || ch == '\n') {
                return Written{{}, number, static_cast<unsigned char>(ch)};
            }
        }
        out.bytes += e.bytes;
        out.bytes += "\r\n";
    }
    return out;
}

std::string shape_key(int line, const ReadRules& rules) {
    if (line < kFirstBitLine)
        return std::string(kRegisterKey) + " " + std::to_string(line - kFirstRegisterLine + 1);
    const std::string word = rules.bit_keys.empty() ? std::string() : rules.bit_keys.front();
    return word + " " + std::to_string(line - kFirstBitLine + 1);
}

ReadResult read(std::string_view bytes, const ReadRules& rules) {
    ReadResult r;
    if (bytes.size() > kMaxFileBytes) {
        r.refusal = Refusal::too_large;
        return r;
    }
    // the whole file is checked first, so a refused file gives nothing at all
    int number = 1;
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\n' || b == '\r') {
            if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            ++number;
            length = 0;
            continue;
        }
        if (is_binary(b)) {
            r.refusal = Refusal::binary;
            r.refusal_line = number;
            return r;
        }
        if (++length > kMaxLineBytes) {
            r.refusal = Refusal::line_too_long;
            r.refusal_line = number;
            return r;
        }
    }

    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size() && lines.size() < static_cast<std::size_t>(kLineCount); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // another kind of text is refused before any of it is given: a file short of its first register
    // line cannot be told from one
    if (!rules.bit_keys.empty()) {
        for (const int number : kShapeLines) {
            const bool present = static_cast<int>(lines.size()) >= number;
            if ((present || number == kFirstRegisterLine) &&
                !(present && has_shape(number, lines[static_cast<std::size_t>(number - 1)], rules))) {
                r.refusal = Refusal::shape;
                r.refusal_line = number;
                return r;
            }
        }
    }
    for (const std::string_view line : lines) {
        ++r.complete_lines;
        take_line(r, r.complete_lines, line, rules);
    }
    return r;
}

}  // namespace plx::paramfile
