// Configuration bits with their lists and the temperature unit; input bits and registers;
// the text forms of the output registers.

#include "editor_fixture.h"

namespace plx::editor::testing {
namespace {

using CfgBits = EditorTest;

void expect_temperature_captions(const FrmConfig& f, const std::string& degrees, const std::string& range,
                                 const std::string& basic, const std::string& offset) {
    EXPECT_EQ(f.lbl_temp[1].caption(), degrees);
    for (int i = 33; i <= 40; ++i) EXPECT_EQ(f.lbl_desc[i].caption(), degrees) << "lbl_desc " << i;
    for (int i : {51, 52, 53, 55, 56, 57}) EXPECT_EQ(f.lbl_desc[i].caption(), range) << "lbl_desc " << i;
    for (int i : {54, 58}) EXPECT_EQ(f.lbl_desc[i].caption(), basic) << "lbl_desc " << i;
    for (int i = 59; i <= 62; ++i) EXPECT_EQ(f.lbl_desc[i].caption(), offset) << "lbl_desc " << i;
}

TEST_F(CfgBits, FahrenheitChoiceMarksBothAndSwitchesEveryCaption) {
    read_bit(24, 1);
    f.cmb_bit_cfg[24].user_select(0);
    EXPECT_EQ(f.chk_cfg[24].value(), 0);
    EXPECT_TRUE(f.chk_cfg[24].pending());
    EXPECT_TRUE(f.cmb_bit_cfg[24].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
    expect_temperature_captions(f, "°F", "[°F]", "[°F]", "°F");

    f.cmb_bit_cfg[24].user_select(1);
    EXPECT_FALSE(f.chk_cfg[24].pending());
    EXPECT_FALSE(f.cmb_bit_cfg[24].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
    expect_temperature_captions(f, "°C", "[K]", "[°C]", "K");
}

TEST_F(CfgBits, ReadingTheUnitBitSwitchesTheCaptionsWithoutUserAction) {
    read_bit(24, 1);
    read_bit(24, 0);
    EXPECT_EQ(f.cmb_bit_cfg[24].list_index(), 0);
    expect_temperature_captions(f, "°F", "[°F]", "[°F]", "°F");
    EXPECT_FALSE(f.cmb_bit_cfg[24].pending());
}

TEST_F(CfgBits, PlainBitClickedTwiceReturnsUnmarked) {
    read_bit(5, 1);
    f.chk_cfg[5].user_toggle();
    EXPECT_TRUE(f.chk_cfg[5].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
    f.chk_cfg[5].user_toggle();
    EXPECT_FALSE(f.chk_cfg[5].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(CfgBits, ReadBitSelectsItsListEntry) {
    read_bit(27, 1);
    EXPECT_EQ(f.cmb_bit_cfg[27].list_index(), 1);
    EXPECT_FALSE(f.cmb_bit_cfg[27].pending());
}

TEST_F(CfgBits, UndeterminedValueIsMarkedAndLeavesTheList) {
    read_bit(25, 1);
    EXPECT_NO_THROW(f.chk_cfg[25].set_value(2));
    EXPECT_EQ(f.cmb_bit_cfg[25].list_index(), 1);
    EXPECT_TRUE(f.chk_cfg[25].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
}

using Inputs = EditorTest;

struct FocusCase {
    const char* name;
    int k;
    const char* typed;
    const char* after;
};
void PrintTo(const FocusCase& c, std::ostream* os) { *os << c.name; }

class InputFocus : public EditorTest, public ::testing::WithParamInterface<FocusCase> {};

// The clock keeps its own corrections; every other field takes back a value beyond its range.
TEST_P(InputFocus, LimitsWhenLeft) {
    const auto& c = GetParam();
    read_input(c.k, "5");
    f.txt_data_in[c.k].user_edit(c.typed);
    f.txt_data_in[c.k].user_lost_focus();
    EXPECT_EQ(f.txt_data_in[c.k].text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, InputFocus,
    ::testing::Values(FocusCase{"Hour24", 2, "24", "0"}, FocusCase{"Hour23", 2, "23", "23"},
                      FocusCase{"Second60", 0, "60", "0"}, FocusCase{"Minute59", 1, "59", "59"},
                      FocusCase{"Day0", 3, "0", "1"}, FocusCase{"Day32", 3, "32", "1"},
                      FocusCase{"Month13", 4, "13", "1"}, FocusCase{"Month0", 4, "00", "1"},
                      FocusCase{"Year0", 5, "0", "7"}, FocusCase{"Year100", 5, "100", "1"},
                      FocusCase{"Year150", 5, "150", "7"}, FocusCase{"EmptyYear", 5, "", "7"},
                      FocusCase{"NegativeDayFromPaste", 3, "-5", "5"},
                      FocusCase{"TemperatureNegativeDecimal", 8, "-12,5", "-12,5"},
                      FocusCase{"Temperature150", 8, "150", "5"}, FocusCase{"Temperature999", 9, "999", "5"},
                      FocusCase{"ValueWithoutUnit150", 12, "150", "150"},
                      FocusCase{"ValueWithoutUnitBeyond", 24, "-1000", "5"},
                      FocusCase{"PercentBeyond", 22, "101", "5"}, FocusCase{"LoneSeparator", 9, ",", "5"},
                      FocusCase{"EmptyPercent", 10, "", "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Inputs, ReadValueOnlyTabbedThroughStays) {
    read_input(12, "-500");
    f.txt_data_in[12].user_lost_focus();
    EXPECT_EQ(f.txt_data_in[12].text(), "-500");
    EXPECT_FALSE(f.txt_data_in[12].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(Inputs, NonNumericTextIsRestoredFromTheReference) {
    read_input(20, "21,5");
    f.txt_data_in[20].user_edit("-");
    f.txt_data_in[20].user_lost_focus();
    EXPECT_EQ(f.txt_data_in[20].text(), "21,5");
    EXPECT_FALSE(f.txt_data_in[20].pending());
}

struct KeyCaseIn {
    const char* name;
    int k;
    const char* text_before;
    char key;
    bool accepted;
};
void PrintTo(const KeyCaseIn& c, std::ostream* os) { *os << c.name; }

class InputKeys : public EditorTest, public ::testing::WithParamInterface<KeyCaseIn> {};

TEST_P(InputKeys, FilterByField) {
    const auto& c = GetParam();
    f.txt_data_in[c.k].set_text(c.text_before);
    const int key = f.txt_data_in[c.k].user_key_press(static_cast<unsigned char>(c.key));
    EXPECT_EQ(key != 0, c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, InputKeys,
    ::testing::Values(KeyCaseIn{"SecondMinusInTemperature", 8, "-1", '-', false},
                      KeyCaseIn{"SecondSeparatorInTemperature", 8, "1,2", ',', false},
                      KeyCaseIn{"PointInTemperature", 8, "1", '.', true},
                      KeyCaseIn{"PointInPercent", 10, "1", '.', false},
                      KeyCaseIn{"MinusInTemperature", 8, "12", '-', true},
                      KeyCaseIn{"MinusInPercent", 10, "", '-', false},
                      KeyCaseIn{"SeparatorInClock", 3, "1", ',', false},
                      KeyCaseIn{"SeparatorInSeventhClockField", 6, "1", ',', true},
                      KeyCaseIn{"MinusInSeventhClockField", 6, "1", '-', false},
                      KeyCaseIn{"MinusInFanStage", 26, "", '-', true},
                      KeyCaseIn{"DeleteCodePasses", 22, "", '\x7f', true},
                      KeyCaseIn{"LetterInValue", 12, "", 'e', false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Inputs, AutoFanStageWritesFourAndMarksTheList) {
    f.cmb_in[26].user_select(4);
    EXPECT_EQ(f.txt_data_in[26].text(), "4");
    EXPECT_TRUE(f.cmb_in[26].pending());
    EXPECT_TRUE(f.txt_data_in[26].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
    f.cmb_in[26].user_select(0);
    EXPECT_FALSE(f.cmb_in[26].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(Inputs, OccupancyHolderOutsideTheListChangesNothing) {
    f.txt_data_in[27].set_text("3");
    EXPECT_EQ(f.cmb_in[27].list_index(), 0);
    EXPECT_FALSE(f.txt_data_in[27].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(Inputs, InputBitMarkFollowsItsReference) {
    s.input_bit_values[3] = 1;
    f.chk_input[3].set_value(1);
    EXPECT_FALSE(f.chk_input[3].pending());
    f.chk_input[3].user_toggle();
    EXPECT_TRUE(f.chk_input[3].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
}

struct OutCase {
    const char* name;
    int i;
    const char* before;  // caption already shown
    const char* text;
    const char* caption;
};
void PrintTo(const OutCase& c, std::ostream* os) { *os << c.name; }

class OutputWords : public EditorTest, public ::testing::WithParamInterface<OutCase> {};

TEST_P(OutputWords, FanStageAndOccupancyAsText) {
    const auto& c = GetParam();
    f.lbl_in_val[c.i].set_caption(c.before);
    f.txt_data_out[c.i].set_text(c.text);
    EXPECT_EQ(f.lbl_in_val[c.i].caption(), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Words, OutputWords,
    ::testing::Values(OutCase{"FanStage2", 15, "", "2", "2. Stufe"}, OutCase{"FanStage0", 15, "", "0", "Aus"},
                      OutCase{"FanStage7IsAuto", 15, "", "7", "Auto"},
                      OutCase{"FanStageNegativeIsAuto", 15, "", "-1", "Auto"},
                      OutCase{"Unoccupied", 16, "Raum belegt", "0", "Raum nicht belegt"},
                      OutCase{"Occupied", 16, "", "1", "Raum belegt"},
                      OutCase{"Occupancy5KeepsPrevious", 16, "Raum belegt", "5", "Raum belegt"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plx::editor::testing
