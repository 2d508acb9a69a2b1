// Demo mode end to end, on the virtual clock: the headless program on the demo port reads the
// simulated unit into every field when "open" is chosen, and polling keeps the monitor live.

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "program/program.h"
#include "controls/timer.h"
#include "settings/store.h"
#include "sim/simulated_serial_port.h"

#include "../support/null_platform.h"

namespace plx {
namespace {

using std::chrono::milliseconds;
namespace regmap = device::regmap;

using QuietMessages = test::RecordingMessages;
using test::NoFiles;
using test::NoShell;
using test::shown;


class DemoProgram : public ::testing::Test {
protected:
    DemoProgram() {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.state.demo = true;
        program.start();
    }
    // bounded: the read-out of a unit with a 20 ms response time takes a few seconds of virtual time
    void run_for(milliseconds span) { clock.advance(span); }
    const sim::UnitTables& unit() { return port.unit().tables(); }

    controls::VirtualClock clock;
    sim::SimulatedSerialPort port{[this] { return clock.now(); }};
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
};

TEST_F(DemoProgram, WindowSaysItTalksToTheSimulatedUnitOnCom3) {
    EXPECT_NE(program.form.frm_config.caption().find("Demo: simulierte Einheit"), std::string::npos);
    EXPECT_EQ(program.form.Combo_Port[0].current_text(), "COM3");
    EXPECT_EQ(port.comm_port(), 3);
}

TEST_F(DemoProgram, OpenReadsEveryFieldFromTheUnitInAscii) {
    program.form.Combo_Port[6].user_select(1);  // "open" with the start-up settings: ASCII, 115200
    ASSERT_TRUE(port.port_open());
    run_for(milliseconds(30'000));
    EXPECT_TRUE(messages.shown.empty());
    const FrmConfig& f = program.form;
    const std::string& sep = program.state.decimal_separator;
    for (int k = 0; k < regmap::cfg_register_group.count; ++k) {
        EXPECT_EQ(f.txt_data_cfg[k].text(),
                  shown(unit().cfg_registers[static_cast<std::size_t>(k)], regmap::is_tenths_cfg(k), sep,
                        regmap::cfg_registers[static_cast<std::size_t>(k)].sign == regmap::Sign::unsigned16))
            << "txt_data_cfg " << k;
        EXPECT_FALSE(f.txt_data_cfg[k].pending()) << k;
    }
    for (int j = 0; j < regmap::cfg_bit_group.count; ++j) {
        EXPECT_EQ(f.chk_cfg[j].value(), unit().cfg_bits[static_cast<std::size_t>(j)] ? 1 : 0) << "chk_cfg " << j;
    }
    for (int j = 0; j < regmap::input_bit_group.count; ++j) {
        EXPECT_EQ(f.chk_input[j].value(), unit().input_bits[static_cast<std::size_t>(j)] ? 1 : 0) << "chk_input " << j;
    }
    for (int k = regmap::input_register_group.read_first; k <= regmap::input_register_last_shown; ++k) {
        EXPECT_EQ(f.txt_data_in[k].text(),
                  shown(unit().input_registers[static_cast<std::size_t>(k)], regmap::is_tenths_in(k), sep))
            << "txt_data_in " << k;
    }
    EXPECT_EQ(f.cmb_cfg[2].current_text(), "4T");
}

TEST_F(DemoProgram, RtuReadOutFillsTheSameValues) {
    program.form.Combo_Port[5].user_select(1);  // RTU
    program.form.Combo_Port[6].user_select(1);
    run_for(milliseconds(30'000));
    EXPECT_EQ(port.slave().settings().mode, modbus::Framing::rtu);
    EXPECT_EQ(program.form.txt_data_cfg[38].text(), shown(unit().cfg_registers[38], true, program.state.decimal_separator));
    EXPECT_EQ(program.form.txt_data_cfg[33].text(), "20");
    EXPECT_EQ(program.state.response_time, 20);
}

TEST_F(DemoProgram, PollingMakesTheMonitorLive) {
    program.form.Combo_Port[6].user_select(1);
    run_for(milliseconds(30'000));
    program.form.chk_read_out.user_toggle();
    ASSERT_EQ(program.form.chk_read_out.value(), 1);
    std::set<std::string> temperatures;
    for (int n = 0; n < 600; ++n) {
        run_for(milliseconds(500));
        temperatures.insert(program.form.txt_data_out[2].text());
    }
    const FrmConfig& f = program.form;
    const std::string& sep = program.state.decimal_separator;
    EXPECT_GT(temperatures.size(), 2u) << "the room temperature drifts";
    EXPECT_GE(std::stol(f.txt_data_out[0].text()), 0xF000);
    // the setpoint side follows the inputs exactly: no offsets, so effective = basic
    for (int i = 3; i <= 16; ++i) {
        EXPECT_EQ(f.txt_data_out[i].text(),
                  shown(unit().output_registers[static_cast<std::size_t>(i)], regmap::is_tenths_out(i), sep))
            << "txt_data_out " << i;
    }
    EXPECT_EQ(f.lbl_temp[0].caption().empty(), false);
}

TEST_F(DemoProgram, OtherPortsAreNotConnectedInDemo) {
    program.form.Combo_Port[0].user_select(4);  // COM5
    program.form.Combo_Port[6].user_select(1);
    EXPECT_FALSE(port.port_open());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("COM-Port not available"), std::string::npos);
    EXPECT_EQ(program.form.Combo_Port[6].list_index(), 0) << "back to close";
}

}  // namespace
}  // namespace plx
