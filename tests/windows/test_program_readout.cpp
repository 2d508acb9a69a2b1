// The composed program: opening the port runs the whole read-out behind the status window.
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "../device/unit_rig.h"
#include "app/program.h"
#include "settings/store.h"

namespace plx {
namespace {

struct QuietMessages : controls::MessageBox {
    void show_ok(const std::string& text) override { last = text; }
    std::string last;
};
struct NoFiles : controls::FileDialog {
    std::optional<std::string> open_file(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> save_file(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};
struct NoShell : controls::Shell {
    bool open(const std::string&) override { return false; }
};

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
            device::testing::serve_unit(port, unit, clock.now().count());
            clock.advance_ms(5);
        }
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    device::testing::ScriptedUnit unit;
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

}  // namespace
}  // namespace plx
