#include "transfer/records.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "device/register_map.h"
#include "lang/line_texts.h"
#include "lang/texts.h"

namespace plx::transfer {

namespace {

using device::Step;
using device::StepRef;
using lang::LineText;
using namespace device::regmap;

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
    return out;
}

// "0..5, 8, 12..13": runs of consecutive numbers as ranges
std::string number_runs(const std::vector<int>& numbers) {
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        runs.push_back(std::to_string(numbers[i]) + (j > i ? ".." + std::to_string(numbers[j]) : ""));
        i = j + 1;
    }
    return joined(runs, ", ");
}

// The stages in words, in the order of the Apply: blocks of consecutive registers together.
std::string stage_words(const std::vector<StepRef>& stages, const std::string& language) {
    std::vector<std::string> parts;
    std::vector<int> inputs;
    const auto flush_inputs = [&] {
        if (inputs.empty()) return;
        parts.push_back(lang::line_text(
            inputs.size() == 1 ? LineText::apply_input_register : LineText::apply_input_registers, language,
            {number_runs(inputs)}));
        inputs.clear();
    };
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const StepRef s = stages[i];
        if (s.step == Step::write_cfg_block) {
            std::size_t j = i;
            while (j + 1 < stages.size() && stages[j + 1].step == Step::write_cfg_block &&
                   stages[j + 1].first == stages[j].first + cfg_register_group.write_count) {
                ++j;
            }
            const int last = stages[j].first + cfg_register_group.write_count - 1;
            parts.push_back(lang::line_text(j == i ? LineText::apply_block : LineText::apply_blocks, language,
                                            {std::to_string(s.first), std::to_string(last)}));
            i = j;
        } else if (s.step == Step::write_cfg_bits) {
            parts.push_back(
                lang::line_text(LineText::cfg_bits_written, language, {std::to_string(cfg_bit_group.count)}));
        } else if (s.step == Step::write_input_register) {
            inputs.push_back(s.first);
            continue;
        } else if (s.step == Step::write_input_bits) {
            flush_inputs();
            parts.push_back(lang::line_text(LineText::input_bits_written, language,
                                            {std::to_string(input_bit_group.count)}));
        }
    }
    flush_inputs();
    return joined(parts, ", ");
}

std::string sentence(std::string text) {
    // "block 0..9 written": a sentence begins with a capital in either language
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

std::optional<std::string> ReadOutRecord::unread(const std::string& language_code) const {
    if (!started) return std::nullopt;
    std::optional<std::string> registers;
    if (cfg_registers_read < cfg_register_group.count) {
        // as the parameter file numbers them
        registers =
            lang::message(lang::Message::unread_registers, language_code,
                          {std::to_string(cfg_registers_read + 1), std::to_string(cfg_register_group.count)});
    }
    std::optional<std::string> bits;
    if (!cfg_bits_read) bits = lang::message(lang::Message::unread_cfg_bits, language_code);
    if (registers && bits)
        return lang::message(lang::Message::unread_both, language_code, {*registers, *bits});
    if (registers) return registers;
    return bits;
}

void ApplyRecord::begin(std::vector<StepRef> stages) {
    planned_ = std::move(stages);
    confirmed_.clear();
    begun_ = !planned_.empty();
}

void ApplyRecord::confirm(StepRef stage) {
    if (!running() || confirmed(stage)) return;
    if (std::find(planned_.begin(), planned_.end(), stage) == planned_.end()) return;
    confirmed_.push_back(stage);
}

void ApplyRecord::clear() {
    planned_.clear();
    confirmed_.clear();
    begun_ = false;
}

bool ApplyRecord::confirmed(StepRef stage) const {
    return std::find(confirmed_.begin(), confirmed_.end(), stage) != confirmed_.end();
}

std::string ApplyRecord::stages_text(const std::string& language_code) const {
    std::vector<StepRef> done;
    std::vector<StepRef> not_done;
    for (const StepRef& s : planned_) (confirmed(s) ? done : not_done).push_back(s);
    const std::string written = stage_words(done, language_code);
    const std::string not_written = stage_words(not_done, language_code);
    if (not_done.empty())
        return sentence(lang::line_text(LineText::apply_all_written, language_code, {written}));
    if (done.empty()) return lang::line_text(LineText::apply_nothing_written, language_code, {not_written});
    return sentence(
        lang::line_text(LineText::apply_written_not_written, language_code, {written, not_written}));
}

ApplyRecord::Counts ApplyRecord::counts() const {
    Counts c;
    for (const StepRef& s : confirmed_) {
        switch (s.step) {
            case Step::write_cfg_block:
                ++c.register_blocks;
                break;
            case Step::write_cfg_bits:
                c.cfg_bits += cfg_bit_group.count;
                break;
            case Step::write_input_register:
                ++c.input_registers;
                break;
            case Step::write_input_bits:
                c.input_bits += input_bit_group.count;
                break;
            default:
                break;
        }
    }
    return c;
}

}  // namespace plx::transfer
