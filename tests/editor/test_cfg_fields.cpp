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
                      KeyCase{"PointIsNotTheSeparator", 34, "1", '.', false},
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
                      KeyCase{"EnterIsDiscarded", 34, "", '\r', false}),
    [](const auto& info) { return std::string(info.param.name); });

using CfgFocus = EditorTest;

TEST_F(CfgFocus, TypedValueBeyond255BecomesZero) {
    read_cfg(3, "12");
    type_and_leave(f.txt_data_cfg[3], "300");
    EXPECT_EQ(f.txt_data_cfg[3].text(), "0");
    EXPECT_TRUE(f.txt_data_cfg[3].pending());
}

TEST_F(CfgFocus, ZeroResponseTimeBecomesFive) {
    read_cfg(33, "20");
    f.response_time_changed = false;
    type_and_leave(f.txt_data_cfg[33], "0");
    EXPECT_EQ(f.txt_data_cfg[33].text(), "5");
    EXPECT_EQ(s.response_time, 5);
    EXPECT_TRUE(f.response_time_changed);
}

TEST_F(CfgFocus, ResponseTimeBeyond255GoesThroughZeroToFive) {
    read_cfg(33, "20");
    type_and_leave(f.txt_data_cfg[33], "1000");
    EXPECT_EQ(f.txt_data_cfg[33].text(), "5");
    EXPECT_EQ(s.response_time, 5);
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
