// The parameter file library on its own: the code page, number fields, and what the reader makes of
// malformed files. Whole files in both languages are checked byte for byte in tests/editor.

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
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(byte)).bytes, undefined ? "" : byte) << b;
    }
    EXPECT_EQ(utf8_to_cp1252("Parität °C € „ß“").bytes,
              "Parit\xE4t \xB0"
              "C \x80 \x84\xDF\x93");
}

TEST(Cp1252, CharacterWithoutAFormIsNamedNotReplaced) {
    for (const auto& [utf8, c] : {std::pair<const char*, char32_t>{"Ω", U'\u03A9'},
                                  {"\xF0\x9F\x98\x80", U'\U0001F600'},
                                  {"a\xC3", U'\uFFFD'},
                                  {"\xC0\xAF", U'\uFFFD'}}) {
        const Encoded e = utf8_to_cp1252(utf8);
        EXPECT_EQ(e.unencodable, c) << utf8;
        EXPECT_TRUE(e.bytes.empty());
    }
}

TEST(NumberField, SignPlaceInFrontOneBlankAfterTheUsersSeparator) {
    EXPECT_EQ(number_field(1.5, ','), " 1,5 ");
    EXPECT_EQ(number_field(-2.25, '.'), "-2.25 ");
    EXPECT_EQ(number_field(-0.0, ','), " 0 ");
    EXPECT_EQ(number_field(0.1 + 0.2, ','), " 0,3 ");
}

Contents sample() {
    Contents c;
    c.labels.bit_key = "Konfigurationsbit";
    for (std::size_t k = 0; k < kRegisterCount; ++k) c.register_texts[k] = std::to_string(k);
    for (std::size_t j = 0; j < kBitCount; ++j) c.bit_states[j] = j % 2;
    return c;
}

TEST(Writer, FieldTextThatCannotBeWrittenWritesNothingAndNamesItsLine) {
    for (const auto& [text, c] :
         {std::pair<const char*, char32_t>{"2Ω", U'\u03A9'}, {"4\n5", U'\n'}, {"\x1B", 0x1B}}) {
        Contents contents = sample();
        contents.register_texts[40] = text;
        const Written w = write(contents);
        EXPECT_TRUE(w.bytes.empty());
        EXPECT_EQ(w.bad_line, kFirstRegisterLine + 40);
        EXPECT_EQ(w.bad_character, c);
    }
}

enum class Shape {
    replace,  // line `line` becomes `text`
    cut,      // the file ends 5 bytes into line `line`
    ends,     // every CR LF becomes `text`
    raw,      // the file is `text`
};

std::string sample_file(Shape shape, int line, const std::string& text) {
    std::string bytes = write(sample()).bytes;
    if (shape == Shape::raw) return text;
    if (shape == Shape::ends) {
        for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += text.size()) {
            bytes.replace(at, 2, text);
        }
        return bytes;
    }
    std::size_t start = 0;
    for (int i = 1; i < line; ++i) start = bytes.find("\r\n", start) + 2;
    if (shape == Shape::cut) return bytes.substr(0, start + 5);
    return bytes.replace(start, bytes.find("\r\n", start) - start, text);
}

struct MalformedCase {
    const char* name;
    Shape shape;
    int line;
    std::string text;
    Refusal refusal;
    int count;  // the refused line, or the complete lines
    int point;  // a register field k, or 60 + bit j
    std::optional<std::string> value;
    std::optional<LineProblem> note;  // on the point's line
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class ReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

// as the window reads: "," in use, the bit key in either language
const ReadRules kRules{',', {"Konfigurationsbit", "Configuration bit"}};

TEST_P(ReaderMalformed, GivesOnlyWhatEachCompleteLineHolds) {
    const MalformedCase& c = GetParam();
    const ReadResult r = read(sample_file(c.shape, c.line, c.text), kRules);
    EXPECT_EQ(r.refusal, c.refusal);
    EXPECT_EQ(r.refused() ? r.refusal_line : r.complete_lines, c.count);
    const bool bit = c.point >= kRegisterCount;
    const auto j = static_cast<std::size_t>(c.point - kRegisterCount);
    const std::optional<int> state = bit ? r.bit_states[j] : std::nullopt;
    EXPECT_EQ(bit ? (state ? std::optional(std::to_string(*state)) : std::nullopt)
                  : r.register_texts[static_cast<std::size_t>(c.point)],
              c.value);
    ASSERT_EQ(r.notes.size(), c.note ? 1u : 0u);
    if (c.note) {
        EXPECT_EQ(r.notes[0].problem, *c.note);
        EXPECT_EQ(r.notes[0].line, bit ? kFirstBitLine + static_cast<int>(j) : kFirstRegisterLine + c.point);
    }
    if (r.refused()) {
        EXPECT_EQ(r.register_texts, ReadResult{}.register_texts);
    }
}

constexpr Shape kRep = Shape::replace;
constexpr Refusal kNone = Refusal::none;
constexpr auto kFew = LineProblem::too_few_fields;
constexpr auto kNoState = LineProblem::not_a_bit_state;
const std::string kWhole = write(sample()).bytes;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, ReaderMalformed, ::testing::Values(
    MalformedCase{"Whole", Shape::raw, 0, kWhole, kNone, 106, 33, "33", {}},
    MalformedCase{"IdentificationNeverGiven", Shape::raw, 0, kWhole, kNone, 106, 1, {}, {}},
    MalformedCase{"NoSeparators", kRep, 80, "Bit 6 x 1", kNone, 106, 65, {}, kFew},
    MalformedCase{"TwoFields", kRep, 24, "Register 10 ;x", kNone, 106, 9, {}, kFew},
    MalformedCase{"BitValue2", kRep, 77, "Bit 3 ;x; 2 ", kNone, 106, 62, {}, kNoState},
    MalformedCase{"BitValue7", kRep, 77, "Bit 3 ;x;7", kNone, 106, 62, {}, kNoState},
    MalformedCase{"BitNotANumber", kRep, 77, "Bit 3 ;x; ein ", kNone, 106, 62, {}, kNoState},
    MalformedCase{"BitWithoutBlanks", kRep, 77, "Bit 3 ;x;1", kNone, 106, 62, "1", {}},
    MalformedCase{"RegisterAsItStands", kRep, 50, "R;x; 2,5 ;rest", kNone, 106, 35, " 2,5 ", {}},
    MalformedCase{"RegisterToUtf8", kRep, 50, "R;x;\xB0", kNone, 106, 35, "°", {}},
    MalformedCase{"LineFeeds", Shape::ends, 0, "\n", kNone, 106, 91, "1", {}},
    MalformedCase{"CarriageReturns", Shape::ends, 0, "\r", kNone, 106, 59, "59", {}},
    MalformedCase{"TruncatedKeepsCompleteLines", Shape::cut, 50, "", kNone, 49, 33, "33", {}},
    MalformedCase{"TruncatedLineNotGiven", Shape::cut, 50, "", kNone, 49, 35, {}, {}},
    MalformedCase{"NoFinalLineEnd", Shape::raw, 0, kWhole.substr(0, kWhole.size() - 2), kNone, 105, 91, {}, {}},
    MalformedCase{"OtherSeparatorTakenInOurs", kRep, 50, "R;x; -2.5 ", kNone, 106, 35, " -2,5 ", {}},
    MalformedCase{"TwoOtherSeparatorsAsItStands", kRep, 50, "R;x;1.000.5", kNone, 106, 35, "1.000.5", {}},
    MalformedCase{"NotANumberAsItStands", kRep, 50, "R;x;abc", kNone, 106, 35, "abc", {}},
    MalformedCase{"EnglishBitKeys", kRep, 75, "Configuration bit 1 ;x; 1 ", kNone, 106, 60, "1", {}},
    MalformedCase{"ShapeKeyOfAnotherNumber", kRep, 16, "Register 7 ;x;1", Refusal::shape, 16, 33, {}, {}},
    MalformedCase{"ShapeOneFieldAfterTheKey", kRep, 75, "Konfigurationsbit 1 ; 1 ", Refusal::shape, 75, 33, {}, {}},
    MalformedCase{"ShapeKeyGlued", kRep, 106, "Konfigurationsbit32;x; 1 ", Refusal::shape, 106, 33, {}, {}},
    MalformedCase{"ShapeCsvLine", kRep, 15, "a;b;c", Refusal::shape, 15, 33, {}, {}},
    MalformedCase{"Empty", Shape::raw, 0, "", Refusal::shape, 15, 2, {}, {}},
    MalformedCase{"NulByte", kRep, 3, std::string("P\0", 2), Refusal::binary, 3, 2, {}, {}},
    MalformedCase{"Escape", kRep, 90, "B;\x1B;1", Refusal::binary, 90, 75, {}, {}},
    MalformedCase{"LineOver4KiB", kRep, 20, std::string(kMaxLineBytes + 1, 'a'), Refusal::line_too_long, 20, 5, {}, {}},
    MalformedCase{"Oversized", Shape::raw, 0, std::string(kMaxFileBytes + 1, '\n'), Refusal::too_large, 0, 2, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace plx::paramfile
