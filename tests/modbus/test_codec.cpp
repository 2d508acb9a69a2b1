// Frame codec vectors: the unit's documented frames, the CRC's published check value, and the
// conversions of module Wandeln.
#include <gtest/gtest.h>

#include "modbus/frame.h"
#include "modbus/wandeln.h"

namespace plx::modbus {
namespace {

std::vector<std::uint8_t> bytes_of(std::string_view s) {
    return {s.begin(), s.end()};
}

struct FrameCase {
    const char* name;
    const char* request;
    std::string ascii;              // the ASCII frame
    std::vector<std::uint8_t> rtu;  // the RTU frame
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const FrameCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameVectors : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameVectors, AsciiFrame) {
    EXPECT_EQ(modbus::ascii_frame(GetParam().request), GetParam().ascii);
}

TEST_P(FrameVectors, RtuFrame) {
    EXPECT_EQ(modbus::rtu_frame(GetParam().request), GetParam().rtu);
}

INSTANTIATE_TEST_SUITE_P(Codec,
                         FrameVectors,
                         ::testing::Values(
                             // the LRC runs over the hex characters: a sum over the byte values would give DA
                             FrameCase{"ReadRegister33Slave1",
                                       "010300210001",
                                       ":010300210001B8\r\n",
                                       {0x01, 0x03, 0x00, 0x21, 0x00, 0x01, 0xD4, 0x00}},
                             FrameCase{"ReadRegister42Slave1",
                                       "0103002A0001",
                                       ":0103002A0001A8\r\n",
                                       {0x01, 0x03, 0x00, 0x2A, 0x00, 0x01, 0xA5, 0xC2}},
                             // CRC as pymodbus computes it for this request
                             FrameCase{"ReadRegister33Slave247",
                                       "F70300210001",
                                       ":F703002100019C\r\n",
                                       {0xF7, 0x03, 0x00, 0x21, 0x00, 0x01, 0xC0, 0x96}},
                             FrameCase{"EmptyRequest", "", ":00\r\n", {0xFF, 0xFF}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ConversionCase {
    const char* name;
    const char* text;
    std::uint8_t value;
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.name;
}

class HexPairToByte : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(HexPairToByte, Value) {
    EXPECT_EQ(modbus::hex_pair_to_byte(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Codec,
                         HexPairToByte,
                         ::testing::Values(ConversionCase{"F7", "F7", 247},
                                           ConversionCase{"SingleDigit", "7", 7},
                                           ConversionCase{"Empty", "", 0},
                                           ConversionCase{"LowerCaseCountsAsZero", "f7", 7},
                                           ConversionCase{"OnlyFirstTwoCount", "A5C2", 165},
                                           ConversionCase{"NonHexCountsAsZero", "G1", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

class ByteToHex : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ByteToHex, Text) {
    EXPECT_EQ(modbus::byte_to_hex(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codec,
                         ByteToHex,
                         ::testing::Values(ConversionCase{"Zero", "00", 0},
                                           ConversionCase{"Ten", "0A", 10},
                                           ConversionCase{"Max", "FF", 255}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Crc16, PublishedCheckValue) {
    const auto text = bytes_of("123456789");
    EXPECT_EQ(modbus::crc16(text), 0x4B37);
    EXPECT_EQ(modbus::crc16_text(text), "4B37");
}

TEST(Crc16, TextIsHighByteFirstWithLeadingZeros) {
    const std::vector<std::uint8_t> request = {0x01, 0x03, 0x00, 0x21, 0x00, 0x01};
    EXPECT_EQ(modbus::crc16_text(request), "00D4");
}

TEST(Lrc, CharacterAndByteFormsDiffer) {
    EXPECT_EQ(modbus::lrc_of_characters("010300210001"), 0xB8);
    const std::vector<std::uint8_t> request = {0x01, 0x03, 0x00, 0x21, 0x00, 0x01};
    EXPECT_EQ(modbus::lrc_of_bytes(request), 0xDA);
    EXPECT_EQ(modbus::lrc_of_characters(""), 0x00);
}

TEST(HexToBytes, RejectsOddLengthAndNonHex) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(modbus::hex_to_bytes("01aF", out));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x01, 0xAF}));
    EXPECT_FALSE(modbus::hex_to_bytes("010", out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(modbus::hex_to_bytes("01G0", out));
}

}  // namespace
}  // namespace plx::modbus
