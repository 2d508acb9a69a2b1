#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "sim/frame.h"

namespace plx::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

Bytes bytes_of(const std::string& hex) { return from_hex(hex).value(); }
Bytes text_bytes(const std::string& s) { return {s.begin(), s.end()}; }

// ---- check sums and frames, against published values and the unit's documented examples

TEST(Crc16, PublishedCheckValueOfDigits) {
    const Bytes digits = text_bytes("123456789");
    EXPECT_EQ(crc16(digits), 0x4B37);
}

struct RtuVector {
    const char* name;
    const char* adu;
    const char* frame;
};

void PrintTo(const RtuVector& v, std::ostream* os) { *os << v.adu; }

class RtuFrames : public ::testing::TestWithParam<RtuVector> {};

TEST_P(RtuFrames, EncodesAddressPduAndCrcLowByteFirst) {
    const Bytes adu = bytes_of(GetParam().adu);
    const modbus::Adu a = modbus::adu_with_pdu(adu[0], Bytes(adu.begin() + 1, adu.end()));
    EXPECT_EQ(to_hex(encode_rtu(a)), GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(Vectors, RtuFrames,
                         ::testing::Values(RtuVector{"read_response_time", "010300210001", "010300210001D400"},
                                           RtuVector{"read_block_at_42", "0103002A0001", "0103002A0001A5C2"},
                                           RtuVector{"one_word_answer", "0103020064", "0103020064B9AF"},
                                           RtuVector{"write_confirmation", "01100000000A", "01100000000A400E"},
                                           RtuVector{"exception_02", "018302", "018302C0F1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Lrc, ToolFormRunsOverTheHexCharacters) {
    EXPECT_EQ(lrc_over_hex_characters("010300210001"), 0xB8);
    EXPECT_EQ(lrc_over_bytes(bytes_of("010300210001")), 0xDA);
}

TEST(Lrc, AsciiFrameCarriesTheChosenForm) {
    const modbus::Adu a = modbus::adu_with_pdu(1, bytes_of("0300210001"));
    EXPECT_EQ(encode_ascii(a, LrcForm::hex_characters), text_bytes(":010300210001B8\r\n"));
    EXPECT_EQ(encode_ascii(a, LrcForm::standard), text_bytes(":010300210001DA\r\n"));
}

TEST(Hex, RejectsOddLengthsAndForeignCharacters) {
    EXPECT_FALSE(from_hex("012").has_value());
    EXPECT_FALSE(from_hex("0G").has_value());
    EXPECT_EQ(from_hex("a5C2"), (Bytes{0xA5, 0xC2}));
}

// ---- RTU request parser

struct RtuFeed {
    RequestParser parser{modbus::Framing::rtu, LrcForm::hex_characters};
    std::vector<modbus::Adu> frames;
    void feed(const Bytes& b, milliseconds at = milliseconds(0)) {
        parser.feed(b, at);
        while (auto f = parser.next()) frames.push_back(*f);
    }
};

const Bytes read_33 = bytes_of("010300210001D400");

TEST(RtuParser, WholeRequestInOneFeed) {
    RtuFeed f;
    f.feed(read_33);
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(f.frames[0], (modbus::adu_with_pdu(1, bytes_of("0300210001"))));
}

TEST(RtuParser, RequestInSinglesWaitsForTheLastByte) {
    RtuFeed f;
    for (std::size_t n = 0; n + 1 < read_33.size(); ++n) f.feed({read_33[n]});
    EXPECT_TRUE(f.frames.empty());
    f.feed({read_33.back()});
    EXPECT_EQ(f.frames.size(), 1u);
}

TEST(RtuParser, BackToBackRequestsBothComeOut) {
    RtuFeed f;
    Bytes two = read_33;
    const Bytes other = encode_rtu(modbus::adu_with_pdu(7, bytes_of("0100000020")));
    two.insert(two.end(), other.begin(), other.end());
    f.feed(two);
    ASSERT_EQ(f.frames.size(), 2u);
    EXPECT_EQ(f.frames[1].address, 7);
}

TEST(RtuParser, WriteRequestLengthFollowsItsByteCount) {
    RtuFeed f;
    const Bytes write = encode_rtu(modbus::adu_with_pdu(1, bytes_of("10020E0001020096")));
    f.feed(Bytes(write.begin(), write.end() - 1));
    EXPECT_TRUE(f.frames.empty());
    f.feed({write.back()});
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(modbus::pdu_of(f.frames[0]), bytes_of("10020E0001020096"));
}

TEST(RtuParser, LeadingNoiseIsSkipped) {
    RtuFeed f;
    Bytes noisy{0x00, 0x05};
    noisy.insert(noisy.end(), read_33.begin(), read_33.end());
    f.feed(noisy);
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(f.parser.counters().dropped_bytes, 2u);
}

TEST(RtuParser, BadCrcIsDiscardedAndTheNextRequestStillParses) {
    RtuFeed f;
    Bytes bad = read_33;
    bad[5] ^= 0x01;
    f.feed(bad);
    EXPECT_TRUE(f.frames.empty());
    EXPECT_GE(f.parser.counters().bad_checks, 1u);
    f.feed(read_33, milliseconds(200));
    EXPECT_EQ(f.frames.size(), 1u);
}

TEST(RtuParser, PartialFrameLeftSilentIsDropped) {
    RtuFeed f;
    f.feed(Bytes(read_33.begin(), read_33.begin() + 4), milliseconds(0));
    f.feed(read_33, milliseconds(500));
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(modbus::pdu_of(f.frames[0]), bytes_of("0300210001"));
}

TEST(RtuParser, UnknownFunctionEndsWhereTheCrcMatches) {
    RtuFeed f;
    f.feed(encode_rtu(modbus::adu_with_pdu(1, bytes_of("2B0E0100"))));
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(modbus::pdu_of(f.frames[0]), bytes_of("2B0E0100"));
}

// ---- ASCII request parser

struct AsciiFeed {
    explicit AsciiFeed(LrcForm form) : parser(modbus::Framing::ascii, form) {}
    RequestParser parser;
    std::vector<modbus::Adu> frames;
    void feed(const std::string& s) {
        parser.feed(text_bytes(s), milliseconds(0));
        while (auto f = parser.next()) frames.push_back(*f);
    }
};

struct AsciiCase {
    const char* name;
    LrcForm form;
    std::vector<const char*> chunks;
    int frames;
};

void PrintTo(const AsciiCase& c, std::ostream* os) { *os << c.name; }

class AsciiParser : public ::testing::TestWithParam<AsciiCase> {};

TEST_P(AsciiParser, YieldsTheExpectedFrames) {
    AsciiFeed f(GetParam().form);
    for (const char* c : GetParam().chunks) f.feed(c);
    EXPECT_EQ(static_cast<int>(f.frames.size()), GetParam().frames);
    for (const auto& a : f.frames) EXPECT_EQ(a, (modbus::adu_with_pdu(1, bytes_of("0300210001"))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AsciiParser,
    ::testing::Values(
        AsciiCase{"tool_lrc_accepted", LrcForm::hex_characters, {":010300210001B8\r\n"}, 1},
        AsciiCase{"standard_lrc_refused_in_tool_form", LrcForm::hex_characters, {":010300210001DA\r\n"}, 0},
        AsciiCase{"standard_lrc_accepted_in_standard_form", LrcForm::standard, {":010300210001DA\r\n"}, 1},
        AsciiCase{"split_over_three_chunks", LrcForm::hex_characters, {":0103", "002100", "01B8\r\n"}, 1},
        AsciiCase{"garbage_before_colon_dropped", LrcForm::hex_characters, {"xx\r\n:010300210001B8\r\n"}, 1},
        AsciiCase{"second_colon_restarts", LrcForm::hex_characters, {":0103:010300210001B8\r\n"}, 1},
        AsciiCase{"missing_cr_refused", LrcForm::hex_characters, {":010300210001B8\n"}, 0},
        AsciiCase{"non_hex_refused", LrcForm::hex_characters, {":01030021000ZB8\r\n"}, 0},
        AsciiCase{"two_frames_in_one_chunk", LrcForm::hex_characters,
                  {":010300210001B8\r\n:010300210001B8\r\n"}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AsciiParserLowerCase, LrcOverTheCharactersAsSent) {
    AsciiFeed f(LrcForm::hex_characters);
    const std::string body = "01030021000a";
    const std::uint8_t l = lrc_over_hex_characters(body);
    f.feed(":" + body + to_hex(std::span(&l, 1)) + "\r\n");
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(modbus::pdu_of(f.frames[0]), bytes_of("030021000A"));
}

}  // namespace
}  // namespace plx::sim
