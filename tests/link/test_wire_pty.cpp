// The first request on a real line: the program opens COM3 (mapped to a pty) and the peer sees
// exactly the frame; the peer's answer comes back through the reception poll.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/timer.h"
#include "device/requests.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "link_fixture.h"
#include "pty_pair.h"

namespace plx::link {
namespace {

using testing::PtyPair;
using testing::RecordingMessageBox;
using testing::wait_until;

struct WireRig {
    WireRig() {
        form.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
        link.on_response = [this] { dispatched.push_back(state.response_text); };
        link.first_request = [](const std::string& slave) { return device::requests::read_response_time(slave); };
        const std::string device = pair.a;
        link.port_override = [device](int n) { return n == 3 ? device : std::string(); };
    }
    ~WireRig() {
        form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
    }
    void open(int mode_entry) {
        link.load_link_panel();
        link.apply_startup_settings();
        form.Combo_Port[5].user_select(mode_entry);
        form.Combo_Port[6].user_select(1);
    }
    // Polls the way Timer4 does until something is dispatched or the line stays quiet.
    bool poll_until_dispatched() {
        return wait_until([&] {
            clock.advance(form.Timer4.interval());
            return !dispatched.empty();
        });
    }

    PtyPair pair;
    controls::VirtualClock clock;
    FrmConfig form;
    ProgramState state;
    QtSerialPort port;
    RecordingMessageBox messages;
    modbus::Engine engine{port, clock, form.Timer4, form.Timer5};
    Link link{form, state, engine, messages};
    std::vector<std::string> dispatched;
};

std::vector<std::uint8_t> bytes_of(std::string_view s) { return {s.begin(), s.end()}; }

TEST(WirePty, AsciiFirstRequestAndAnswer) {
    WireRig rig;
    ASSERT_EQ(rig.pair.error(), "");
    rig.open(0);
    ASSERT_TRUE(rig.port.port_open()) << (rig.messages.shown.empty() ? "" : rig.messages.shown[0]);
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.form.Combo_Port[0].tooltip(), rig.pair.a);
    const auto request = bytes_of(":010300210001B8\r\n");
    EXPECT_EQ(rig.pair.peer_read(request.size()), request);

    ASSERT_TRUE(rig.pair.peer_write(bytes_of(":010302006410\r\n")));
    ASSERT_TRUE(rig.poll_until_dispatched());
    EXPECT_EQ(rig.dispatched, std::vector<std::string>{"010302006410"});
    EXPECT_TRUE(rig.state.link_ready);
}

TEST(WirePty, RtuFirstRequestAndAnswer) {
    WireRig rig;
    ASSERT_EQ(rig.pair.error(), "");
    rig.open(1);
    ASSERT_TRUE(rig.port.port_open());
    const std::vector<std::uint8_t> request = {0x01, 0x03, 0x00, 0x21, 0x00, 0x01, 0xD4, 0x00};
    EXPECT_EQ(rig.pair.peer_read(request.size()), request);

    ASSERT_TRUE(rig.pair.peer_write({0x01, 0x03, 0x02, 0x00, 0x64, 0xB9, 0xAF}));
    ASSERT_TRUE(rig.poll_until_dispatched());
    EXPECT_EQ(rig.dispatched, std::vector<std::string>{"0103020064B9AF"});
}

TEST(WirePty, UnmappedDeviceFailsWithTheDeviceInTheMessage) {
    WireRig rig;
    rig.link.port_override = [](int) { return std::string("/nonexistent/ttyPLX"); };
    rig.open(0);
    EXPECT_FALSE(rig.port.port_open());
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].rfind("COM-Port not available,  8002\nGerät /nonexistent/ttyPLX: ", 0), 0u)
        << rig.messages.shown[0];
    EXPECT_EQ(rig.form.Combo_Port[6].current_text(), "close");
}

}  // namespace
}  // namespace plx::link
