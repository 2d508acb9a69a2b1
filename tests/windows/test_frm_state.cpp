#include <chrono>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "windows/frm_state.h"

using namespace plx;
using plx::windows::FrmState;
using std::chrono::milliseconds;

namespace {

struct StatusRig {
    StatusRig() {
        main.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
        window.func_read_out_parameter = [this] { ++read_outs; };
        window.transfer_in_progress = [this] { return transfer_running; };
    }
    ~StatusRig() {
        main.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
    }
    void show(int comm_state, int response_time = 0) {
        state.comm_state = comm_state;
        state.response_time = static_cast<std::int16_t>(response_time);
        window.ShowMsgWindow();
    }

    controls::VirtualClock clock;
    ProgramState state;
    FrmConfig main;
    FrmState window{state, main, clock};
    int read_outs = 0;
    // a unit that answers in time has finished when the display ends
    bool transfer_running = false;
};

struct DisplayCase {
    const char* name;
    int comm_state;
    int response_time;
    int display_ms;
};

void PrintTo(const DisplayCase& c, std::ostream* os) {
    *os << c.name;
}

class DisplayTime : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTime, ClosesByItselfAfterIt) {
    const auto& c = GetParam();
    EXPECT_EQ(windows::display_time(c.comm_state, c.response_time), milliseconds(c.display_ms));
    StatusRig rig;
    rig.show(c.comm_state, c.response_time);
    ASSERT_TRUE(rig.window.loaded());
    EXPECT_EQ(rig.window.controls()->Timer2SW.interval(), milliseconds((c.display_ms + 5) / 10));
    rig.clock.advance_ms(c.display_ms - 1);
    EXPECT_TRUE(rig.window.loaded());
    EXPECT_FALSE(rig.main.frm_config.enabled());
    rig.clock.advance_ms(1);
    EXPECT_FALSE(rig.window.loaded());
    EXPECT_TRUE(rig.main.frm_config.enabled());
    EXPECT_EQ(rig.state.comm_state, idle);
}

INSTANTIATE_TEST_SUITE_P(
    StatusWindow,
    DisplayTime,
    ::testing::Values(DisplayCase{"ReadT0", read_registers, 0, 2000},
                      DisplayCase{"ConfigWriteT0", write_cfg_registers, 0, 7000},
                      DisplayCase{"InputWriteT0", write_input_registers, 0, 7000},
                      DisplayCase{"BitsReadT0", read_cfg_bits, 0, 200},
                      DisplayCase{"ReadT50", read_registers, 50, 3000},
                      DisplayCase{"ConfigWriteT50", write_cfg_registers, 50, 10500},
                      DisplayCase{"ConfigWriteBeyond16Bits", write_cfg_registers, 369, 32830},
                      DisplayCase{"ReadBeyond16Bits", read_registers, 1539, 32780},
                      DisplayCase{"ConfigWriteLargestT", write_cfg_registers, 32767, 2300690},
                      DisplayCase{"NegativeTCountsAsZero", read_input_bits, -300, 200}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusWindow, IdleClosesAtOnce) {
    StatusRig rig;
    rig.show(idle);
    EXPECT_FALSE(rig.window.loaded());
    EXPECT_TRUE(rig.main.frm_config.enabled());
    EXPECT_EQ(rig.read_outs, 0);
}

TEST(StatusWindow, BarStepsTenTimesAndNeverBeyond) {
    StatusRig rig;
    rig.show(read_registers);
    auto& bar = rig.window.controls()->ProgressFile;
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(bar.max(), 10);
    rig.clock.advance_ms(200);
    EXPECT_EQ(bar.value(), 1);
    rig.clock.advance_ms(1600);
    EXPECT_EQ(bar.value(), 9);
    // keep the window open past its time: the step timer goes on ticking
    rig.window.controls()->Timer1SW.set_enabled(false);
    rig.clock.advance_ms(5000);
    EXPECT_EQ(bar.value(), 10);
    EXPECT_EQ(rig.window.step_counter(), 10);
}

TEST(StatusWindow, CancelButtonOnlyForConfigurationWrite) {
    for (int s : {read_registers, read_cfg_bits, write_cfg_bits, write_input_registers, read_response_time,
                  write_input_bits, read_input_bits}) {
        StatusRig rig;
        rig.show(s);
        EXPECT_FALSE(rig.window.controls()->Abbruch.visible()) << s;
    }
    StatusRig rig;
    rig.show(write_cfg_registers);
    EXPECT_TRUE(rig.window.controls()->Abbruch.visible());
    // a later stage of the same write keeps it
    rig.show(write_cfg_bits);
    EXPECT_TRUE(rig.window.controls()->Abbruch.visible());
}

TEST(StatusWindow, ShowAgainRestartsTheBar) {
    StatusRig rig;
    rig.show(write_cfg_registers);
    rig.clock.advance_ms(2100);
    EXPECT_EQ(rig.window.controls()->ProgressFile.value(), 3);
    rig.show(write_cfg_bits);
    EXPECT_EQ(rig.window.controls()->ProgressFile.value(), 0);
    rig.clock.advance_ms(200);
    EXPECT_FALSE(rig.window.loaded());
}

TEST(StatusWindow, ReadOutFollowsOnlyWriteDisplays) {
    struct Case {
        int comm_state;
        int read_outs;
    };
    for (const Case c : {Case{write_cfg_bits, 1}, Case{write_input_registers, 1}, Case{write_input_bits, 1},
                         Case{read_registers, 0}, Case{read_input_bits, 0}, Case{write_cfg_registers, 0}}) {
        StatusRig rig;
        rig.show(c.comm_state);
        rig.clock.advance_ms(10000);
        EXPECT_EQ(rig.read_outs, c.read_outs) << c.comm_state;
    }
}

TEST(StatusWindow, ReadOutUsesTheStateTheDisplayEndedWith) {
    StatusRig rig;
    rig.show(write_cfg_registers);
    rig.state.comm_state = write_input_bits;  // the write went on while the window was open
    rig.clock.advance_ms(7000);
    EXPECT_EQ(rig.read_outs, 1);
}

TEST(StatusWindow, CancelStopsTheWriteWithoutReadOut) {
    StatusRig rig;
    rig.show(write_cfg_registers);
    rig.main.Timer1.set_interval(milliseconds(400));
    rig.main.Timer1.set_enabled(true);
    rig.main.Timer6.set_enabled(true);
    rig.state.comm_state = write_input_registers;
    rig.window.controls()->Abbruch.user_click();
    EXPECT_FALSE(rig.window.loaded());
    EXPECT_EQ(rig.state.comm_state, idle);
    EXPECT_FALSE(rig.main.Timer1.enabled());
    EXPECT_FALSE(rig.main.Timer6.enabled());
    EXPECT_TRUE(rig.main.frm_config.enabled());
    rig.clock.advance_ms(20000);
    EXPECT_EQ(rig.read_outs, 0);
}

TEST(StatusWindow, ReadOutFromTheClosingTickOpensAFreshWindow) {
    StatusRig rig;
    rig.window.func_read_out_parameter = [&] {
        ++rig.read_outs;
        rig.show(read_registers);
    };
    rig.show(write_input_bits);
    rig.clock.advance_ms(200);
    ASSERT_EQ(rig.read_outs, 1);
    ASSERT_TRUE(rig.window.loaded());
    EXPECT_EQ(rig.window.controls()->ProgressFile.value(), 0);
    EXPECT_FALSE(rig.window.controls()->Abbruch.visible());
    EXPECT_FALSE(rig.main.frm_config.enabled());
    rig.clock.advance_ms(2000);
    EXPECT_FALSE(rig.window.loaded());
    EXPECT_EQ(rig.read_outs, 1);
}

// ---- a transfer that outlasts its display time

struct OvertimeCase {
    const char* name;
    int comm_state;
    bool told;  // the end is reported (answer dispatched) rather than found at the next step
    int read_outs;
};

void PrintTo(const OvertimeCase& c, std::ostream* os) {
    *os << c.name;
}

class Overtime : public ::testing::TestWithParam<OvertimeCase> {};

TEST_P(Overtime, BarStaysFullUntilTheTransferEnds) {
    const auto& c = GetParam();
    StatusRig rig;
    rig.transfer_running = true;
    rig.show(c.comm_state);
    const auto shown = windows::display_time(c.comm_state, 0).count();
    rig.clock.advance_ms(shown * 4);
    ASSERT_TRUE(rig.window.loaded());
    EXPECT_TRUE(rig.window.overtime());
    EXPECT_EQ(rig.window.controls()->ProgressFile.value(), 10);
    EXPECT_FALSE(rig.main.frm_config.enabled());
    EXPECT_EQ(rig.state.comm_state, c.comm_state) << "the chain goes on under its own state";

    rig.transfer_running = false;
    if (c.told) {
        rig.window.follow_transfer();
    } else {
        rig.clock.advance_ms(shown / 10);
    }
    EXPECT_FALSE(rig.window.loaded());
    EXPECT_TRUE(rig.main.frm_config.enabled());
    EXPECT_EQ(rig.state.comm_state, idle);
    EXPECT_EQ(rig.read_outs, c.read_outs);
}

INSTANTIATE_TEST_SUITE_P(StatusWindow,
                         Overtime,
                         ::testing::Values(OvertimeCase{"ReadOutEndsAtTheNextStep", read_registers, false, 0},
                                           OvertimeCase{"ReadOutEndsWhenTold", read_registers, true, 0},
                                           OvertimeCase{"InputBitsThenReadOut", write_input_bits, true, 1},
                                           OvertimeCase{"ConfigWriteThenReadOut", write_cfg_bits, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatusWindow, NoticeOfAnEndBeforeTheDisplayTimeChangesNothing) {
    StatusRig rig;
    rig.show(read_registers);
    rig.window.follow_transfer();
    rig.clock.advance_ms(1999);
    EXPECT_TRUE(rig.window.loaded());
    rig.clock.advance_ms(1);
    EXPECT_FALSE(rig.window.loaded());
}

TEST(StatusWindow, TimeOutInOvertimeClosesWithoutReadOutAndStopsThePacing) {
    for (const bool during_overtime : {true, false}) {
        StatusRig rig;
        rig.transfer_running = true;
        rig.show(write_input_registers);
        for (controls::Timer* t : {&rig.main.Timer1, &rig.main.Timer2, &rig.main.Timer6}) {
            t->set_interval(milliseconds(400));
            t->set_enabled(true);
        }
        // reported before the display ended, the label is found when it does
        if (!during_overtime) rig.main.lbl_desc[7].set_visible(true);
        rig.clock.advance_ms(7000);
        if (during_overtime) {
            ASSERT_TRUE(rig.window.overtime());
            rig.main.lbl_desc[7].set_visible(true);
            rig.window.follow_transfer();
        }
        EXPECT_FALSE(rig.window.loaded()) << during_overtime;
        EXPECT_TRUE(rig.main.frm_config.enabled());
        EXPECT_EQ(rig.state.comm_state, idle);
        EXPECT_FALSE(rig.main.Timer1.enabled());
        EXPECT_FALSE(rig.main.Timer2.enabled());
        EXPECT_FALSE(rig.main.Timer6.enabled());
        rig.clock.advance_ms(20000);
        EXPECT_EQ(rig.read_outs, 0);
    }
}

TEST(StatusWindow, LoadStepAppliesLanguageAndViewHooksFollow) {
    StatusRig rig;
    std::string applied;
    int shown = 0;
    int unloaded = 0;
    rig.window.apply_language = [&](FrmStateControls& w) {
        w.lblTxt.set_caption("Warten ...");
        applied = w.lblTxt.caption();
    };
    rig.window.on_show = [&] { ++shown; };
    rig.window.on_unload = [&] { ++unloaded; };
    rig.show(read_cfg_bits);
    EXPECT_EQ(applied, "Warten ...");
    EXPECT_EQ(rig.window.controls()->lblTxt.caption(), "Warten ...");
    EXPECT_EQ(shown, 1);
    rig.clock.advance_ms(200);
    EXPECT_EQ(unloaded, 1);
}

}  // namespace
