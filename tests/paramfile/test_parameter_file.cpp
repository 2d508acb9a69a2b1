// The parameter file library on its own: the code page, the number fields, and what the reader makes
// of well-formed and malformed files.

#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "paramfile/cp1252.h"
#include "paramfile/parameter_file.h"

namespace plx::paramfile {
namespace {

TEST(Cp1252, EveryDefinedByteSurvivesTheWayThroughUtf8) {
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1252_to_utf8(byte);
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            EXPECT_EQ(utf8, "\xEF\xBF\xBD") << "byte " << b << " has no character";
            continue;
        }
        const Encoded back = utf8_to_cp1252(utf8);
        EXPECT_FALSE(back.unencodable) << "byte " << b;
        EXPECT_EQ(back.bytes, byte) << "byte " << b;
    }
}

struct EncodeCase {
    const char* name;
    const char* utf8;
    std::string bytes;
    std::optional<char32_t> unencodable;
};

class Cp1252Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Cp1252Encode, GivesTheBytesOrNamesTheCharacter) {
    const Encoded e = utf8_to_cp1252(GetParam().utf8);
    EXPECT_EQ(e.unencodable, GetParam().unencodable);
    EXPECT_EQ(e.bytes, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         Cp1252Encode,
                         ::testing::Values(EncodeCase{"Umlauts",
                                                      "Gerätecodierung: äöüß Ä°",
                                                      "Ger\xE4tecodierung: \xE4\xF6\xFC\xDF \xC4\xB0",
                                                      {}},
                                           EncodeCase{"EuroAndQuotes", "€ „x“ –", "\x80 \x84x\x93 \x96", {}},
                                           EncodeCase{"GreekHasNoForm", "Ohm Ω", "", U'\u03A9'},
                                           EncodeCase{"EmojiHasNoForm", "ok \xF0\x9F\x98\x80", "",
                                                      U'\U0001F600'},
                                           EncodeCase{"BrokenUtf8", "a\xC3", "", U'\uFFFD'},
                                           EncodeCase{"OverlongUtf8", "\xC0\xAF", "", U'\uFFFD'}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NumberField, SignPlaceInFrontOneBlankAfterTheUsersSeparator) {
    EXPECT_EQ(number_field(1.5, ','), " 1,5 ");
    EXPECT_EQ(number_field(1.5, '.'), " 1.5 ");
    EXPECT_EQ(number_field(60, ','), " 60 ");
    EXPECT_EQ(number_field(-2.25, '.'), "-2.25 ");
    EXPECT_EQ(number_field(-0.0, ','), " 0 ");
    EXPECT_EQ(number_field(0.1 + 0.2, ','), " 0,3 ");
}

Contents sample() {
    Contents c;
    c.header = {1.5, ',', "29.01.2015", "14:03:22", "9600", "RTU", "Even", "1"};
    c.labels = {"Als Trennzeichen Semikolon ; verwenden!",
                "Konfigurationsbit",
                "Baudrate: ",
                "Modus: ",
                "Parität: ",
                "Adresse: "};
    for (int k = 0; k < kRegisterCount; ++k) {
        c.register_captions[static_cast<std::size_t>(k)] = "Größe " + std::to_string(k) + "    :";
        c.register_texts[static_cast<std::size_t>(k)] = std::to_string(k * 3) + (k % 7 == 0 ? ",5" : "");
    }
    for (int j = 0; j < kBitCount; ++j) {
        c.bit_captions[static_cast<std::size_t>(j)] = "Bit " + std::to_string(j) + ":";
        c.bit_states[static_cast<std::size_t>(j)] = j % 3 == 0 ? 1 : 0;
    }
    return c;
}

TEST(Writer, HeaderAndDataLinesAreWindows1252WithCrLf) {
    const Written w = write(sample());
    ASSERT_TRUE(w.ok());
    const std::string expected_start =
        "Orvanto Sensortechnik GmbH\r\n\r\nPLX24-RS485-Modbus Configuration Software\r\n\r\n"
        "Version:  1,5 \r\n29.01.201514:03:22\r\n\r\nBaudrate: 9600\r\nModus: RTU\r\nParit\xE4t: Even\r\n"
        "Adresse: 1\r\n\r\nAls Trennzeichen Semikolon ; verwenden!\r\n\r\n"
        "Register 1 ;Gr\xF6\xDF"
        "e 0    :;0,5\r\n";
    EXPECT_EQ(w.bytes.substr(0, expected_start.size()), expected_start);
    const std::string expected_end = "Konfigurationsbit 32 ;Bit 31:; 0 \r\n";
    EXPECT_EQ(w.bytes.substr(w.bytes.size() - expected_end.size()), expected_end);
    EXPECT_EQ(file_lines(sample()).size(), std::size_t{kLineCount});
}

TEST(Writer, MissingVersionLeavesTheNumberOut) {
    Contents c = sample();
    c.header.version.reset();
    EXPECT_EQ(file_lines(c)[4], "Version: ");
}

TEST(Writer, ACharacterWithoutWindows1252FormOrALineBreakWritesNothingAndNamesItsLine) {
    for (const auto& [text, character] :
         {std::pair<const char*, char32_t>{"2Ω", U'\u03A9'}, {"4\n5", U'\n'}, {"\x1B", U'\x1B'}}) {
        Contents c = sample();
        c.register_texts[40] = text;
        const Written w = write(c);
        EXPECT_FALSE(w.ok());
        EXPECT_TRUE(w.bytes.empty());
        EXPECT_EQ(w.bad_line, kFirstRegisterLine + 40);
        EXPECT_EQ(w.bad_character, character);
    }
    Contents c = sample();
    c.register_texts[40] = "\t4";
    EXPECT_TRUE(write(c).ok()) << "a tab is text";
}

TEST(Reader, GivesBackWhatTheWriterWroteFromRegister3On) {
    const ReadResult r = read(write(sample()).bytes);
    ASSERT_TRUE(r.complete());
    EXPECT_TRUE(r.notes.empty());
    const Contents c = sample();
    EXPECT_FALSE(r.register_texts[0]);
    EXPECT_FALSE(r.register_texts[1]);
    for (std::size_t k = 2; k < kRegisterCount; ++k) EXPECT_EQ(r.register_texts[k], c.register_texts[k]) << k;
    for (std::size_t j = 0; j < kBitCount; ++j) EXPECT_EQ(r.bit_states[j], c.bit_states[j]) << j;
}

// A sample file's bytes with one line replaced (1-based), or cut after `n` bytes.
std::string with_line(int number, const std::string& text) {
    std::string bytes = write(sample()).bytes;
    std::size_t start = 0;
    for (int n = 1; n < number; ++n) start = bytes.find("\r\n", start) + 2;
    return bytes.replace(start, bytes.find("\r\n", start) - start, text);
}

std::string cut_inside_line(int number) {
    const std::string bytes = write(sample()).bytes;
    std::size_t start = 0;
    for (int n = 1; n < number; ++n) start = bytes.find("\r\n", start) + 2;
    return bytes.substr(0, start + 5);
}

std::string replaced(std::string bytes, const std::string& from, const std::string& to) {
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size())) {
        bytes.replace(at, from.size(), to);
    }
    return bytes;
}

struct MalformedCase {
    const char* name;
    std::function<std::string()> bytes;
    Refusal refusal;
    int refusal_line;
    int complete_lines;
    // the one data point the case is about: a register field (k < 60) or a bit (60 + j)
    int point;
    std::optional<std::string> value;
    std::optional<LineProblem> note;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class ReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ReaderMalformed, ChangesOnlyWhatTheLineGives) {
    const MalformedCase& c = GetParam();
    const ReadResult r = read(c.bytes());
    EXPECT_EQ(r.refusal, c.refusal);
    EXPECT_EQ(r.refusal_line, c.refusal_line);
    EXPECT_EQ(r.complete_lines, c.complete_lines);
    if (c.point < kRegisterCount) {
        EXPECT_EQ(r.register_texts[static_cast<std::size_t>(c.point)], c.value);
    } else {
        const auto& bit = r.bit_states[static_cast<std::size_t>(c.point - kRegisterCount)];
        EXPECT_EQ(bit ? std::optional<std::string>(std::to_string(*bit)) : std::nullopt, c.value);
    }
    if (c.note) {
        ASSERT_EQ(r.notes.size(), 1u);
        EXPECT_EQ(r.notes[0].problem, *c.note);
        EXPECT_EQ(r.notes[0].line, c.point < kRegisterCount ? kFirstRegisterLine + c.point
                                                            : kFirstBitLine + c.point - kRegisterCount);
    } else {
        EXPECT_TRUE(r.notes.empty());
    }
    if (r.refused()) {
        for (const auto& t : r.register_texts) EXPECT_FALSE(t);
        for (const auto& b : r.bit_states) EXPECT_FALSE(b);
    }
}

const std::string kBig(kMaxFileBytes + 1, 'x');

INSTANTIATE_TEST_SUITE_P(
    Files,
    ReaderMalformed,
    ::testing::Values(
        MalformedCase{"LineWithoutSeparators", [] { return with_line(80, "Konfigurationsbit 6 Bit 5 1"); },
                      Refusal::none, 0, 106, 65, std::nullopt, LineProblem::too_few_fields},
        MalformedCase{"RegisterLineWithTwoFields", [] { return with_line(24, "Register 10 ;Feld"); },
                      Refusal::none, 0, 106, 9, std::nullopt, LineProblem::too_few_fields},
        MalformedCase{"EmptyDataLine", [] { return with_line(30, ""); }, Refusal::none, 0, 106, 15,
                      std::nullopt, LineProblem::too_few_fields},
        MalformedCase{"BitValue2IsNoState", [] { return with_line(77, "Konfigurationsbit 3 ;x; 2 "); },
                      Refusal::none, 0, 106, 62, std::nullopt, LineProblem::not_a_bit_state},
        MalformedCase{"BitValue7", [] { return with_line(77, "Konfigurationsbit 3 ;x;7"); }, Refusal::none, 0,
                      106, 62, std::nullopt, LineProblem::not_a_bit_state},
        MalformedCase{"BitNotANumber", [] { return with_line(77, "Konfigurationsbit 3 ;x; ein "); },
                      Refusal::none, 0, 106, 62, std::nullopt, LineProblem::not_a_bit_state},
        MalformedCase{"BitWithoutBlanks", [] { return with_line(77, "Konfigurationsbit 3 ;x;1"); },
                      Refusal::none, 0, 106, 62, "1", std::nullopt},
        MalformedCase{"RegisterNotANumberLoadsAsItStands", [] { return with_line(50, "Register 36 ;x;abc"); },
                      Refusal::none, 0, 106, 35, "abc", std::nullopt},
        MalformedCase{"RegisterBlanksAndFourthFieldKept",
                      [] { return with_line(50, "Register 36 ;x; 2,5 ;rest"); }, Refusal::none, 0, 106, 35,
                      " 2,5 ", std::nullopt},
        MalformedCase{"Windows1252ValueArrivesAsUtf8", [] { return with_line(50, "Register 36 ;x;\xB0"); },
                      Refusal::none, 0, 106, 35, "°", std::nullopt},
        MalformedCase{"LineFeedsOnly", [] { return replaced(write(sample()).bytes, "\r\n", "\n"); },
                      Refusal::none, 0, 106, 66, "1", std::nullopt},
        MalformedCase{"CarriageReturnsOnly", [] { return replaced(write(sample()).bytes, "\r\n", "\r"); },
                      Refusal::none, 0, 106, 59, "177", std::nullopt},
        MalformedCase{"TruncatedInsideLine50", [] { return cut_inside_line(50); }, Refusal::none, 0, 49, 33,
                      "99", std::nullopt},
        MalformedCase{"TruncatedLineIsNotLoaded", [] { return cut_inside_line(50); }, Refusal::none, 0, 49,
                      35, std::nullopt, std::nullopt},
        MalformedCase{"LastLineWithoutLineEnd",
                      [] { return write(sample()).bytes.substr(0, write(sample()).bytes.size() - 2); },
                      Refusal::none, 0, 105, 91, std::nullopt, std::nullopt},
        MalformedCase{"EmptyFile", [] { return std::string(); }, Refusal::none, 0, 0, 2, std::nullopt,
                      std::nullopt},
        MalformedCase{"NulByte", [] { return with_line(3, std::string("PLX\0", 4)); }, Refusal::binary, 3, 0,
                      2, std::nullopt, std::nullopt},
        MalformedCase{"ControlCharacterInData", [] { return with_line(90, "Konfigurationsbit 16 ;\x1B;1"); },
                      Refusal::binary, 90, 0, 75, std::nullopt, std::nullopt},
        MalformedCase{"LineOver4KiB", [] { return with_line(20, std::string(kMaxLineBytes + 1, 'a')); },
                      Refusal::line_too_long, 20, 0, 5, std::nullopt, std::nullopt},
        MalformedCase{"Oversized", [] { return kBig; }, Refusal::too_large, 0, 0, 2, std::nullopt,
                      std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plx::paramfile
