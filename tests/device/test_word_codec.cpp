#include <array>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/register_map.h"
#include "device/word_codec.h"

using namespace plx::device;
using regmap::Scale;
using regmap::Sign;

namespace {

struct ShownCase {
    const char* name;
    std::uint16_t word;
    Scale scale;
    Sign sign;
    char separator;
    const char* shown;
};

void PrintTo(const ShownCase& c, std::ostream* os) {
    *os << c.name;
}

class ShownText : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownText, WordOnTheScreen) {
    const auto& c = GetParam();
    EXPECT_EQ(shown_text(c.word, c.scale, c.sign, c.separator), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Reading,
    ShownText,
    ::testing::Values(
        ShownCase{"TemperatureOffsetFFFE", 0xFFFE, Scale::tenths, Sign::signed16, '.', "-0.2"},
        ShownCase{"SetpointRange215", 215, Scale::tenths, Sign::signed16, '.', "21.5"},
        ShownCase{"TenthsWithComma", 0xFFFB, Scale::tenths, Sign::signed16, ',', "-0,5"},
        ShownCase{"WholeTenthsNoTrailingZero", 220, Scale::tenths, Sign::signed16, ',', "22"},
        ShownCase{"ButtonWord8000Unsigned", 0x8000, Scale::integer, Sign::unsigned16, '.', "32768"},
        ShownCase{"ButtonWordF801Unsigned", 0xF801, Scale::integer, Sign::unsigned16, '.', "63489"},
        ShownCase{"SetpointOffset8000Signed", 0x8000, Scale::tenths, Sign::signed16, '.', "-3276.8"},
        ShownCase{"IntegerFFFFIsMinusOne", 0xFFFF, Scale::integer, Sign::signed16, '.', "-1"},
        ShownCase{"Integer150", 0x0096, Scale::integer, Sign::signed16, '.', "150"},
        ShownCase{"Integer7FFFLargestPositive", 0x7FFF, Scale::integer, Sign::signed16, '.', "32767"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EncodeCase {
    const char* name;
    const char* text;
    Scale scale;
    char separator;
    const char* hex;  // empty: refused
    EncodeError error;
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.name;
}

class EncodeWord : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeWord, TextOnTheWire) {
    const auto& c = GetParam();
    const EncodedWord w = encode_word(c.text, c.scale, c.separator);
    EXPECT_EQ(w.error, c.error);
    EXPECT_EQ(w.hex, c.hex);
}

constexpr auto ok = EncodeError::none;

INSTANTIATE_TEST_SUITE_P(
    Writing,
    EncodeWord,
    ::testing::Values(
        EncodeCase{"MinusPointTwoTenths", "-0.2", Scale::tenths, '.', "FFFE", ok},
        EncodeCase{"TwentyOnePointFiveTenths", "21.5", Scale::tenths, '.', "00D7", ok},
        EncodeCase{"OutdoorMinusTwoPointFiveComma", "-2,5", Scale::tenths, ',', "FFE7", ok},
        EncodeCase{"InputRegister150", "150", Scale::integer, '.', "0096", ok},
        EncodeCase{"MinusOne", "-1", Scale::integer, '.', "FFFF", ok},
        EncodeCase{"LocationCode65535", "65535", Scale::integer, '.', "FFFF", ok},
        EncodeCase{"Smallest16Bit", "-32768", Scale::integer, '.', "8000", ok},
        EncodeCase{"TieTenthsDownToEven", "0.25", Scale::tenths, '.', "0002", ok},
        EncodeCase{"TieTenthsUpToEven", "0.35", Scale::tenths, '.', "0004", ok},
        EncodeCase{"TieTenthsDecimalExact", "1,45", Scale::tenths, ',', "000E", ok},
        EncodeCase{"TieIntegerDownToEven", "2.5", Scale::integer, '.', "0002", ok},
        EncodeCase{"TieIntegerUpToEven", "3.5", Scale::integer, '.', "0004", ok},
        EncodeCase{"TieNegativeToEven", "-2.5", Scale::integer, '.', "FFFE", ok},
        EncodeCase{"NoTieRoundsNearest", "2.6", Scale::integer, '.', "0003", ok},
        EncodeCase{"ClockSecond59", "59", Scale::bcd, '.', "0059", ok},
        EncodeCase{"ClockYear7", "7", Scale::bcd, '.', "0007", ok},
        EncodeCase{"ClockYear12", "12", Scale::bcd, '.', "0012", ok},
        EncodeCase{"ClockHour9", "9", Scale::bcd, '.', "0009", ok},
        EncodeCase{"EmptyRefused", "", Scale::integer, '.', "", EncodeError::empty},
        EncodeCase{"BlankRefused", "  ", Scale::tenths, '.', "", EncodeError::empty},
        EncodeCase{"LoneMinusRefused", "-", Scale::tenths, '.', "", EncodeError::not_a_number},
        EncodeCase{"LoneSeparatorRefused", ",", Scale::tenths, ',', "", EncodeError::not_a_number},
        EncodeCase{"OtherSeparatorRefused", "1.5", Scale::tenths, ',', "", EncodeError::not_a_number},
        EncodeCase{"LettersRefused", "12a", Scale::integer, '.', "", EncodeError::not_a_number},
        EncodeCase{"AboveWordRefused", "65536", Scale::integer, '.', "", EncodeError::out_of_range},
        EncodeCase{"TenthsAboveWordRefused", "9999,9", Scale::tenths, ',', "", EncodeError::out_of_range},
        EncodeCase{"BelowWordRefused", "-32769", Scale::integer, '.', "", EncodeError::out_of_range},
        EncodeCase{"ClockEmptyRefused", "", Scale::bcd, '.', "", EncodeError::empty},
        EncodeCase{"ClockSeparatorRefused", "1,5", Scale::bcd, ',', "", EncodeError::not_bcd},
        EncodeCase{"ClockMinusRefused", "-1", Scale::bcd, '.', "", EncodeError::not_bcd},
        EncodeCase{"ClockFiveDigitsRefused", "12345", Scale::bcd, '.', "", EncodeError::not_bcd}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResponseWords, ReadFromCharacterSevenOn) {
    // 01 03 04 | 00D7 FFFE | check sum
    const std::string r =
        "010304"
        "00D7"
        "FFFE"
        "1234";
    EXPECT_EQ(word_at(r, 0), 0x00D7);
    EXPECT_EQ(word_at(r, 1), 0xFFFE);
    EXPECT_EQ(byte_at(r, 0), 0x00);
    EXPECT_EQ(byte_at(r, 1), 0xD7);
    EXPECT_EQ(frame_byte(r, 1), 0x03);
}

TEST(ResponseWords, MissingWordsAreNotZero) {
    const std::string r =
        "010304"
        "00D7"
        "FF";
    EXPECT_FALSE(word_at(r, 1));
    EXPECT_FALSE(word_at(r, 5));
    EXPECT_FALSE(byte_at("0101", 0));
}

TEST(ResponseWords, LowercaseDigitsFromAnAsciiUnitCount) {
    EXPECT_EQ(word_at("010302fffe", 0), 0xFFFE);
    EXPECT_FALSE(word_at("0103020G00", 0));
}

TEST(CoilBytes, LeastSignificantBitFirst) {
    std::array<int, 32> boxes{};
    boxes[0] = 1;
    boxes[7] = 1;
    boxes[9] = 1;
    boxes[31] = 1;
    EXPECT_EQ(pack_bits(boxes), (std::vector<std::uint8_t>{0x81, 0x02, 0x00, 0x80}));
}

TEST(CoilBytes, OnlyCheckedCountsAsSet) {
    // 2 is the undetermined state of a check box, not a set bit
    const std::array<int, 8> boxes{2, 1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(pack_bits(boxes), (std::vector<std::uint8_t>{0x02}));
}

TEST(CoilBytes, BitNineIsBitOneOfSecondByte) {
    const std::array<std::uint8_t, 4> first{0x02, 0x00, 0x00, 0x00};
    const std::array<std::uint8_t, 4> second{0x00, 0x02, 0x00, 0x00};
    for (int j = 0; j < 32; ++j) {
        EXPECT_EQ(bit_of(first, j), j == 1 ? 1 : 0) << j;
        EXPECT_EQ(bit_of(second, j), j == 9 ? 1 : 0) << j;
    }
}

}  // namespace
