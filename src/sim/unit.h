#pragma once
// The simulated PLX24 unit: the five data groups of the register map with plausible factory values,
// the Modbus functions 01, 03, 0F and 10 on them, and output registers that live (room temperature,
// effective setpoints, fan stage, occupancy, buttons). Time is handed in, randomness is seeded.

#include <array>
#include <chrono>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "device/register_map.h"

namespace plx::sim {

namespace regmap = device::regmap;

struct UnitTables {
    std::array<std::uint16_t, regmap::cfg_register_group.count> cfg_registers{};
    std::array<bool, regmap::cfg_bit_group.count> cfg_bits{};
    std::array<std::uint16_t, regmap::input_register_group.count> input_registers{};
    std::array<bool, regmap::input_bit_group.count> input_bits{};
    std::array<std::uint16_t, regmap::output_register_group.count> output_registers{};
};

// A 4-button unit as it leaves the factory.
UnitTables factory_tables();

namespace exception_code {
inline constexpr std::uint8_t illegal_function = 0x01;
inline constexpr std::uint8_t illegal_data_address = 0x02;
inline constexpr std::uint8_t illegal_data_value = 0x03;
inline constexpr std::uint8_t slave_device_failure = 0x04;
}  // namespace exception_code

std::vector<std::uint8_t> exception_pdu(std::uint8_t function, std::uint8_t code);

class SimulatedUnit {
public:
    explicit SimulatedUnit(std::uint32_t seed = 1, UnitTables tables = factory_tables());

    // Lets the live values run up to `now`; time never runs backwards.
    void advance_to(std::chrono::milliseconds now);
    // One request PDU (function code and data) in, the response PDU out (an exception included).
    std::vector<std::uint8_t> handle(std::span<const std::uint8_t> pdu);

    const UnitTables& tables() const { return tables_; }
    // Direct access for tests and the demo; call refresh_outputs() after changing inputs.
    UnitTables& tables() { return tables_; }
    void refresh_outputs();

    // configuration register 33
    std::chrono::milliseconds min_response_time() const;
    // the room temperature the sensor measures, in tenths of a degree, before the configured offset
    double measured_temperature_tenths() const { return room_tenths_; }

private:
    std::vector<std::uint8_t> read_coils(std::span<const std::uint8_t> pdu);
    std::vector<std::uint8_t> read_registers(std::span<const std::uint8_t> pdu);
    std::vector<std::uint8_t> write_coils(std::span<const std::uint8_t> pdu);
    std::vector<std::uint8_t> write_registers(std::span<const std::uint8_t> pdu);
    void step_one_second();
    int button_count() const;

    UnitTables tables_;
    std::mt19937 rng_;
    std::chrono::milliseconds now_{0};
    std::chrono::milliseconds stepped_to_{0};
    double room_tenths_ = 220.0;
    int held_button_ = 0;  // 1-based button number, 0 = none pressed
    int held_for_s_ = 0;
    int hold_remaining_s_ = 0;
};

}  // namespace plx::sim
