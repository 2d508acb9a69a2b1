#include "device/chain.h"

#include <algorithm>

#include "device/register_map.h"
#include "device/requests.h"
#include "device/word_codec.h"

namespace plx::device {

namespace {

using namespace regmap;

constexpr int kBlock = cfg_register_group.read_count;

std::uint16_t u16(int v) {
    return static_cast<std::uint16_t>(v);
}

}  // namespace

std::vector<StepRef> read_out_chain(bool with_inputs) {
    std::vector<StepRef> chain;
    for (int first = 0; first < cfg_register_group.count; first += kBlock)
        chain.push_back({Step::read_cfg_block, first});
    chain.push_back({Step::read_cfg_bits, 0});
    if (with_inputs) {
        chain.push_back({Step::read_input_registers, input_register_group.read_first});
        chain.push_back({Step::read_input_bits, 0});
    }
    return chain;
}

std::vector<StepRef> write_chain(const WriteStages& stages) {
    std::vector<StepRef> chain;
    if (stages.configuration) {
        for (int first = 0; first < cfg_register_group.count; first += cfg_register_group.write_count)
            chain.push_back({Step::write_cfg_block, first});
        chain.push_back({Step::write_cfg_bits, 0});
    }
    for (int k : stages.input_registers) chain.push_back({Step::write_input_register, k});
    if (stages.input_bits) chain.push_back({Step::write_input_bits, 0});
    return chain;
}

std::optional<StepRef> next_step(std::span<const StepRef> chain, StepRef step) {
    const auto it = std::find(chain.begin(), chain.end(), step);
    if (it == chain.end() || it + 1 == chain.end()) return std::nullopt;
    return *(it + 1);
}

std::string read_request(StepRef step, std::string_view slave) {
    switch (step.step) {
        case Step::read_response_time:
            return requests::read_response_time(slave);
        case Step::read_identification:
            return requests::read_identification(slave);
        case Step::read_cfg_block:
            return requests::read_cfg_block(slave, step.first);
        case Step::read_cfg_bits:
            return requests::read_cfg_bits(slave);
        case Step::read_input_registers:
            return requests::read_input_registers(slave);
        case Step::read_input_bits:
            return requests::read_input_bits(slave);
        case Step::read_output_registers:
            return requests::read_output_registers(slave);
        default:
            return {};
    }
}

std::string write_request(StepRef step, std::string_view slave, std::span<const std::string> words) {
    switch (step.step) {
        case Step::write_cfg_block:
            return requests::write_cfg_block(slave, step.first, words);
        case Step::write_input_register:
            return words.empty() ? std::string{}
                                 : requests::write_input_register(slave, step.first, words[0]);
        default:
            return {};
    }
}

std::string write_request(StepRef step, std::string_view slave, std::span<const int> bits) {
    switch (step.step) {
        case Step::write_cfg_bits:
            return requests::write_cfg_bits(slave, pack_bits(bits));
        case Step::write_input_bits:
            return requests::write_input_bits(slave, pack_bits(bits));
        default:
            return {};
    }
}

Awaited awaited(StepRef step) {
    switch (step.step) {
        case Step::read_response_time:
            return {fn_read_holding_registers, cfg_register_group.address(response_time_register), 1};
        case Step::read_identification:
            return {fn_read_holding_registers, cfg_register_group.start, identification_register_count};
        case Step::read_cfg_block:
            return {fn_read_holding_registers, cfg_register_group.address(step.first),
                    u16(cfg_register_group.read_count)};
        case Step::read_cfg_bits:
            return {fn_read_coils, cfg_bit_group.start, u16(cfg_bit_group.read_count)};
        case Step::read_input_registers:
            return {fn_read_holding_registers, input_register_group.address(input_register_group.read_first),
                    u16(input_register_group.read_count)};
        case Step::read_input_bits:
            return {fn_read_coils, input_bit_group.start, u16(input_bit_group.read_count)};
        case Step::read_output_registers:
            return {fn_read_holding_registers, output_register_group.start,
                    u16(output_register_group.read_count)};
        case Step::write_cfg_block:
            return {fn_write_registers, cfg_register_group.address(step.first),
                    u16(cfg_register_group.write_count)};
        case Step::write_cfg_bits:
            return {fn_write_coils, cfg_bit_group.start, u16(cfg_bit_group.write_count)};
        case Step::write_input_register:
            return {fn_write_registers, input_register_group.address(step.first),
                    u16(input_register_group.write_count)};
        case Step::write_input_bits:
            return {fn_write_coils, input_bit_group.start, u16(input_bit_group.write_count)};
    }
    return {0, 0, 0};
}

bool is_awaited(std::string_view request_string, const Awaited& a) {
    const auto fn = frame_byte(request_string, 1);
    const auto s_hi = frame_byte(request_string, 2);
    const auto s_lo = frame_byte(request_string, 3);
    const auto q_hi = frame_byte(request_string, 4);
    const auto q_lo = frame_byte(request_string, 5);
    if (!fn || !s_hi || !s_lo || !q_hi || !q_lo) return false;
    return *fn == a.function && ((*s_hi << 8) | *s_lo) == a.start && ((*q_hi << 8) | *q_lo) == a.quantity;
}

std::optional<std::vector<std::uint16_t>> answer_words(StepRef step, std::string_view response_text) {
    const Awaited a = awaited(step);
    if (a.function != fn_read_holding_registers) return std::nullopt;
    std::vector<std::uint16_t> words(a.quantity);
    for (std::size_t w = 0; w < words.size(); ++w) {
        const auto v = word_at(response_text, static_cast<int>(w));
        if (!v) return std::nullopt;
        words[w] = *v;
    }
    return words;
}

std::optional<std::vector<int>> answer_bits(StepRef step, std::string_view response_text) {
    const Awaited a = awaited(step);
    if (a.function != fn_read_coils) return std::nullopt;
    std::vector<int> bits(a.quantity);
    for (std::size_t j = 0; j < bits.size(); ++j) {
        const auto b = byte_at(response_text, static_cast<int>(j / 8));
        if (!b) return std::nullopt;
        bits[j] = (*b >> (j % 8)) & 1;
    }
    return bits;
}

}  // namespace plx::device
