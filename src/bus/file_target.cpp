#include "bus/file_target.h"

namespace plx::bus {

FileCheck check_file(const paramfile::ReadResult& r, char separator) {
    FileCheck c;
    c.complete_lines = r.complete_lines;
    if (r.refused()) {
        c.problem = FileProblem::refused;
        c.refusal = r.refusal;
        c.line = r.refusal_line;
        return c;
    }
    if (!r.notes.empty()) {
        c.problem = FileProblem::bad_line;
        c.line = r.notes.front().line;
        c.key = r.notes.front().key;
        return c;
    }
    if (!r.complete()) {
        c.problem = FileProblem::incomplete;
        return c;
    }
    for (int k = kFirstWrittenRegister; k < kRegisterCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::string& text = r.register_texts[i].value();
        const ValueCheck v = check_register_text(k, text, separator);
        if (!v.word) {
            c.problem = v.encode_error != device::EncodeError::none ? FileProblem::not_sendable
                                                                    : FileProblem::refused_value;
            c.line = paramfile::kFirstRegisterLine + k;
            c.key = "Register " + std::to_string(k + 1);
            c.text = text;
            c.encode_error = v.encode_error;
            c.register_index = k;
            c.verdict = v.verdict;
            return c;
        }
        c.target.registers[i] = *v.word;
        c.texts[i] = text;
    }
    for (int j = 0; j < kBitCount; ++j)
        c.target.bits[static_cast<std::size_t>(j)] = r.bit_states[static_cast<std::size_t>(j)].value() == 1;
    return c;
}

ValueCheck check_register_text(int k, const std::string& text, char separator) {
    ValueCheck v;
    const device::EncodedWord w =
        device::encode_word(text, regmap::cfg_registers[static_cast<std::size_t>(k)].scale, separator);
    if (!w.ok()) {
        v.encode_error = w.error;
        return v;
    }
    // never rounded or cut to a word: what the window's field would refuse is not sent
    v.verdict = device::check_value(device::cfg_rule(k), text, separator);
    if (v.verdict == device::RuleVerdict::ok) v.word = static_cast<std::uint16_t>(std::stoul(w.hex, nullptr, 16));
    return v;
}

std::string register_text(int k, std::uint16_t word, char separator) {
    const auto& row = regmap::cfg_registers[static_cast<std::size_t>(k)];
    return device::shown_text(word, row.scale, row.sign, separator);
}

}  // namespace plx::bus
