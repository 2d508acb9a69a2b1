#include "sim/unit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plx::sim {

namespace {

using regmap::Group;

// The six setpoints (temperature 1, 2, percent 1, 2, value 1, 2) each have four configuration
// registers (upper range, lower range, resolution, basic setpoint after reset), an offset and a
// basic setpoint among the input registers, and an offset and an effective value among the outputs.
constexpr int setpoint_count = 6;
constexpr int cfg_setpoint_first = 35;
constexpr int in_offset_first = 14;
constexpr int in_basic_first = 20;
constexpr int out_setpoint_first = 3;
constexpr int cfg_temperature_offset = 34;
constexpr int cfg_button_count = 2;
constexpr int cfg_fan_stages = 59;
constexpr int in_fan_stage = 26;
constexpr int in_occupancy = 27;
constexpr int out_button_word_0 = 0;
constexpr int out_button_word_1 = 1;
constexpr int out_room_temperature = 2;
constexpr int out_fan_stage = 15;
constexpr int out_occupancy = 16;
constexpr int in_bit_deactivate_setpoint = 15;
// a button held this long counts as a long press in the second button word
constexpr int long_press_s = 2;

// the three sides of a temperature setpoint agree on tenths, so the unit adds raw words
static_assert(regmap::is_tenths_cfg(cfg_setpoint_first) && regmap::is_tenths_in(in_offset_first) &&
              regmap::is_tenths_in(in_basic_first) && regmap::is_tenths_out(out_setpoint_first + 1));
static_assert(regmap::is_tenths_out(out_room_temperature) && regmap::is_tenths_cfg(cfg_temperature_offset));
static_assert(regmap::is_unsigned_out(out_button_word_0) && regmap::is_unsigned_out(out_button_word_1));
static_assert(cfg_setpoint_first + 4 * setpoint_count == cfg_fan_stages);

std::int16_t as_signed(std::uint16_t w) { return static_cast<std::int16_t>(w); }
std::uint16_t as_word(long v) { return static_cast<std::uint16_t>(static_cast<std::int16_t>(v)); }
std::uint16_t word_at(std::span<const std::uint8_t> pdu, std::size_t pos) {
    return static_cast<std::uint16_t>(pdu[pos] << 8 | pdu[pos + 1]);
}
void put_word(std::vector<std::uint8_t>& out, std::uint16_t w) {
    out.push_back(static_cast<std::uint8_t>(w >> 8));
    out.push_back(static_cast<std::uint8_t>(w & 0xFF));
}

// The group that holds the whole range [start, start + quantity), if any.
const Group* group_for(std::span<const Group* const> groups, unsigned start, unsigned quantity) {
    for (const Group* g : groups) {
        const unsigned first = g->start;
        const unsigned end = first + static_cast<unsigned>(g->count);
        if (start >= first && start + quantity <= end) return g;
    }
    return nullptr;
}

constexpr const Group* holding_groups[] = {
    &regmap::cfg_register_group,
    &regmap::output_register_group,
    &regmap::input_register_group,
};
constexpr const Group* coil_groups[] = {
    &regmap::cfg_bit_group,
    &regmap::input_bit_group,
};

}  // namespace

UnitTables factory_tables() {
    UnitTables t;
    auto& c = t.cfg_registers;
    c[0] = 24;   // device coding
    c[1] = 112;  // firmware 1.12
    c[cfg_button_count] = 4;
    c[3] = 1;  // location code
    c[4] = 40;
    c[5] = 200;
    c[6] = 30;
    c[7] = 180;
    // T1/T2 adjust setpoint temperature 1, T3 steps the fan with AUTO, T4 marks the room occupied
    c[8] = 1;
    c[9] = 2;
    c[10] = 13;
    c[11] = 19;
    c[28] = 2;  // weekday, date and time in German, with seconds, 24-hour mode
    c[29] = 2;
    c[30] = 1;
    c[31] = 0;
    c[32] = 5;   // display update, s
    c[33] = 20;  // minimum response time, ms
    c[cfg_temperature_offset] = 0;
    const std::array<std::array<long, 4>, setpoint_count> setpoints{{
        {30, -30, 5, 210},    // temperature 1: +3.0 / -3.0 K, 0.5 K steps, 21.0 degC
        {20, -20, 5, 190},    // temperature 2
        {20, -20, 5, 50},     // percent 1
        {10, -10, 1, 30},     // percent 2
        {100, -100, 10, 500}, // value 1
        {50, -50, 5, 250},    // value 2
    }};
    for (int s = 0; s < setpoint_count; ++s) {
        for (int n = 0; n < 4; ++n) {
            c[static_cast<std::size_t>(cfg_setpoint_first + 4 * s + n)] =
                as_word(setpoints[static_cast<std::size_t>(s)][static_cast<std::size_t>(n)]);
        }
    }
    c[cfg_fan_stages] = 3;

    // bit 24 set: the unit measures in degC, as its temperatures around 22 are
    for (int j : {0, 8, 9, 20, 21, 22, 24, 25}) t.cfg_bits[static_cast<std::size_t>(j)] = true;

    auto& in = t.input_registers;
    in[7] = 85;    // outdoor 8.5 degC
    in[8] = 215;
    in[9] = 230;
    in[10] = 45;
    in[11] = 60;
    in[12] = 150;
    in[13] = 300;
    for (int s = 0; s < setpoint_count; ++s) {
        in[static_cast<std::size_t>(in_basic_first + s)] = c[static_cast<std::size_t>(cfg_setpoint_first + 4 * s + 3)];
    }
    in[in_fan_stage] = 1;
    in[in_occupancy] = 1;
    return t;
}

std::vector<std::uint8_t> exception_pdu(std::uint8_t function, std::uint8_t code) {
    return {static_cast<std::uint8_t>(function | 0x80), code};
}

SimulatedUnit::SimulatedUnit(std::uint32_t seed, UnitTables tables) : tables_(tables), rng_(seed) {
    refresh_outputs();
}

std::chrono::milliseconds SimulatedUnit::min_response_time() const {
    const auto ms = as_signed(tables_.cfg_registers[regmap::response_time_register]);
    return std::chrono::milliseconds(std::max<int>(ms, 0));
}

int SimulatedUnit::button_count() const {
    const int n = tables_.cfg_registers[cfg_button_count];
    return std::clamp(n, 0, regmap::button_lamp_count);
}

void SimulatedUnit::advance_to(std::chrono::milliseconds now) {
    if (now <= now_) return;
    now_ = now;
    // after a long jump only the last hour is simulated: enough to settle, bounded in work
    constexpr std::chrono::milliseconds longest_catch_up{3'600'000};
    if (now_ - stepped_to_ > longest_catch_up) stepped_to_ = now_ - longest_catch_up;
    while (now_ - stepped_to_ >= std::chrono::seconds(1)) {
        stepped_to_ += std::chrono::seconds(1);
        step_one_second();
    }
    refresh_outputs();
}

void SimulatedUnit::step_one_second() {
    // a mean-reverting random walk, about +-0.4 K, around a room that warms and cools by 1 K either
    // side of 22 degC every 20 minutes: a trend has something to show, a read-out stays plausible
    constexpr double swing_period_s = 1200.0;
    const double seconds = std::chrono::duration<double>(stepped_to_).count();
    const double centre = 220.0 + 10.0 * std::sin(2.0 * std::numbers::pi * seconds / swing_period_s);
    std::normal_distribution<double> wander(0.0, 0.8);
    room_tenths_ += -0.02 * (room_tenths_ - centre) + wander(rng_);

    if (held_button_ != 0) {
        ++held_for_s_;
        if (--hold_remaining_s_ <= 0) held_button_ = 0;
        return;
    }
    const int buttons = button_count();
    if (buttons == 0) return;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    if (chance(rng_) < 0.1) {
        held_button_ = std::uniform_int_distribution<int>(1, buttons)(rng_);
        hold_remaining_s_ = std::uniform_int_distribution<int>(1, 3)(rng_);
        held_for_s_ = 0;
    }
}

void SimulatedUnit::refresh_outputs() {
    auto& out = tables_.output_registers;
    const auto& c = tables_.cfg_registers;
    const auto& in = tables_.input_registers;

    std::uint16_t pressed = 0;
    if (held_button_ != 0) pressed = static_cast<std::uint16_t>(1u << (regmap::button_lamp_count - held_button_));
    out[out_button_word_0] = static_cast<std::uint16_t>(regmap::button_word_base | pressed);
    out[out_button_word_1] =
        static_cast<std::uint16_t>(regmap::button_word_base | (held_for_s_ >= long_press_s ? pressed : 0));
    out[out_room_temperature] = as_word(std::lround(room_tenths_) + as_signed(c[cfg_temperature_offset]));

    const bool setpoints_off = tables_.input_bits[in_bit_deactivate_setpoint];
    for (int s = 0; s < setpoint_count; ++s) {
        const auto cfg = static_cast<std::size_t>(cfg_setpoint_first + 4 * s);
        const long upper = as_signed(c[cfg]);
        const long lower = as_signed(c[cfg + 1]);
        const long basic = as_signed(in[static_cast<std::size_t>(in_basic_first + s)]);
        long offset = as_signed(in[static_cast<std::size_t>(in_offset_first + s)]);
        offset = setpoints_off ? 0 : std::clamp(offset, std::min(lower, upper), std::max(lower, upper));
        out[static_cast<std::size_t>(out_setpoint_first + 2 * s)] = as_word(offset);
        out[static_cast<std::size_t>(out_setpoint_first + 2 * s + 1)] = as_word(basic + offset);
    }
    out[out_fan_stage] = in[in_fan_stage];
    out[out_occupancy] = in[in_occupancy];
}

std::vector<std::uint8_t> SimulatedUnit::handle(std::span<const std::uint8_t> pdu) {
    if (pdu.empty()) return {};
    switch (pdu[0]) {
    case regmap::fn_read_coils:
        return read_coils(pdu);
    case regmap::fn_read_holding_registers:
        return read_registers(pdu);
    case regmap::fn_write_coils:
        return write_coils(pdu);
    case regmap::fn_write_registers:
        return write_registers(pdu);
    default:
        return exception_pdu(pdu[0], exception_code::illegal_function);
    }
}

std::vector<std::uint8_t> SimulatedUnit::read_coils(std::span<const std::uint8_t> pdu) {
    const std::uint8_t fn = pdu[0];
    if (pdu.size() != 5) return exception_pdu(fn, exception_code::illegal_data_value);
    const unsigned start = word_at(pdu, 1);
    const unsigned quantity = word_at(pdu, 3);
    if (quantity < 1 || quantity > 2000) return exception_pdu(fn, exception_code::illegal_data_value);
    const Group* g = group_for(coil_groups, start, quantity);
    if (!g) return exception_pdu(fn, exception_code::illegal_data_address);
    const bool* bits = g == &regmap::cfg_bit_group ? tables_.cfg_bits.data() : tables_.input_bits.data();
    std::vector<std::uint8_t> out{fn, static_cast<std::uint8_t>((quantity + 7) / 8)};
    out.resize(2 + out[1], 0);
    for (unsigned n = 0; n < quantity; ++n) {
        if (bits[start - g->start + n]) out[2 + n / 8] |= static_cast<std::uint8_t>(1u << (n % 8));
    }
    return out;
}

std::vector<std::uint8_t> SimulatedUnit::read_registers(std::span<const std::uint8_t> pdu) {
    const std::uint8_t fn = pdu[0];
    if (pdu.size() != 5) return exception_pdu(fn, exception_code::illegal_data_value);
    const unsigned start = word_at(pdu, 1);
    const unsigned quantity = word_at(pdu, 3);
    if (quantity < 1 || quantity > 125) return exception_pdu(fn, exception_code::illegal_data_value);
    const Group* g = group_for(holding_groups, start, quantity);
    if (!g) return exception_pdu(fn, exception_code::illegal_data_address);
    const std::uint16_t* words = g == &regmap::cfg_register_group      ? tables_.cfg_registers.data()
                                 : g == &regmap::output_register_group ? tables_.output_registers.data()
                                                                       : tables_.input_registers.data();
    std::vector<std::uint8_t> out{fn, static_cast<std::uint8_t>(quantity * 2)};
    for (unsigned n = 0; n < quantity; ++n) put_word(out, words[start - g->start + n]);
    return out;
}

std::vector<std::uint8_t> SimulatedUnit::write_coils(std::span<const std::uint8_t> pdu) {
    const std::uint8_t fn = pdu[0];
    if (pdu.size() < 6) return exception_pdu(fn, exception_code::illegal_data_value);
    const unsigned start = word_at(pdu, 1);
    const unsigned quantity = word_at(pdu, 3);
    const unsigned byte_count = pdu[5];
    if (quantity < 1 || quantity > 1968 || byte_count != (quantity + 7) / 8 || pdu.size() != 6 + byte_count) {
        return exception_pdu(fn, exception_code::illegal_data_value);
    }
    const Group* g = group_for(coil_groups, start, quantity);
    if (!g) return exception_pdu(fn, exception_code::illegal_data_address);
    bool* bits = g == &regmap::cfg_bit_group ? tables_.cfg_bits.data() : tables_.input_bits.data();
    for (unsigned n = 0; n < quantity; ++n) bits[start - g->start + n] = (pdu[6 + n / 8] >> (n % 8)) & 1;
    refresh_outputs();
    std::vector<std::uint8_t> out(pdu.begin(), pdu.begin() + 5);
    return out;
}

std::vector<std::uint8_t> SimulatedUnit::write_registers(std::span<const std::uint8_t> pdu) {
    const std::uint8_t fn = pdu[0];
    if (pdu.size() < 6) return exception_pdu(fn, exception_code::illegal_data_value);
    const unsigned start = word_at(pdu, 1);
    const unsigned quantity = word_at(pdu, 3);
    const unsigned byte_count = pdu[5];
    if (quantity < 1 || quantity > 123 || byte_count != 2 * quantity || pdu.size() != 6 + byte_count) {
        return exception_pdu(fn, exception_code::illegal_data_value);
    }
    // the output registers are the unit's own measurements: not writable
    constexpr const Group* writable[] = {&regmap::cfg_register_group, &regmap::input_register_group};
    const Group* g = group_for(writable, start, quantity);
    if (!g) return exception_pdu(fn, exception_code::illegal_data_address);
    std::uint16_t* words = g == &regmap::cfg_register_group ? tables_.cfg_registers.data()
                                                             : tables_.input_registers.data();
    for (unsigned n = 0; n < quantity; ++n) {
        const unsigned index = start - g->start + n;
        // device coding and firmware version are fixed in the unit; a block write carries them along
        if (g == &regmap::cfg_register_group && index <= 1) continue;
        words[index] = word_at(pdu, 6 + 2 * n);
    }
    refresh_outputs();
    std::vector<std::uint8_t> out(pdu.begin(), pdu.begin() + 5);
    return out;
}

}  // namespace plx::sim
