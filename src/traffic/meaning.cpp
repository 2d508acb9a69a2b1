#include "traffic/meaning.h"

#include "device/number_text.h"
#include "device/register_map.h"
#include "device/word_codec.h"
#include "lang/line_texts.h"
#include "lang/texts.h"
#include "modbus/wandeln.h"

namespace plx::traffic {

namespace {

using lang::LineText;
using namespace device::regmap;

bool english(const Style& style) {
    return lang::is_english(style.language_code);
}

std::string say(LineText id, const Style& style, const std::vector<std::string>& args = {}) {
    return lang::line_text(id, style.language_code, args);
}

std::uint16_t word_of(const std::vector<std::uint8_t>& data, std::size_t at) {
    return static_cast<std::uint16_t>((data[at] << 8) | data[at + 1]);
}

// A run of points of one group a request names: indices first .. last of the group.
struct Points {
    const Group* group = nullptr;
    LineText name = LineText::group_cfg_registers;
    LineText one = LineText::group_cfg_register;
    int first = 0;
    int last = 0;
    bool whole_group() const { return first == 0 && last == group->count - 1; }
};

std::optional<Points> points_of(std::uint8_t function, std::uint16_t start, std::uint16_t quantity) {
    if (quantity == 0) return std::nullopt;
    const bool coils = function == fn_read_coils || function == fn_write_coils;
    const bool registers = function == fn_read_holding_registers || function == fn_write_registers;
    if (!coils && !registers) return std::nullopt;
    struct Candidate {
        const Group* group;
        LineText name;
        LineText one;
    };
    const Candidate candidates[] = {
        {&cfg_register_group, LineText::group_cfg_registers, LineText::group_cfg_register},
        {&output_register_group, LineText::group_output_registers, LineText::group_output_register},
        {&input_register_group, LineText::group_input_registers, LineText::group_input_register},
        {&cfg_bit_group, LineText::group_cfg_bits, LineText::group_cfg_bit},
        {&input_bit_group, LineText::group_input_bits, LineText::group_input_bit},
    };
    for (const Candidate& c : candidates) {
        if ((c.group->table == Table::coils) != coils) continue;
        const int end = start + quantity - 1;
        if (end > 0xFFFF) return std::nullopt;
        const auto first = index_of(*c.group, start);
        const auto last = index_of(*c.group, static_cast<std::uint16_t>(end));
        if (first && last) return Points{c.group, c.name, c.one, *first, *last};
    }
    return std::nullopt;
}

const char* point_meaning(const Points& p, int index, bool en) {
    const auto i = static_cast<std::size_t>(index);
    if (p.group == &cfg_register_group) return en ? cfg_registers[i].meaning : cfg_registers[i].meaning_de;
    if (p.group == &output_register_group)
        return en ? output_registers[i].meaning : output_registers[i].meaning_de;
    if (p.group == &input_register_group)
        return en ? input_registers[i].meaning : input_registers[i].meaning_de;
    if (p.group == &cfg_bit_group) return en ? cfg_bits[i].meaning : cfg_bits[i].meaning_de;
    return en ? input_bits[i].meaning : input_bits[i].meaning_de;
}

// "Konfigurationsregister 30..39", "Konfigurationsbits", "Konfigurationsregister 33 (minimale ...)".
std::string points_text(const Points& p, const Style& style) {
    if (p.first == p.last) {
        return say(p.one, style) + " " + std::to_string(p.first) + " (" +
               point_meaning(p, p.first, english(style)) + ")";
    }
    const std::string text = say(p.name, style);
    if (p.group->table == Table::coils && p.whole_group()) return text;
    return text + " " + std::to_string(p.first) + ".." + std::to_string(p.last);
}

std::string value_text(const Points& p, int index, std::uint16_t word, const Style& style) {
    const auto i = static_cast<std::size_t>(index);
    Scale scale = Scale::integer;
    Sign sign = Sign::signed16;
    if (p.group == &cfg_register_group) {
        scale = cfg_registers[i].scale;
        sign = cfg_registers[i].sign;
    } else if (p.group == &output_register_group) {
        scale = output_registers[i].scale;
        sign = output_registers[i].sign;
    } else if (p.group == &input_register_group) {
        scale = input_registers[i].scale;
    }
    if (scale == Scale::bcd) {
        // the clock's digits are the word's hex digits
        std::string digits = device::hex4(word);
        while (digits.size() > 1 && digits.front() == '0') digits.erase(digits.begin());
        return digits;
    }
    return device::shown_text(word, scale, sign, style.decimal_separator);
}

// "30=10; 31=0; 34=-1,5": the words from data[at] on, one per point from p.first.
std::string register_values(const Points& p,
                            const std::vector<std::uint8_t>& data,
                            std::size_t at,
                            const Style& style) {
    std::string out;
    for (int k = p.first; k <= p.last && at + 1 < data.size(); ++k, at += 2) {
        if (!out.empty()) out += "; ";
        out += std::to_string(k) + "=" + value_text(p, k, word_of(data, at), style);
    }
    return out;
}

// "gesetzt: 0, 3, 24": the bits of the bytes from data[at] on, one per point from p.first.
std::string bit_values(const Points& p,
                       const std::vector<std::uint8_t>& data,
                       std::size_t at,
                       const Style& style) {
    std::string set;
    for (int j = 0; j <= p.last - p.first; ++j) {
        const std::size_t byte = at + static_cast<std::size_t>(j / 8);
        if (byte >= data.size()) break;
        if (((data[byte] >> (j % 8)) & 1) == 0) continue;
        if (!set.empty()) set += ", ";
        set += std::to_string(p.first + j);
    }
    return set.empty() ? say(LineText::no_bit_set, style) : say(LineText::bits_set, style, {set});
}

std::string generic(const modbus::Adu& adu, const Style& style) {
    return say(
        LineText::generic_frame, style,
        {std::to_string(adu.address), modbus::byte_to_hex(adu.function), std::to_string(adu.data.size())});
}

struct Addressed {
    std::uint16_t start;
    std::uint16_t quantity;
};

// Start and quantity of a request of the four functions, when its data are complete.
std::optional<Addressed> addressed(const modbus::Adu& request) {
    const auto& d = request.data;
    if (d.size() < 4) return std::nullopt;
    const Addressed a{word_of(d, 0), word_of(d, 2)};
    switch (request.function) {
        case fn_read_coils:
        case fn_read_holding_registers:
            if (d.size() != 4) return std::nullopt;
            return a;
        case fn_write_coils:
        case fn_write_registers:
            // start, quantity, byte count, the values
            if (d.size() < 5 || d.size() != 5U + d[4]) return std::nullopt;
            if (request.function == fn_write_registers && d[4] != 2 * a.quantity) return std::nullopt;
            if (request.function == fn_write_coils && d[4] != (a.quantity + 7) / 8) return std::nullopt;
            return a;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string raw_text(std::span<const std::uint8_t> bytes, modbus::Framing framing) {
    std::string out;
    if (framing != modbus::Framing::ascii) {
        out.reserve(3 * bytes.size());
        for (std::uint8_t b : bytes) {
            if (!out.empty()) out += ' ';
            out += modbus::byte_to_hex(b);
        }
        return out;
    }
    for (std::uint8_t b : bytes) {
        if (b == '\r') {
            out += "<CR>";
        } else if (b == '\n') {
            out += "<LF>";
        } else if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
        } else {
            out += "<" + modbus::byte_to_hex(b) + ">";
        }
    }
    return out;
}

std::string request_meaning(const modbus::Adu& request, const Style& style) {
    const auto a = addressed(request);
    const auto p = a ? points_of(request.function, a->start, a->quantity) : std::nullopt;
    if (!p) return generic(request, style);
    const std::string what = points_text(*p, style);
    switch (request.function) {
        case fn_read_coils:
        case fn_read_holding_registers:
            return say(LineText::read, style, {what});
        case fn_write_registers:
            return say(LineText::write, style, {what}) + ": " + register_values(*p, request.data, 5, style);
        default:
            return say(LineText::write, style, {what}) + ": " + bit_values(*p, request.data, 5, style);
    }
}

std::string request_title(const modbus::Adu& request, const Style& style) {
    const auto a = addressed(request);
    const auto p = a ? points_of(request.function, a->start, a->quantity) : std::nullopt;
    if (!p) return generic(request, style);
    const bool read = request.function == fn_read_coils || request.function == fn_read_holding_registers;
    return say(read ? LineText::read : LineText::write, style, {points_text(*p, style)});
}

std::string answer_meaning(const modbus::Adu& answer, const modbus::Adu* request, const Style& style) {
    if ((answer.function & 0x80) != 0 && answer.data.size() == 1)
        return exception_text(answer.data[0], style.language_code);
    if (request == nullptr || request->function != answer.function) return generic(answer, style);
    const auto a = addressed(*request);
    const auto p = a ? points_of(request->function, a->start, a->quantity) : std::nullopt;
    if (!p) return generic(answer, style);
    const auto& d = answer.data;
    switch (answer.function) {
        case fn_read_holding_registers:
            if (d.empty() || d.size() != 1U + d[0] || d[0] != 2 * a->quantity) return generic(answer, style);
            return register_values(*p, d, 1, style);
        case fn_read_coils:
            if (d.empty() || d.size() != 1U + d[0] || d[0] != (a->quantity + 7) / 8)
                return generic(answer, style);
            return bit_values(*p, d, 1, style);
        default:
            // a write is confirmed by its start and quantity
            if (d.size() != 4 || word_of(d, 0) != a->start || word_of(d, 2) != a->quantity)
                return generic(answer, style);
            return say(LineText::confirmed, style, {points_text(*p, style)});
    }
}

std::string exception_text(int code, const std::string& language_code) {
    const std::string hex = modbus::byte_to_hex(static_cast<std::uint8_t>(code));
    const std::string meaning = lang::exception_meaning(code, language_code);
    if (meaning.empty()) return lang::line_text(LineText::exception_code_only, language_code, {hex});
    return lang::line_text(LineText::exception_with_meaning, language_code, {hex, meaning});
}

std::string verdict_text(modbus::Verdict verdict, int exception_code, const std::string& language_code) {
    const auto say_it = [&](LineText id) { return lang::line_text(id, language_code); };
    switch (verdict) {
        case modbus::Verdict::ok:
            return say_it(LineText::verdict_ok);
        case modbus::Verdict::check_sum_wrong:
            return say_it(LineText::verdict_check_sum_wrong);
        case modbus::Verdict::wrong_slave_address:
            return say_it(LineText::verdict_wrong_slave_address);
        case modbus::Verdict::exception:
            return exception_text(exception_code, language_code);
        case modbus::Verdict::misfit:
            return say_it(LineText::verdict_misfit);
        case modbus::Verdict::echo:
            return say_it(LineText::verdict_echo);
        case modbus::Verdict::no_request:
            return say_it(LineText::verdict_no_request);
        case modbus::Verdict::discarded:
            return say_it(LineText::verdict_discarded);
        case modbus::Verdict::time_out:
            return say_it(LineText::verdict_time_out);
        case modbus::Verdict::other_transaction:
            return say_it(LineText::verdict_other_transaction);
    }
    return {};
}

std::string exception_advice(int code, const std::string& language_code) {
    if (code == 0x0A) return lang::line_text(LineText::advice_gateway_path, language_code);
    if (code == 0x0B) return lang::line_text(LineText::advice_gateway_target, language_code);
    return {};
}

std::string link_event_text(modbus::LinkEvent event, const std::string& detail, const std::string& language_code) {
    // the detail is "host:port" or "host:port: the system's words"
    const auto colon = detail.find(": ");
    const std::string where = colon == std::string::npos ? detail : detail.substr(0, colon);
    const std::string why = colon == std::string::npos ? std::string{} : detail.substr(colon + 2);
    switch (event) {
        case modbus::LinkEvent::connected:
            return lang::line_text(LineText::link_connected, language_code, {where});
        case modbus::LinkEvent::closed:
            return lang::line_text(LineText::link_closed, language_code, {detail});
        case modbus::LinkEvent::reconnected:
            return lang::line_text(LineText::link_reconnected, language_code, {where});
        case modbus::LinkEvent::connect_failed:
            return lang::line_text(LineText::link_connect_failed, language_code, {where, why});
    }
    return {};
}

}  // namespace plx::traffic
