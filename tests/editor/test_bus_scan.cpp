// "Bus durchsuchen…" on the composed program: the scan runs on the window's timers against simulated
// units, lists them, and opening one puts it on the link panel and reads it out; unsent edits are
// discarded only when the engineer agrees.

#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "program/program.h"
#include "editor/bus_scan.h"
#include "settings/store.h"
#include "sim/bus.h"
#include "sim/simulated_bus_port.h"

namespace plx {
namespace {

using std::chrono::milliseconds;

struct ScanRig : ::testing::Test {
    ScanRig() {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.start();
    }
    void run_while_scanning() {
        for (int n = 0; n < 100'000 && scan.running(); ++n) clock.advance(milliseconds(10));
    }

    controls::VirtualClock clock;
    sim::SimulatedBus bus{{{2, {}}, {7, {}}}, sim::SlaveSettings{}};
    sim::SimulatedBusPort port{bus, {9600, 'E', modbus::Framing::rtu}, [this] { return clock.now(); }};
    test::RecordingMessages messages;
    test::NoFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    editor::BusScan& scan = *program.bus_scan;
};

TEST_F(ScanRig, ListsTheUnitsAndOpensTheChosenOneOnlyWhenUnsentEditsMayGo) {
    editor::BusScan::Choice choice = scan.preset();
    EXPECT_EQ(choice.bauds, std::vector<int>{115200});  // the panel's start-up settings
    choice.bauds = {9600, 19200};
    choice.framings = {modbus::Framing::ascii, modbus::Framing::rtu};
    choice.last = 10;
    ASSERT_TRUE(scan.start(choice));
    EXPECT_TRUE(scan.running());  // the window gets control back at once; the ticks do the rest
    run_while_scanning();
    ASSERT_EQ(scan.units().size(), 2u);
    EXPECT_EQ(scan.row(1), (std::vector<std::string>{"7", "9600 8E1 RTU", "24", "112", "8 Tasten"}));
    EXPECT_EQ(scan.status(), "2 Geräte gefunden. Eines wählen und öffnen.");
    EXPECT_FALSE(port.port_open());

    FrmConfig& f = program.form;
    f.txt_data_cfg[4].set_text("99");  // an unsent edit
    ASSERT_TRUE(has_pending_changes(f));
    messages.answer = false;
    EXPECT_FALSE(scan.open_unit(1));
    EXPECT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(f.txt_Modbus_adress.text(), "1");
    EXPECT_FALSE(port.port_open());

    messages.answer = true;
    ASSERT_TRUE(scan.open_unit(1));
    EXPECT_EQ(f.txt_Modbus_adress.text(), "7");
    EXPECT_EQ(f.Combo_Port[1].current_text(), "9600");
    EXPECT_EQ(f.cbParity.current_text(), "Even");
    EXPECT_EQ(f.Combo_Port[5].current_text(), "RTU");
    EXPECT_EQ(f.Combo_Port[6].current_text(), "open");
    clock.advance(milliseconds(20'000));
    EXPECT_EQ(f.txt_data_cfg[3].text(), "7");  // the unit's location code: it was read out
    EXPECT_EQ(f.cmb_cfg[2].current_text(), "8T");
    EXPECT_FALSE(has_pending_changes(f));
}

TEST_F(ScanRig, NothingChosenOrCancelledSaysSo) {
    editor::BusScan::Choice choice = scan.preset();
    choice.parities.clear();
    EXPECT_FALSE(scan.start(choice));
    EXPECT_NE(scan.status().find("Mindestens eine Baudrate"), std::string::npos);
    ASSERT_TRUE(scan.start(scan.preset()));
    clock.advance(milliseconds(1000));
    scan.cancel();
    EXPECT_FALSE(scan.running());
    EXPECT_EQ(scan.status(), "Abgebrochen: 0 Geräte gefunden.");
    EXPECT_FALSE(port.port_open());
}

}  // namespace
}  // namespace plx
