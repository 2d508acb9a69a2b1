// plx24ctl's loop asleep on a real serial port's descriptor (a socat pseudo-terminal): bytes wake it
// long before its timer, and a device that hangs up is closed and told of once, not heard without end.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "cli/loop.h"
#include "link/qt_serial_port.h"
#include "../link/pty_pair.h"

namespace plx::cli {
namespace {

using namespace std::chrono_literals;

// counts how often the loop found the descriptor ready
struct CountedPort final : link::QtSerialPort {
    void descriptor_ready() override {
        ++ready;
        QtSerialPort::descriptor_ready();
    }
    int ready = 0;
};

struct Case {
    const char* name;
    bool hang_up;  // else the peer sends three bytes
};

class LoopOnDescriptor : public ::testing::TestWithParam<Case> {};

TEST_P(LoopOnDescriptor, WakesAtOnceAndAHungUpDeviceIsClosedAndToldOnce) {
    link::testing::PtyPair line;
    ASSERT_TRUE(line.error().empty()) << line.error();
    CountedPort port;
    port.use_device(line.a);
    ASSERT_FALSE(port.set_port_open(true));
    ASSERT_FALSE(port.wait_on().event_loop);
    ASSERT_GE(port.wait_on().descriptor, 0);

    std::vector<std::uint8_t> heard;
    port.on_arrival = [&] {
        const auto bytes = port.input();
        heard.insert(heard.end(), bytes.begin(), bytes.end());
    };
    int lost = 0;
    int lost_code = 0;
    port.set_lost_handler([&](const modbus::PortError& e) {
        ++lost;
        lost_code = e.code;
    });

    RealTimeLoop loop;
    loop.watch(port);
    // the only timer is far off: the loop ends before it only when the descriptor woke it
    int ticks = 0;
    controls::Timer far;
    far.attach(&loop);
    far.on_tick = [&] { ++ticks; };
    far.set_interval(20s);
    far.set_enabled(true);

    if (GetParam().hang_up) {
        line.hang_up();
    } else {
        ASSERT_TRUE(line.peer_write({0x01, 0x03, 0x02}));
    }
    loop.run_until([&] { return heard.size() >= 3 || lost > 0; });
    // a second turn after the hang-up: a closed port is no longer waited on, the timer runs on
    if (GetParam().hang_up) {
        far.set_interval(300ms);
        loop.run_until([&] { return ticks > 0; });
    }
    loop.unwatch(port);

    if (GetParam().hang_up) {
        EXPECT_EQ(lost, 1);
        EXPECT_EQ(lost_code, modbus::port_error::device_gone);
        EXPECT_FALSE(port.port_open());
        EXPECT_EQ(port.wait_on().descriptor, -1);
        EXPECT_LE(port.ready, 2) << "the hung-up descriptor kept waking the loop";
    } else {
        EXPECT_EQ(heard, (std::vector<std::uint8_t>{0x01, 0x03, 0x02}));
        EXPECT_EQ(ticks, 0);
        EXPECT_EQ(lost, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Line, LoopOnDescriptor,
                         ::testing::Values(Case{"bytes", false}, Case{"hang_up", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plx::cli

int main(int argc, char** argv) {
    // the port closes a lost device from a posted call
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
