#include <gtest/gtest.h>

#include "device/register_map.h"

using namespace plx::device::regmap;

namespace {

TEST(RegisterMap, TenthsSetOfConfigurationRegistersIs34To42) {
    for (int k = 0; k < cfg_register_group.count; ++k) EXPECT_EQ(is_tenths_cfg(k), k >= 34 && k <= 42) << k;
}

TEST(RegisterMap, TenthsSetOfInputRegisters) {
    for (int k = 0; k < input_register_group.count; ++k) {
        const bool expected = k == 7 || k == 8 || k == 9 || k == 14 || k == 15 || k == 20 || k == 21;
        EXPECT_EQ(is_tenths_in(k), expected) << k;
        EXPECT_EQ(is_bcd_in(k), k <= 6) << k;
    }
}

TEST(RegisterMap, OnlyTheButtonWordsAreUnsigned) {
    for (int i = 0; i < output_register_group.count; ++i) {
        EXPECT_EQ(is_unsigned_out(i), i <= 1) << i;
        EXPECT_EQ(is_tenths_out(i), i >= 2 && i <= 6) << i;
    }
}

TEST(RegisterMap, CombosWhereTheWindowHasLists) {
    for (int k = 0; k < cfg_register_group.count; ++k)
        EXPECT_EQ(has_cfg_combo(k), k == 2 || (k >= 8 && k <= 31) || k == 59) << k;
    for (int j = 0; j < cfg_bit_group.count; ++j) EXPECT_EQ(has_bit_combo(j), j >= 24 && j <= 29) << j;
}

TEST(RegisterMap, SpinnersCarryTheirRanges) {
    struct Row {
        int k;
        double min, max, step;
    };
    for (const Row r : {Row{3, 0, 65535, 1}, Row{4, 0, 255, 1}, Row{33, 0, 3000, 1}, Row{34, -10, 10, 0.1},
                        Row{37, 0, 100, 0.1}, Row{42, -99, 99, 0.1}, Row{44, -100, 100, 1},
                        Row{53, 0, 999, 1}, Row{58, -999, 999, 1}}) {
        const auto& reg = cfg_registers[static_cast<std::size_t>(r.k)];
        EXPECT_TRUE(reg.has_spinner) << r.k;
        EXPECT_EQ(reg.min, r.min) << r.k;
        EXPECT_EQ(reg.max, r.max) << r.k;
        EXPECT_DOUBLE_EQ(reg.step, r.step) << r.k;
    }
    for (int k : {0, 1, 2, 8, 31, 59})
        EXPECT_FALSE(cfg_registers[static_cast<std::size_t>(k)].has_spinner) << k;
}

TEST(RegisterMap, GroupsLieWhereTheUnitHasThem) {
    EXPECT_EQ(index_of(input_register_group, 0x0207), 7);
    EXPECT_EQ(index_of(output_register_group, 0x0110), 16);
    EXPECT_FALSE(index_of(output_register_group, 0x0111));
    EXPECT_EQ(index_of(input_bit_group, 0x0100), 0);
    EXPECT_FALSE(index_of(cfg_bit_group, 0x0020));
    EXPECT_EQ(cfg_block_count, 6);
}

}  // namespace
