// Configuration register fields: lists and holders, key filter, focus loss, spinners.

#include "editor_fixture.h"

namespace plx::editor::testing {
namespace {

using CfgLists = EditorTest;

TEST_F(CfgLists, ButtonFunctionChoiceWritesItsIndex) {
    read_cfg(15, "0");
    f.cmb_cfg[15].user_select(11);
    EXPECT_EQ(f.txt_data_cfg[15].text(), "11");
    EXPECT_TRUE(f.txt_data_cfg[15].pending());
    EXPECT_TRUE(f.cmb_cfg[15].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
}

TEST_F(CfgLists, FanStagesAreOneAboveTheEntry) {
    read_cfg(59, "1");
    EXPECT_EQ(f.cmb_cfg[59].list_index(), 0);
    f.cmb_cfg[59].user_select(2);
    EXPECT_EQ(f.txt_data_cfg[59].text(), "3");
}

TEST_F(CfgLists, ChoosingTheReadEntryAgainClearsBothMarks) {
    read_cfg(28, "2");
    f.cmb_cfg[28].user_select(0);
    ASSERT_TRUE(f.cmb_cfg[28].pending());
    f.cmb_cfg[28].user_select(2);
    EXPECT_FALSE(f.cmb_cfg[28].pending());
    EXPECT_FALSE(f.txt_data_cfg[28].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

struct InvalidHolder {
    const char* name;
    int k;
    const char* text;
};
void PrintTo(const InvalidHolder& c, std::ostream* os) { *os << c.name; }

class CfgInvalidHolder : public EditorTest, public ::testing::WithParamInterface<InvalidHolder> {};

// A value no list entry stands for leaves selection, colours and Apply as they were.
TEST_P(CfgInvalidHolder, LeavesListAndMarksUnchanged) {
    const auto& c = GetParam();
    read_cfg(c.k, c.k == 59 ? "2" : "1");
    const int selected = f.cmb_cfg[c.k].list_index();
    f.txt_data_cfg[c.k].set_text(c.text);
    EXPECT_EQ(f.cmb_cfg[c.k].list_index(), selected);
    EXPECT_FALSE(f.cmb_cfg[c.k].pending());
    EXPECT_FALSE(f.txt_data_cfg[c.k].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

INSTANTIATE_TEST_SUITE_P(Holders, CfgInvalidHolder,
                         ::testing::Values(InvalidHolder{"ButtonFunction25", 12, "25"},
                                           InvalidHolder{"LedFunction2", 20, "2"},
                                           InvalidHolder{"FanStages5", 59, "5"},
                                           InvalidHolder{"FanStages0", 59, "0"},
                                           InvalidHolder{"NegativeIndex", 9, "-1"},
                                           InvalidHolder{"NotANumber", 30, "x"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CfgLists, ButtonCountOutsideTheVariantsStillMarks) {
    read_cfg(2, "8");
    ASSERT_EQ(f.cmb_cfg[2].list_index(), 2);
    f.txt_data_cfg[2].set_text("6");
    EXPECT_EQ(f.cmb_cfg[2].list_index(), 2);
    EXPECT_TRUE(f.txt_data_cfg[2].pending());
    EXPECT_TRUE(f.cmb_cfg[2].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
}

TEST_F(CfgLists, DeviceCodingAndFirmwareShowInTheirLabels) {
    read_cfg(0, "24");
    read_cfg(1, "15");
    EXPECT_EQ(f.lbl_cfg_val[0].caption(), "24");
    EXPECT_EQ(f.lbl_cfg_val[1].caption(), "15");
}

struct KeyCase {
    const char* name;
    int k;
    const char* text_before;
    char key;
    bool accepted;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class CfgKeys : public EditorTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(CfgKeys, FilterByField) {
    const auto& c = GetParam();
    f.txt_data_cfg[c.k].set_text(c.text_before);
    const int key = f.txt_data_cfg[c.k].user_key_press(static_cast<unsigned char>(c.key));
    EXPECT_EQ(key != 0, c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CfgKeys,
    ::testing::Values(KeyCase{"DigitEverywhere", 3, "", '7', true},
                      KeyCase{"BackspaceEverywhere", 45, "12", '\b', true},
                      KeyCase{"SeparatorInOffset", 34, "1", ',', true},
                      KeyCase{"SecondSeparatorInOffset", 34, "1,5", ',', false},
                      KeyCase{"PointStandsForTheSeparator", 34, "1", '.', true},
                      KeyCase{"PointAfterAComma", 34, "1,5", '.', false},
                      KeyCase{"MinusInOffset", 34, "", '-', true},
                      KeyCase{"SecondMinusAnywhere", 35, "1-", '-', false},
                      KeyCase{"MinusInResolution", 37, "", '-', false},
                      KeyCase{"SeparatorInResolution", 37, "2", ',', true},
                      KeyCase{"SeparatorInPercent", 45, "2", ',', false},
                      KeyCase{"MinusInPercentRange", 44, "", '-', false},
                      KeyCase{"MinusInValueRange", 52, "", '-', true},
                      KeyCase{"SeparatorInFanStages", 59, "", ',', true},
                      KeyCase{"MinusInFanStages", 59, "", '-', false},
                      KeyCase{"LetterInLocation", 3, "", 'a', false},
                      KeyCase{"SeparatorInResponseTime", 33, "", ',', false},
                      KeyCase{"PointInLocation", 3, "", '.', false},
                      KeyCase{"EnterIsDiscarded", 34, "", '\r', false}),
    [](const auto& info) { return std::string(info.param.name); });

struct SeparatorCase {
    const char* separator;
    const char* typed;
    const char* shown;
};

// Either separator key makes a decimal, shown with the user's own; the digits never run together.
TEST_F(EditorTest, BothSeparatorKeysGiveTheUsersSeparator) {
    const SeparatorCase cases[] = {{".", "20,5", "20.5"}, {",", "20.5", "20,5"}, {".", "-0.5", "-0.5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        s.decimal_separator = c.separator;
        read_cfg(38, "22");
        type_and_leave(f.txt_data_cfg[38], c.typed);
        EXPECT_EQ(f.txt_data_cfg[38].text(), c.shown);
        type_and_leave(f.txt_data_in[8], c.typed);
        EXPECT_EQ(f.txt_data_in[8].text(), c.shown);
    }
}

struct LeaveCase {
    const char* name;
    int k;
    const char* read;   // what the unit reported
    const char* typed;  // nullptr: the field is only tabbed through
    const char* after;
    bool refused;  // the status line explains a value that was taken back
};
void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.name; }

class CfgLeave : public EditorTest, public ::testing::WithParamInterface<LeaveCase> {};

// Each field's limits are its own range; a typed value beyond them goes back to the text the field
// had, a value the unit reported is never changed by leaving its field.
TEST_P(CfgLeave, KeepsOrTakesBack) {
    const auto& c = GetParam();
    read_cfg(c.k, c.read);
    auto& t = f.txt_data_cfg[c.k];
    if (c.typed) {
        type_and_leave(t, c.typed);
    } else {
        t.user_lost_focus();
    }
    EXPECT_EQ(t.text(), c.after);
    EXPECT_EQ(t.pending(), std::string(c.after) != c.read);
    EXPECT_EQ(f.set_parameter.enabled(), t.pending());
    EXPECT_EQ(f.status_line.caption().empty(), !c.refused) << f.status_line.caption();
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CfgLeave,
    ::testing::Values(LeaveCase{"LocationReadTabbedThrough", 3, "1000", nullptr, "1000", false},
                      LeaveCase{"Location40000", 3, "12", "40000", "40000", false},
                      LeaveCase{"LocationBeyondItsRange", 3, "12", "65536", "12", true},
                      LeaveCase{"ResponseTime1000", 33, "20", "1000", "1000", false},
                      LeaveCase{"ResponseTimeBeyondItsRange", 33, "20", "3001", "20", true},
                      LeaveCase{"BacklightBeyondItsRange", 4, "100", "256", "100", true},
                      LeaveCase{"ReadBeyondItsRangeTabbedThrough", 4, "300", nullptr, "300", false},
                      LeaveCase{"UnitsOwnValueTypedAgain", 4, "300", "300", "300", false},
                      LeaveCase{"OffsetBelowItsRange", 34, "1,5", "-10,1", "1,5", true},
                      LeaveCase{"ValueWithoutUnitAtItsBound", 52, "0", "-999", "-999", false},
                      LeaveCase{"PercentBeyondItsRange", 46, "20", "101", "20", true},
                      // more decimals than the register holds would be rounded away on the wire
                      LeaveCase{"TenthsWithTwoDecimals", 34, "1,5", "0,25", "1,5", true},
                      LeaveCase{"WholeNumberWithDecimal", 52, "0", "1,5", "0", true}),
    [](const auto& info) { return std::string(info.param.name); });

using CfgFocus = EditorTest;

TEST_F(CfgFocus, RefusalNamesTheFieldAndItsRangeInTheUsersLanguage) {
    read_cfg(34, "1,5");
    type_and_leave(f.txt_data_cfg[34], "-12");
    EXPECT_EQ(f.status_line.caption(),
              "Temperatur-Offset [K] (Konfigurationsregister 34): erlaubt sind -10 bis 10. -12 wurde nicht "
              "übernommen, der vorige Wert gilt wieder.");
    s.language_code = "1033";
    f.lbl_data_in[8].set_caption("External temperature 1:");
    read_input(8, "20");
    type_and_leave(f.txt_data_in[8], "999");
    EXPECT_EQ(f.txt_data_in[8].text(), "20");
    EXPECT_EQ(f.status_line.caption(),
              "External temperature 1 (input register 8): allowed are -100 to 100. 999 was not taken; the "
              "previous value is back.");
    type_and_leave(f.txt_data_in[8], "20,25");
    EXPECT_EQ(f.status_line.caption(),
              "External temperature 1 (input register 8): at most one decimal place. 20,25 was not taken; the "
              "previous value is back.");
    // the next value that is taken clears the note
    type_and_leave(f.txt_data_in[8], "21");
    EXPECT_EQ(f.status_line.caption(), "");
}

TEST_F(CfgFocus, SteppedBeyond255StaysWhenLeft) {
    read_cfg(3, "255");
    f.UpD_txt_cfg[3].user_up_click();
    f.txt_data_cfg[3].user_lost_focus();
    EXPECT_EQ(f.txt_data_cfg[3].text(), "256");
    EXPECT_TRUE(f.txt_data_cfg[3].pending());
}

TEST_F(CfgFocus, ReadResponseTimeAsksForNewPacing) {
    f.response_time_changed = false;
    read_cfg(33, "50");
    EXPECT_TRUE(f.response_time_changed);
}

TEST_F(CfgFocus, ZeroResponseTimeBecomesFive) {
    read_cfg(33, "20");
    f.response_time_changed = false;
    type_and_leave(f.txt_data_cfg[33], "0");
    EXPECT_EQ(f.txt_data_cfg[33].text(), "5");
    EXPECT_EQ(s.response_time, 5);
    EXPECT_TRUE(f.response_time_changed);
}

TEST_F(CfgFocus, EmptiedFieldBecomesZeroAndMarks) {
    read_cfg(50, "20");
    f.txt_data_cfg[50].user_edit("");
    f.txt_data_cfg[50].user_lost_focus();
    EXPECT_EQ(f.txt_data_cfg[50].text(), "0");
    EXPECT_TRUE(f.txt_data_cfg[50].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
}

TEST_F(CfgFocus, NonNumericTextIsRestoredFromTheReference) {
    read_cfg(34, "-1,5");
    f.txt_data_cfg[34].user_edit("-");
    f.txt_data_cfg[34].user_lost_focus();
    EXPECT_EQ(f.txt_data_cfg[34].text(), "-1,5");
    EXPECT_FALSE(f.txt_data_cfg[34].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(CfgFocus, TypedDecimalWithUserSeparatorIsKept) {
    read_cfg(34, "0");
    type_and_leave(f.txt_data_cfg[34], "1,5,");
    EXPECT_EQ(f.txt_data_cfg[34].text(), "1,5");
    EXPECT_TRUE(f.txt_data_cfg[34].pending());
}

struct StepCase {
    const char* name;
    int k;
    const char* separator;
    const char* before;
    bool up;
    const char* after;
};
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class CfgSpinner : public EditorTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(CfgSpinner, OneStep) {
    const auto& c = GetParam();
    s.decimal_separator = c.separator;
    f.txt_data_cfg[c.k].set_text(c.before);
    if (c.up) {
        f.UpD_txt_cfg[c.k].user_up_click();
    } else {
        f.UpD_txt_cfg[c.k].user_down_click();
    }
    EXPECT_EQ(f.txt_data_cfg[c.k].text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CfgSpinner,
    ::testing::Values(StepCase{"AtMaxStays", 4, ",", "255", true, "255"},
                      StepCase{"TenthsUpToMax", 34, ".", "9.95", true, "10"},
                      StepCase{"TenthsAtMinStays", 34, ".", "-10", false, "-10"},
                      StepCase{"NoFloatingResidue", 35, ".", "21.5", true, "21.6"},
                      StepCase{"TenthsDownWithComma", 38, ",", "22", false, "21,9"},
                      StepCase{"AboveRangeJumpsToMax", 4, ",", "300", true, "255"},
                      StepCase{"AboveRangeStepsDown", 4, ",", "300", false, "299"},
                      StepCase{"PercentDownToMinusHundred", 44, ",", "-99", false, "-100"},
                      StepCase{"LocationBeyond255", 3, ",", "65534", true, "65535"},
                      StepCase{"ResponseTimeMax", 33, ",", "3000", true, "3000"},
                      StepCase{"ValueWithoutUnitMin", 52, ",", "-999", false, "-999"},
                      StepCase{"NotANumberDoesNothing", 5, ",", "-", true, "-"}),
    [](const auto& info) { return std::string(info.param.name); });

using CfgAutoRepeat = EditorTest;

TEST_F(CfgAutoRepeat, HoldingTheUpperHalfStepsEveryTickUntilRelease) {
    s.decimal_separator = ".";
    auto& spinner = f.UpD_txt_cfg[38];
    spinner.set_width(255);
    spinner.set_height(330);
    f.txt_data_cfg[38].set_text("20");
    spinner.user_mouse_down(100, 60);
    spinner.user_up_click();
    EXPECT_EQ(f.txt_data_cfg[38].text(), "20.1");
    clock.advance_ms(249);
    EXPECT_EQ(f.txt_data_cfg[38].text(), "20.1");
    clock.advance_ms(1);
    EXPECT_EQ(f.txt_data_cfg[38].text(), "20.2");
    clock.advance_ms(500);
    EXPECT_EQ(f.txt_data_cfg[38].text(), "20.4");
    spinner.user_mouse_up();
    clock.advance_ms(1000);
    EXPECT_EQ(f.txt_data_cfg[38].text(), "20.4");
    EXPECT_FALSE(f.Timer.enabled());
}

TEST_F(CfgAutoRepeat, LowerHalfRepeatsDownward) {
    auto& spinner = f.UpD_txt_cfg[45];
    spinner.set_width(255);
    spinner.set_height(330);
    f.txt_data_cfg[45].set_text("10");
    spinner.user_mouse_down(100, 200);
    clock.advance_ms(750);
    EXPECT_EQ(f.txt_data_cfg[45].text(), "7");
    spinner.user_mouse_up();
}

TEST_F(CfgAutoRepeat, LeavingTheEnlargedAreaStopsTheRepeat) {
    auto& spinner = f.UpD_txt_cfg[45];
    spinner.set_width(200);
    spinner.set_height(300);
    f.txt_data_cfg[45].set_text("10");
    spinner.user_mouse_down(100, 10);
    spinner.user_mouse_move(239, 359);  // still inside the area enlarged by 20 %
    EXPECT_TRUE(f.Timer.enabled());
    spinner.user_mouse_move(100, 361);
    EXPECT_FALSE(f.Timer.enabled());
    clock.advance_ms(1000);
    EXPECT_EQ(f.txt_data_cfg[45].text(), "10");
}

}  // namespace
}  // namespace plx::editor::testing
