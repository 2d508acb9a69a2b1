// The composed program: opening the port runs the whole read-out behind the status window.
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "../transfer/unit_rig.h"
#include "program/program.h"
#include "settings/store.h"

#include "../support/null_platform.h"

namespace plx {
namespace {

using QuietMessages = test::RecordingMessages;
using test::NoFiles;
using test::NoShell;

class ProgramReadOut : public ::testing::Test {
  protected:
    void SetUp() override {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.start();
        unit.holding[2] = 8;
        unit.holding[3] = 1234;
        unit.holding[15] = 11;
        unit.holding[35] = 215;
        unit.holding[59] = 2;
        unit.holding[0x0208] = 0xFF83;  // -12.5
        unit.coils[9] = 1;
        unit.coils[25] = 1;
        unit.coils[0x0108] = 1;
    }
    void open_rtu() {
        program.form.Combo_Port[5].user_select(1);
        program.form.Combo_Port[6].user_select(1);
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) {
            transfer::testing::serve_unit(port, unit, clock.now().count());
            clock.advance_ms(5);
        }
    }
    // Runs in 5 ms steps until done() holds; false when the limit passed first.
    template <typename Done>
    bool run_until(Done done, std::int64_t limit_ms) {
        for (std::int64_t t = 0; t < limit_ms; t += 5) {
            run_ms(5);
            if (done()) return true;
        }
        return false;
    }
    std::int64_t now_ms() const { return clock.now().count(); }
    // Opens the port and follows the status window of the read-out: when it opened and closed.
    void open_and_follow_the_window(std::int64_t limit_ms) {
        open_rtu();
        ASSERT_TRUE(run_until([&] { return program.frm_state->loaded(); }, limit_ms));
        opened_at = now_ms();
        ASSERT_TRUE(run_until([&] { return !program.frm_state->loaded(); }, limit_ms));
        closed_at = now_ms();
    }
    std::int64_t opened_at = -1;
    std::int64_t closed_at = -1;

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    transfer::testing::ScriptedUnit unit;
};

TEST_F(ProgramReadOut, OpeningFillsEveryTabBehindTheStatusWindow) {
    open_rtu();
    run_ms(100);
    ASSERT_TRUE(program.frm_state->loaded()) << "the response time opens the status window";
    EXPECT_FALSE(program.form.frm_config.enabled());
    EXPECT_EQ(program.frm_state->controls()->lblTxt.caption(), "Warten ...");

    run_ms(5000);
    EXPECT_FALSE(program.frm_state->loaded());
    EXPECT_TRUE(program.form.frm_config.enabled());
    EXPECT_EQ(program.state.comm_state, idle);

    for (int k = 0; k < 60; ++k) EXPECT_FALSE(program.form.txt_data_cfg[k].text().empty()) << k;
    EXPECT_EQ(program.form.txt_data_cfg[3].text(), "1234");
    EXPECT_EQ(program.form.txt_data_cfg[35].text(), "21,5");
    EXPECT_EQ(program.form.cmb_cfg[2].list_index(), 2) << "8 buttons";
    EXPECT_EQ(program.form.cmb_cfg[15].list_index(), 11);
    EXPECT_EQ(program.form.cmb_cfg[59].list_index(), 1);
    EXPECT_EQ(program.form.chk_cfg[9].value(), 1);
    EXPECT_EQ(program.form.cmb_bit_cfg[25].list_index(), 1);
    EXPECT_EQ(program.form.txt_data_in[8].text(), "-12,5");
    EXPECT_EQ(program.form.chk_input[8].value(), 1);
    EXPECT_FALSE(program.form.set_parameter.enabled()) << "what was read is not a pending change";
    EXPECT_FALSE(program.form.cmb_cfg[2].pending());
}

TEST_F(ProgramReadOut, PollBoxUpdatesTheMonitorLive) {
    open_rtu();
    run_ms(5000);
    unit.holding[0x0102] = 218;
    unit.holding[0x010F] = 2;
    program.form.chk_read_out.user_toggle();
    run_ms(300);
    EXPECT_EQ(program.form.lbl_temp[0].caption(), "21,8");
    unit.holding[0x0102] = 219;
    run_ms(250);
    EXPECT_EQ(program.form.txt_data_out[2].text(), "21,9");
    EXPECT_EQ(program.form.lbl_temp[0].caption(), "21,9");
    EXPECT_EQ(program.form.lbl_in_val[15].caption(), "2. Stufe");
}

TEST_F(ProgramReadOut, ReadOutButtonStartsTheChainAgain) {
    open_rtu();
    run_ms(5000);
    unit.seen.clear();
    unit.holding[3] = 42;
    program.form.read_out_parameter.user_click();
    EXPECT_TRUE(program.frm_state->loaded());
    run_ms(5000);
    EXPECT_EQ(program.form.txt_data_cfg[3].text(), "42");
    EXPECT_EQ(unit.seen.size(), 9u);
}

TEST_F(ProgramReadOut, PromptUnitSeesTheWindowForItsDisplayTime) {
    unit.holding[33] = 20;
    open_and_follow_the_window(10000);
    EXPECT_NEAR(closed_at - opened_at, 2400, 5) << "(2 x 20 + 200) x 10";
    ASSERT_EQ(unit.answered.size(), 10u);
    EXPECT_LT(unit.answered.back().at_ms, closed_at - 500) << "the chain ended well before";
    EXPECT_EQ(program.state.comm_state, idle);
}

TEST_F(ProgramReadOut, SlowUnitIsReadOutCompletelyBeforeTheWindowCloses) {
    unit.holding[33] = 20;
    unit.answer_delay_ms = 1500;
    open_and_follow_the_window(30000);
    EXPECT_GT(closed_at - opened_at, 10000) << "far beyond the display time of 2400 ms";
    ASSERT_EQ(unit.seen.size(), 10u);
    ASSERT_EQ(unit.answered.size(), 10u);
    const std::int64_t input_bits_answered = unit.answered.back().at_ms;
    EXPECT_GE(closed_at, input_bits_answered);
    EXPECT_LE(closed_at - input_bits_answered, 55) << "one reception poll after the input-bit answer";

    for (int k = 0; k < 60; ++k) EXPECT_FALSE(program.form.txt_data_cfg[k].text().empty()) << k;
    EXPECT_EQ(program.form.txt_data_cfg[3].text(), "1234");
    EXPECT_EQ(program.form.txt_data_cfg[59].text(), "2");
    EXPECT_EQ(program.form.chk_cfg[9].value(), 1);
    EXPECT_EQ(program.form.txt_data_in[8].text(), "-12,5");
    EXPECT_EQ(program.form.chk_input[8].value(), 1);
    EXPECT_TRUE(program.form.frm_config.enabled());
    EXPECT_FALSE(program.form.lbl_desc[7].visible());
    EXPECT_EQ(program.state.comm_state, idle);
}

TEST_F(ProgramReadOut, UnitFallingSilentEndsTheWindowWithTheTimeOutLabel) {
    unit.holding[33] = 20;
    open_rtu();
    // the response time and the first two blocks are answered, the third block is not
    ASSERT_TRUE(run_until([&] { return unit.seen.size() == 3; }, 5000));
    unit.silent = true;
    bool open_before_label = false;
    ASSERT_TRUE(run_until(
        [&] {
            if (program.form.lbl_desc[7].visible()) return true;
            open_before_label = program.frm_state->loaded();
            return false;
        },
        15000));
    EXPECT_TRUE(open_before_label) << "the window waited for the unanswered block";
    EXPECT_FALSE(program.frm_state->loaded());
    EXPECT_TRUE(program.form.frm_config.enabled());
    EXPECT_EQ(program.state.comm_state, idle);
    EXPECT_FALSE(program.form.Timer6.enabled());
    EXPECT_TRUE(program.form.txt_data_cfg[25].text().empty()) << "nothing loaded past the silence";

    run_ms(20000);
    EXPECT_EQ(unit.seen.size(), 4u) << "no read-out follows the time-out";
}

}  // namespace
}  // namespace plx
