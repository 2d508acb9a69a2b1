// The whole headless program against the simulated unit: the start state, the layout that follows
// the unit read out, and "&Beenden" in the middle of a read-out.

#include <gtest/gtest.h>

#include <deque>

#include "program/program.h"
#include "controls/timer.h"
#include "settings/store.h"
#include "sim/slave.h"
#include "sim/unit.h"

#include "../support/null_platform.h"

namespace plx::editor::testing {
namespace {

// The simulated unit on the virtual clock: what the program writes reaches the slave at once, its
// answers arrive when they are due.
class SimPort : public modbus::SerialPort {
public:
    SimPort(sim::SimulatedSlave& slave, controls::VirtualClock& clock) : slave_(slave), clock_(clock) {}
    int comm_port() const override { return port_; }
    void set_comm_port(int n) override { port_ = n; }
    std::optional<modbus::PortError> set_settings(const std::string&) override { return std::nullopt; }
    void set_input_mode(modbus::InputMode m) override { mode_ = m; }
    modbus::InputMode input_mode() const override { return mode_; }
    std::optional<modbus::PortError> set_port_open(bool open) override {
        open_ = open;
        return std::nullopt;
    }
    bool port_open() const override { return open_; }
    void output(std::span<const std::uint8_t> bytes) override {
        ++frames_out;
        slave_.receive(bytes, clock_.now());
    }
    int in_buffer_count() override {
        pull();
        return static_cast<int>(in_.size());
    }
    std::vector<std::uint8_t> input() override {
        pull();
        std::vector<std::uint8_t> out(in_.begin(), in_.end());
        in_.clear();
        return out;
    }
    std::string device_name(int n) const override { return "sim" + std::to_string(n); }

    int frames_out = 0;

private:
    void pull() {
        for (std::uint8_t b : slave_.take_due(clock_.now())) in_.push_back(b);
    }
    sim::SimulatedSlave& slave_;
    controls::VirtualClock& clock_;
    int port_ = 1;
    modbus::InputMode mode_ = modbus::InputMode::text;
    bool open_ = false;
    std::deque<std::uint8_t> in_;
};

using QuietMessages = test::RecordingMessages;
using test::NoFiles;
using test::NoShell;

class ProgramOnSimulator : public ::testing::Test {
protected:
    ProgramOnSimulator() {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.start();
    }
    void open_rtu_port() {
        program.form.Combo_Port[5].user_select(1);  // RTU
        program.form.Combo_Port[6].user_select(1);  // open
    }

    controls::VirtualClock clock;
    sim::SimulatedUnit unit;
    sim::SimulatedSlave slave{unit, sim::SlaveSettings{}};
    SimPort port{slave, clock};
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
};

TEST_F(ProgramOnSimulator, StartsWithNothingPendingAndNothingSent) {
    const FrmConfig& f = program.form;
    for (const auto& [k, t] : f.txt_data_in) EXPECT_FALSE(t.pending()) << "txt_data_in " << k;
    EXPECT_FALSE(f.set_parameter.enabled());
    EXPECT_EQ(program.state.input_register_values[5], 7);
    EXPECT_EQ(program.state.input_register_values[20], 22);
    clock.advance_ms(30000);
    EXPECT_EQ(port.frames_out, 0);
}

TEST_F(ProgramOnSimulator, ReadOutLaysTheWindowOutForTheUnitAndLeavesNothingPending) {
    open_rtu_port();
    clock.advance_ms(60000);
    const FrmConfig& f = program.form;
    ASSERT_GT(port.frames_out, 8) << "a whole read-out went on the line";
    // the factory unit has four buttons
    EXPECT_EQ(f.cmb_cfg[2].list_index(), 1);
    EXPECT_TRUE(f.Image4T[0].visible());
    EXPECT_FALSE(f.Image12T[0].visible());
    EXPECT_FALSE(f.Lbl_button[0].visible());
    for (const auto& [k, t] : f.txt_data_cfg) EXPECT_FALSE(t.pending()) << "txt_data_cfg " << k;
    for (const auto& [j, b] : f.chk_cfg) EXPECT_FALSE(b.pending()) << "chk_cfg " << j;
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(ProgramOnSimulator, ExitDuringReadOutStopsEveryTimerAndSendsNothingMore) {
    open_rtu_port();
    // between two block reads, with the pacing timer about to send the next one
    const FrmConfig& f = program.form;
    int guard = 0;
    while (!(program.state.current_register >= 20 && f.Timer6.enabled() && program.state.link_ready) &&
           guard++ < 20000) {
        clock.advance_ms(1);
    }
    ASSERT_TRUE(f.Timer6.enabled()) << "the read-out did not reach its third block";
    bool quit = false;
    program.editor->quit = [&] { quit = true; };

    // the menu command as it arrives; the status window keeps the window itself disabled meanwhile
    program.editor->ParMenueMain_Click(4);

    EXPECT_TRUE(quit);
    program.form.for_each_timer([](controls::Timer& t) { EXPECT_FALSE(t.enabled()) << t.name; });
    const int sent = port.frames_out;
    clock.advance_ms(120000);
    EXPECT_EQ(port.frames_out, sent);
}

TEST_F(ProgramOnSimulator, ExitFromTheMenuWhilePollingSendsNothingMore) {
    open_rtu_port();
    clock.advance_ms(60000);
    FrmConfig& f = program.form;
    f.chk_read_out.user_toggle();
    clock.advance_ms(5000);
    ASSERT_TRUE(f.Timer7.enabled()) << "polling runs";
    ASSERT_TRUE(f.frm_config.enabled());
    const int polled = port.frames_out;
    clock.advance_ms(5000);
    ASSERT_GT(port.frames_out, polled);
    bool quit = false;
    program.editor->quit = [&] { quit = true; };

    f.ParMenueMain[4].user_click();

    EXPECT_TRUE(quit);
    f.for_each_timer([](controls::Timer& t) { EXPECT_FALSE(t.enabled()) << t.name; });
    const int sent = port.frames_out;
    clock.advance_ms(120000);
    EXPECT_EQ(port.frames_out, sent);
}

struct ExitCase {
    const char* name;
    bool edited;
    bool from_menu;  // "&Beenden"; otherwise the window's close box
    bool discard;    // the user's answer
    bool ends;
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ExitWithEdits : public ProgramOnSimulator, public ::testing::WithParamInterface<ExitCase> {};

// Unsent edits make both ways out ask once; without any the program ends at once.
TEST_P(ExitWithEdits, AsksOnceAndEndsOnlyWhenDiscarded) {
    const auto& c = GetParam();
    FrmConfig& f = program.form;
    if (c.edited) f.chk_cfg[5].user_toggle();
    messages.answer = c.discard;
    bool ended = false;
    program.editor->quit = [&] { ended = true; };
    program.editor->end_program = [&] { ended = true; };
    if (c.from_menu) {
        f.ParMenueMain[4].user_click();
    } else if (program.editor->Form_QueryUnload()) {
        program.editor->Form_Unload();
    }
    EXPECT_EQ(ended, c.ends);
    EXPECT_EQ(program.editor->ended(), c.ends);
    ASSERT_EQ(messages.asked.size(), c.edited ? 1u : 0u);
    if (c.edited) {
        EXPECT_NE(messages.asked[0].find("Verwerfen und beenden?"), std::string::npos) << messages.asked[0];
    }
    EXPECT_EQ(f.chk_cfg[5].pending(), c.edited);
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitWithEdits,
                         ::testing::Values(ExitCase{"MenuWithoutEdits", false, true, false, true},
                                           ExitCase{"CloseWithoutEdits", false, false, false, true},
                                           ExitCase{"MenuCancelled", true, true, false, false},
                                           ExitCase{"MenuDiscarded", true, true, true, true},
                                           ExitCase{"CloseCancelled", true, false, false, false},
                                           ExitCase{"CloseDiscarded", true, false, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plx::editor::testing
