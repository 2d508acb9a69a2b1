#include "device/requests.h"

#include "device/register_map.h"
#include "device/word_codec.h"

namespace plx::device::requests {

namespace {

using namespace regmap;

std::uint16_t u16(int v) {
    return static_cast<std::uint16_t>(v);
}

std::string request(std::string_view slave, std::uint8_t fn, int start, int count) {
    return std::string(slave) + hex2(fn) + hex4(u16(start)) + hex4(u16(count));
}

std::string bytes_hex(std::span<const std::uint8_t> bytes) {
    std::string out;
    for (std::uint8_t b : bytes) out += hex2(b);
    return out;
}

}  // namespace

std::string read_cfg_block(std::string_view slave, int first_register) {
    return request(slave, fn_read_holding_registers, cfg_register_group.address(first_register),
                   cfg_register_group.read_count);
}

std::string read_response_time(std::string_view slave) {
    return request(slave, fn_read_holding_registers, cfg_register_group.address(response_time_register), 1);
}

std::string read_identification(std::string_view slave) {
    return request(slave, fn_read_holding_registers, cfg_register_group.start, identification_register_count);
}

std::string read_cfg_bits(std::string_view slave) {
    return request(slave, fn_read_coils, cfg_bit_group.start, cfg_bit_group.read_count);
}

std::string read_input_registers(std::string_view slave) {
    return request(slave, fn_read_holding_registers,
                   input_register_group.address(input_register_group.read_first),
                   input_register_group.read_count);
}

std::string read_input_bits(std::string_view slave) {
    return request(slave, fn_read_coils, input_bit_group.start, input_bit_group.read_count);
}

std::string read_output_registers(std::string_view slave) {
    return request(slave, fn_read_holding_registers, output_register_group.start,
                   output_register_group.read_count);
}

std::string write_cfg_block(std::string_view slave, int first_register, std::span<const std::string> words) {
    std::string out = request(slave, fn_write_registers, cfg_register_group.address(first_register),
                              static_cast<int>(words.size()));
    out += hex2(static_cast<std::uint8_t>(2 * words.size()));
    for (const auto& w : words) out += w;
    return out;
}

std::string write_cfg_bits(std::string_view slave, std::span<const std::uint8_t> bytes) {
    return request(slave, fn_write_coils, cfg_bit_group.start, cfg_bit_group.write_count) +
           hex2(static_cast<std::uint8_t>(bytes.size())) + bytes_hex(bytes);
}

std::string write_input_register(std::string_view slave, int k, std::string_view word) {
    return request(slave, fn_write_registers, input_register_group.address(k), 1) + hex2(2) +
           std::string(word);
}

std::string write_input_bits(std::string_view slave, std::span<const std::uint8_t> bytes) {
    return request(slave, fn_write_coils, input_bit_group.start, input_bit_group.write_count) +
           hex2(static_cast<std::uint8_t>(bytes.size())) + bytes_hex(bytes);
}

}  // namespace plx::device::requests
