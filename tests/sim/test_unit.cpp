#include <gtest/gtest.h>

#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "sim/frame.h"
#include "sim/unit.h"

namespace plx::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

Bytes hex(const char* h) { return from_hex(h).value(); }
std::int16_t word(const Bytes& pdu, std::size_t n) {
    return static_cast<std::int16_t>(pdu[2 + 2 * n] << 8 | pdu[3 + 2 * n]);
}

TEST(UnitFactory, FourButtonUnitWithPlausibleSetpoints) {
    SimulatedUnit unit;
    const auto& c = unit.tables().cfg_registers;
    EXPECT_EQ(c[2], 4);
    EXPECT_EQ(unit.min_response_time(), milliseconds(20));
    // temperature setpoint 1: basic 21.0 degC with +-3.0 K, in tenths
    EXPECT_EQ(static_cast<std::int16_t>(c[35]), 30);
    EXPECT_EQ(static_cast<std::int16_t>(c[36]), -30);
    EXPECT_EQ(c[38], 210);
    EXPECT_EQ(c[59], 3);
    // its temperatures are degC, so the unit bit must say so
    EXPECT_TRUE(unit.tables().cfg_bits[24]);
}

TEST(UnitRead, BlockOfTenConfigurationRegisters) {
    SimulatedUnit unit;
    const Bytes r = unit.handle(hex("030000000A"));
    ASSERT_EQ(r.size(), 22u);
    EXPECT_EQ(r[1], 20);
    for (std::size_t k = 0; k < 10; ++k) EXPECT_EQ(static_cast<std::uint16_t>(word(r, k)), unit.tables().cfg_registers[k]);
}

TEST(UnitRead, ConfigurationBitsPackLeastSignificantFirst) {
    UnitTables t{};
    t.cfg_bits[1] = true;
    t.cfg_bits[9] = true;
    t.cfg_bits[31] = true;
    SimulatedUnit unit(1, t);
    EXPECT_EQ(unit.handle(hex("0100000020")), hex("010402020080"));
}

TEST(UnitRead, InputBitsLieInTheirOwnCoilTable) {
    UnitTables t{};
    t.input_bits[0] = true;
    t.input_bits[15] = true;
    SimulatedUnit unit(1, t);
    EXPECT_EQ(unit.handle(hex("0101000010")), hex("01020180"));
}

TEST(UnitWrite, RegistersAreReadBack) {
    SimulatedUnit unit;
    EXPECT_EQ(unit.handle(hex("10020E0001020005")), hex("10020E0001"));
    const Bytes r = unit.handle(hex("0302070015"));
    ASSERT_EQ(r.size(), 2u + 42u);
    EXPECT_EQ(word(r, 14 - 7), 5);
}

TEST(UnitWrite, CoilsAreReadBack) {
    SimulatedUnit unit;
    EXPECT_EQ(unit.handle(hex("0F01000010020301")), hex("0F01000010"));
    EXPECT_EQ(unit.handle(hex("0101000010")), hex("01020301"));
}

TEST(UnitWrite, IdentityRegistersStayWhenABlockWriteCarriesThem) {
    SimulatedUnit unit;
    Bytes req = hex("100000000A14");
    for (int n = 0; n < 10; ++n) {
        req.push_back(0);
        req.push_back(static_cast<std::uint8_t>(50 + n));
    }
    unit.handle(req);
    EXPECT_EQ(unit.tables().cfg_registers[0], 24);
    EXPECT_EQ(unit.tables().cfg_registers[1], 112);
    EXPECT_EQ(unit.tables().cfg_registers[2], 52);
}

struct ExceptionCase {
    const char* name;
    const char* request;
    std::uint8_t code;
};

void PrintTo(const ExceptionCase& c, std::ostream* os) { *os << c.request; }

class UnitExceptions : public ::testing::TestWithParam<ExceptionCase> {};

TEST_P(UnitExceptions, AnswersWithTheCode) {
    SimulatedUnit unit;
    const Bytes r = unit.handle(hex(GetParam().request));
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], hex(GetParam().request)[0] | 0x80);
    EXPECT_EQ(r[1], GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitExceptions,
    ::testing::Values(ExceptionCase{"read_input_registers_fc04", "0400000001", 0x01},
                      ExceptionCase{"write_single_register_fc06", "0600210014", 0x01},
                      ExceptionCase{"register_after_the_configuration", "03003C0001", 0x02},
                      ExceptionCase{"read_across_the_configuration_end", "03003B0002", 0x02},
                      ExceptionCase{"register_after_the_outputs", "0301110001", 0x02},
                      ExceptionCase{"register_after_the_inputs", "03021C0001", 0x02},
                      ExceptionCase{"coil_after_the_configuration_bits", "0100200001", 0x02},
                      ExceptionCase{"coil_after_the_input_bits", "0101100001", 0x02},
                      ExceptionCase{"outputs_are_not_writable", "1001000001020000", 0x02},
                      ExceptionCase{"zero_registers", "0300000000", 0x03},
                      ExceptionCase{"126_registers", "030000007E", 0x03},
                      ExceptionCase{"zero_coils", "0100000000", 0x03},
                      ExceptionCase{"register_byte_count_mismatch", "100000000104000000", 0x03},
                      ExceptionCase{"coil_byte_count_mismatch", "0F000000200300000000", 0x03},
                      ExceptionCase{"data_shorter_than_byte_count", "1000000002040000", 0x03},
                      ExceptionCase{"read_with_extra_bytes", "030000000100", 0x03}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the live outputs

TEST(UnitLive, RoomTemperatureDriftsAroundTwentyTwo) {
    SimulatedUnit unit(7);
    std::set<std::uint16_t> seen;
    for (int minute = 1; minute <= 600; ++minute) {
        unit.advance_to(milliseconds(minute * 60'000));
        const auto t = static_cast<std::int16_t>(unit.tables().output_registers[2]);
        EXPECT_GE(t, 190);
        EXPECT_LE(t, 250);
        seen.insert(static_cast<std::uint16_t>(t));
    }
    EXPECT_GT(seen.size(), 3u);
}

TEST(UnitLive, TemperatureOffsetIsAdded) {
    SimulatedUnit unit(7);
    unit.advance_to(milliseconds(5000));
    const auto before = static_cast<std::int16_t>(unit.tables().output_registers[2]);
    unit.handle(hex("1000220001020014"));  // +2.0 K
    EXPECT_EQ(static_cast<std::int16_t>(unit.tables().output_registers[2]), before + 20);
}

TEST(UnitLive, EffectiveSetpointIsBasicPlusOffsetWithinRange) {
    SimulatedUnit unit;
    unit.handle(hex("10020E0001020014"));  // offset temperature 1: +2.0 K
    auto out = unit.tables().output_registers;
    EXPECT_EQ(out[3], 20);
    EXPECT_EQ(out[4], 230);
    unit.handle(hex("10020E0001020064"));  // +10.0 K: beyond the +3.0 K range
    out = unit.tables().output_registers;
    EXPECT_EQ(out[3], 30);
    EXPECT_EQ(out[4], 240);
    unit.handle(hex("1002140001020BB8"));  // basic setpoint 300.0 -> effective follows
    EXPECT_EQ(unit.tables().output_registers[4], 3030);
    unit.handle(hex("10020E000102FF9C"));  // -10.0 K: clamped to -3.0
    EXPECT_EQ(static_cast<std::int16_t>(unit.tables().output_registers[3]), -30);
}

TEST(UnitLive, DeactivatedSetpointIgnoresTheOffset) {
    SimulatedUnit unit;
    unit.handle(hex("10020E0001020014"));
    ASSERT_EQ(unit.handle(hex("0F010F00010101")), hex("0F010F0001"));
    EXPECT_EQ(unit.tables().output_registers[3], 0);
    EXPECT_EQ(unit.tables().output_registers[4], 210);
}

TEST(UnitLive, FanStageAndOccupancyFollowTheInputs) {
    SimulatedUnit unit;
    EXPECT_EQ(unit.handle(hex("10021A00020400020000")), hex("10021A0002"));
    EXPECT_EQ(unit.tables().output_registers[15], 2);
    EXPECT_EQ(unit.tables().output_registers[16], 0);
}

TEST(UnitLive, ButtonWordsCarryOnlyTheUnitsButtons) {
    SimulatedUnit unit(3);
    bool pressed = false;
    bool long_press = false;
    for (int s = 1; s <= 600; ++s) {
        unit.advance_to(milliseconds(s * 1000));
        const auto w0 = unit.tables().output_registers[0];
        const auto w1 = unit.tables().output_registers[1];
        EXPECT_EQ(w0 & 0xF000, 0xF000);
        // a 4-button unit: T1..T4 are bits 11..8
        EXPECT_EQ(w0 & 0x00FF, 0);
        EXPECT_EQ(w1 & ~w0 & 0x0FFF, 0) << "a long press is a press";
        pressed = pressed || (w0 & 0x0FFF) != 0;
        long_press = long_press || (w1 & 0x0FFF) != 0;
    }
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(long_press);
}

TEST(UnitLive, SameSeedSameRun) {
    SimulatedUnit a(11);
    SimulatedUnit b(11);
    SimulatedUnit c(12);
    bool differs = false;
    for (int s = 1; s <= 300; ++s) {
        a.advance_to(milliseconds(s * 1000));
        b.advance_to(milliseconds(s * 1000));
        c.advance_to(milliseconds(s * 1000));
        EXPECT_EQ(a.tables().output_registers, b.tables().output_registers);
        differs = differs || a.tables().output_registers != c.tables().output_registers;
    }
    EXPECT_TRUE(differs);
}

TEST(UnitLive, TimeNeverRunsBackwards) {
    SimulatedUnit unit(5);
    unit.advance_to(milliseconds(100'000));
    const auto out = unit.tables().output_registers;
    unit.advance_to(milliseconds(50'000));
    EXPECT_EQ(unit.tables().output_registers, out);
}

}  // namespace
}  // namespace plx::sim
