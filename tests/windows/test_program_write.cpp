// The composed program: the user edits, presses Apply, the status window runs and its closing reads
// the unit back.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../transfer/unit_rig.h"
#include "program/program.h"
#include "settings/store.h"

#include "../support/null_platform.h"

namespace plx {
namespace {

using test::NoFiles;
using test::NoShell;

class ProgramWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.start();
        unit.holding[3] = 1234;
        program.form.Combo_Port[5].user_select(1);
        program.form.Combo_Port[6].user_select(1);
        run_ms(6000);
        ASSERT_FALSE(program.frm_state->loaded()) << "the read-out after opening has ended";
        unit.seen.clear();
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) {
            transfer::testing::serve_unit(port, unit, clock.now().count());
            clock.advance_ms(5);
        }
    }
    std::vector<std::string> requests() const {
        std::vector<std::string> out;
        for (const auto& s : unit.seen) out.push_back(s.request);
        return out;
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    transfer::testing::RecordingMessageBox messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    transfer::testing::ScriptedUnit unit;
};

TEST_F(ProgramWrite, InputBitWriteEndsInAReadOut) {
    program.form.chk_input[3].user_toggle();
    ASSERT_TRUE(program.form.set_parameter.enabled());
    program.form.set_parameter.user_click();
    EXPECT_TRUE(program.frm_state->loaded());
    EXPECT_FALSE(program.form.frm_config.enabled());
    run_ms(100);
    EXPECT_EQ(requests(), std::vector<std::string>{"010F01000010020800"});
    EXPECT_EQ(program.state.comm_state, write_input_bits);

    // the unit now holds the bit; the read-out after the window shows what it reports
    unit.coils[0x0103] = 1;
    run_ms(6000);
    const auto r = requests();
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[1], "01030000000A");
    EXPECT_EQ(r[9], "010101000010");
    EXPECT_FALSE(program.frm_state->loaded());
    EXPECT_EQ(program.form.chk_input[3].value(), 1);
    EXPECT_FALSE(program.form.chk_input[3].pending());
    EXPECT_FALSE(program.form.set_parameter.enabled());
}

TEST_F(ProgramWrite, ConfigurationWriteIsReadBack) {
    program.form.txt_data_cfg[3].user_edit("4321");
    ASSERT_TRUE(program.form.txt_data_cfg[3].pending());
    program.form.set_parameter.user_click();
    ASSERT_TRUE(program.form.Timer1.enabled());
    run_ms(3000);
    const auto r = requests();
    ASSERT_GE(r.size(), 7u);
    EXPECT_EQ(r[0].substr(0, 14), "01100000000A14");
    EXPECT_EQ(r[0].substr(26, 4), "10E1");  // register 3 = 4321
    EXPECT_EQ(r[6].substr(0, 14), "010F0000002004");

    // what the unit reports after the write replaces the edit
    unit.holding[3] = 4321;
    run_ms(12000);
    EXPECT_FALSE(program.frm_state->loaded());
    EXPECT_GE(requests().size(), 7u + 9u);
    EXPECT_EQ(program.form.txt_data_cfg[3].text(), "4321");
    EXPECT_FALSE(program.form.txt_data_cfg[3].pending());
}

TEST_F(ProgramWrite, ValueBeyondSixteenBitsIsRefusedWithItsName) {
    program.form.txt_data_in[7].user_edit("7000");
    ASSERT_TRUE(program.form.set_parameter.enabled());
    program.form.set_parameter.user_click();
    run_ms(3000);
    EXPECT_TRUE(requests().empty());
    EXPECT_FALSE(program.frm_state->loaded());
    EXPECT_TRUE(program.form.frm_config.enabled());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("Eingangsregister 7"), std::string::npos) << messages.shown[0];
}

}  // namespace
}  // namespace plx
