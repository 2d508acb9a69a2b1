// The pending-change scan and the layout for the unit's number of buttons.

#include "editor_fixture.h"

namespace plx::editor::testing {
namespace {

using Pending = EditorTest;

TEST_F(Pending, EditingAwayAndBackSetsAndClearsTheMark) {
    read_cfg(4, "100");
    f.txt_data_cfg[4].user_type('1');
    EXPECT_TRUE(f.txt_data_cfg[4].pending());
    EXPECT_TRUE(f.set_parameter.enabled());
    f.txt_data_cfg[4].user_type('\b');
    EXPECT_FALSE(f.txt_data_cfg[4].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(Pending, HolderMarkAloneEnablesApply) {
    read_cfg(31, "0");
    f.cmb_cfg[31].user_select(1);
    ASSERT_TRUE(f.txt_data_cfg[31].pending());
    // the list's own mark is not scanned: only the hidden holder counts
    f.cmb_cfg[31].set_pending(false);
    check_pending_changes(f);
    EXPECT_TRUE(f.set_parameter.enabled());
    f.cmb_cfg[31].set_pending(true);
    f.txt_data_cfg[31].set_pending(false);
    check_pending_changes(f);
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(Pending, WhilePollingApplyIsLeftAloneUntilPollingStops) {
    f.chk_read_out.set_value(1);
    f.set_parameter.set_enabled(false);
    read_cfg(6, "10");
    f.txt_data_cfg[6].user_type('5');
    EXPECT_TRUE(f.txt_data_cfg[6].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
    f.chk_read_out.set_value(0);
    check_pending_changes(f);
    EXPECT_TRUE(f.set_parameter.enabled());
}

TEST_F(Pending, HiddenHolderOnAnotherTabCounts) {
    f.SSTab1.set_current_tab(3);
    read_cfg(20, "0");
    f.txt_data_cfg[20].set_text("1");
    EXPECT_TRUE(f.set_parameter.enabled());
}

TEST_F(Pending, EveryHolderGroupIsScannedAndOnlyRedCounts) {
    struct Probe {
        const char* name;
        controls::Colored* holder;
    };
    const Probe probes[] = {{"last cfg register", &f.txt_data_cfg[59]}, {"last input register", &f.txt_data_in[27]},
                            {"last input bit", &f.chk_input[15]},       {"last cfg bit", &f.chk_cfg[31]},
                            {"first cfg register", &f.txt_data_cfg[0]}};
    for (const auto& p : probes) {
        p.holder->set_fore_color(0x000000FE);
        check_pending_changes(f);
        EXPECT_FALSE(f.set_parameter.enabled()) << p.name << ": a colour next to red is no mark";
        p.holder->set_pending(true);
        check_pending_changes(f);
        EXPECT_TRUE(f.set_parameter.enabled()) << p.name;
        p.holder->set_pending(false);
        check_pending_changes(f);
        EXPECT_FALSE(f.set_parameter.enabled()) << p.name;
    }
}

// Edits mark the tab that shows them, and only that tab, until they are taken back.
TEST_F(Pending, TabsShowWhereTheMarksAre) {
    auto marked_tabs = [&] {
        std::vector<int> tabs;
        for (int t = 0; t < 9; ++t) {
            if (f.SSTab1.tab_marked(t)) tabs.push_back(t);
        }
        return tabs;
    };
    read_cfg(44, "-10");
    read_input(9, "20");
    f.txt_data_cfg[44].user_type('5');
    EXPECT_EQ(marked_tabs(), std::vector<int>{7});
    f.txt_data_in[9].user_type('1');
    f.chk_input[3].user_toggle();
    EXPECT_EQ(marked_tabs(), (std::vector<int>{4, 5, 7}));
    f.cmb_bit_cfg[29].user_select(1);
    f.cmb_cfg[22].user_select(1);
    EXPECT_EQ(marked_tabs(), (std::vector<int>{2, 4, 5, 7, 8}));
    f.txt_data_cfg[44].user_type('\b');
    f.txt_data_in[9].user_type('\b');
    f.chk_input[3].user_toggle();
    EXPECT_EQ(marked_tabs(), (std::vector<int>{2, 8}));
}

using Variant = EditorTest;

void expect_lamps(const FrmConfig& f, const std::vector<int>& shown) {
    for (int n = 0; n <= 11; ++n) {
        const bool want = std::find(shown.begin(), shown.end(), n) != shown.end();
        EXPECT_EQ(f.Lbl_button[n].visible(), want) << "Lbl_button " << n;
    }
}

void expect_pictures(const FrmConfig& f, int buttons) {
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(f.Image2T[i].visible(), buttons == 2) << i;
        EXPECT_EQ(f.Image4T[i].visible(), buttons == 4) << i;
        EXPECT_EQ(f.Image8T[i].visible(), buttons == 8) << i;
        EXPECT_EQ(f.Image12T[i].visible(), buttons == 12) << i;
    }
}

TEST_F(Variant, StartsWithTwelveButtonPictureAndAllLamps) {
    EXPECT_TRUE(f.Image12T[0].visible());
    expect_lamps(f, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    EXPECT_EQ(f.cmb_cfg[2].list_index(), -1);
}

TEST_F(Variant, TwoButtonsHideEverythingButT5AndT6) {
    f.frm_2T[0].set_visible(false);
    f.cmb_cfg[2].user_select(0);
    EXPECT_EQ(f.txt_data_cfg[2].text(), "2");
    EXPECT_FALSE(f.frm_12T.visible());
    EXPECT_FALSE(f.frm_4T[0].visible());
    EXPECT_FALSE(f.frm_8T[0].visible());
    for (int n : {1, 2}) EXPECT_FALSE(f.frm_4T[n].visible()) << n;
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(f.frm_8T[n].visible()) << n;
    EXPECT_FALSE(f.frm_2T[0].visible()) << "T5 panel keeps its state";
    EXPECT_TRUE(f.frm_2T[1].visible()) << "T6 panel keeps its state";
    expect_pictures(f, 2);
    expect_lamps(f, {4, 5});
    EXPECT_EQ(f.Lbl_button[4].height(), 1400);
    EXPECT_EQ(f.Lbl_button[5].height(), 1400);
}

TEST_F(Variant, FourAfterTwelveKeepsAFollowingLedPanelAsItWas) {
    read_cfg(23, "1");
    f.cmb_cfg[2].user_select(3);
    ASSERT_TRUE(f.frm_4T[2].visible());
    f.cmb_cfg[2].user_select(1);
    EXPECT_TRUE(f.frm_4T[2].visible());
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(f.frm_8T[n].visible()) << n;
    expect_pictures(f, 4);
    expect_lamps(f, {4, 5, 6, 7});
    for (int n = 4; n <= 7; ++n) EXPECT_EQ(f.Lbl_button[n].height(), 680) << n;
    EXPECT_EQ(f.Lbl_button[6].top(), 3030);
    EXPECT_EQ(f.Lbl_button[7].top(), 3030);
}

TEST_F(Variant, FourButtonsShowAFreeLedPanelAgain) {
    read_cfg(22, "0");
    f.cmb_cfg[2].user_select(0);
    ASSERT_FALSE(f.frm_4T[1].visible());
    f.cmb_cfg[2].user_select(1);
    EXPECT_TRUE(f.frm_4T[1].visible());
}

TEST_F(Variant, EightButtonsUseShortLampsInTwoColumns) {
    f.cmb_cfg[2].user_select(1);
    f.cmb_cfg[2].user_select(2);
    expect_lamps(f, {4, 5, 6, 7, 8, 9, 10, 11});
    for (int n = 4; n <= 7; ++n) EXPECT_EQ(f.Lbl_button[n].height(), 280) << n;
    EXPECT_EQ(f.Lbl_button[6].top(), 2670);
    EXPECT_FALSE(f.frm_12T.visible());
    EXPECT_TRUE(f.frm_8T[0].visible());
    expect_pictures(f, 8);
}

TEST_F(Variant, TwelveButtonsAgainAfterTwoRestoreEveryRowLampAndPicture) {
    f.cmb_cfg[2].user_select(0);
    f.cmb_cfg[2].user_select(3);
    EXPECT_EQ(f.txt_data_cfg[2].text(), "12");
    for (auto* frame : {&f.frm_12T, &f.frm_4T[0], &f.frm_8T[0]}) EXPECT_TRUE(frame->visible()) << frame->name;
    expect_pictures(f, 12);
    expect_lamps(f, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (int n = 4; n <= 7; ++n) EXPECT_EQ(f.Lbl_button[n].height(), 280) << n;
    EXPECT_EQ(f.Lbl_button[6].top(), 2670);
}

TEST_F(Variant, LedChoiceOnAMissingButtonLeavesItsPanel) {
    f.cmb_cfg[2].user_select(1);
    ASSERT_FALSE(f.frm_8T[1].visible());
    f.cmb_cfg[24].user_select(1);
    EXPECT_FALSE(f.frm_8T[1].visible());
    f.cmb_cfg[24].user_select(0);
    EXPECT_FALSE(f.frm_8T[1].visible());
}

TEST_F(Variant, BeforeAnyVariantOnlyT5AndT6PanelsFollow) {
    f.cmb_cfg[22].user_select(1);
    f.cmb_cfg[26].user_select(1);
    EXPECT_TRUE(f.frm_4T[1].visible());
    EXPECT_TRUE(f.frm_8T[3].visible());
    f.cmb_cfg[20].user_select(1);
    EXPECT_FALSE(f.frm_2T[0].visible());
    f.cmb_cfg[20].user_select(0);
    EXPECT_TRUE(f.frm_2T[0].visible());
}

TEST_F(Variant, LedFunctionOnTwelveButtonsHidesAndShowsItsPanel) {
    f.cmb_cfg[2].user_select(3);
    f.cmb_cfg[27].user_select(1);
    EXPECT_FALSE(f.frm_8T[4].visible());
    EXPECT_EQ(f.txt_data_cfg[27].text(), "1");
    f.cmb_cfg[27].user_select(0);
    EXPECT_TRUE(f.frm_8T[4].visible());
}

TEST_F(Variant, RegisterReadAsFourLaysOutFourButtons) {
    read_cfg(2, "4");
    EXPECT_EQ(f.cmb_cfg[2].list_index(), 1);
    expect_pictures(f, 4);
    expect_lamps(f, {4, 5, 6, 7});
    EXPECT_FALSE(f.txt_data_cfg[2].pending());
    EXPECT_FALSE(f.cmb_cfg[2].pending());
}

TEST_F(Variant, RegisterReadAsSixLeavesTheLayout) {
    read_cfg(2, "8");
    read_cfg(2, "6");
    EXPECT_EQ(f.cmb_cfg[2].list_index(), 2);
    expect_pictures(f, 8);
}

}  // namespace
}  // namespace plx::editor::testing
