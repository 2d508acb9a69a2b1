#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/simulated_serial_port.h"

namespace plx::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

Bytes hex(const char* h) { return from_hex(h).value(); }

// Stands for the real ports behind the demo port and records what reaches them.
class RecordingPort : public modbus::SerialPort {
public:
    int comm_port() const override { return port; }
    void set_comm_port(int n) override { port = n; }
    std::optional<modbus::PortError> set_settings(const std::string& s) override {
        settings = s;
        return std::nullopt;
    }
    void set_input_mode(modbus::InputMode m) override { mode = m; }
    modbus::InputMode input_mode() const override { return mode; }
    std::optional<modbus::PortError> set_port_open(bool o) override {
        open = o;
        return std::nullopt;
    }
    bool port_open() const override { return open; }
    void output(std::span<const std::uint8_t> b) override { sent.insert(sent.end(), b.begin(), b.end()); }
    int in_buffer_count() override { return 0; }
    std::vector<std::uint8_t> input() override { return {}; }
    std::string device_name(int n) const override { return "/dev/ttyUSB" + std::to_string(n); }

    int port = 1;
    std::string settings;
    modbus::InputMode mode = modbus::InputMode::text;
    bool open = false;
    Bytes sent;
};

struct DemoPort : ::testing::Test {
    milliseconds now{0};
    SimulatedSerialPort port{[this] { return now; }};

    void open_com3(const std::string& settings) {
        port.set_comm_port(3);
        ASSERT_FALSE(port.set_settings(settings).has_value());
        ASSERT_FALSE(port.set_port_open(true).has_value());
    }
};

TEST_F(DemoPort, Com3AnswersRtuOnEightDataBitsOnceTheResponseTimeHasPassed) {
    open_com3("9600,E,8,1");
    port.output(encode_rtu(modbus::adu_with_pdu(1, hex("0300210001"))));
    now = milliseconds(19);
    EXPECT_EQ(port.in_buffer_count(), 0);
    now = milliseconds(20);
    EXPECT_EQ(port.in_buffer_count(), 7);
    EXPECT_EQ(port.input(), encode_rtu(modbus::adu_with_pdu(1, hex("03020014"))));
    EXPECT_TRUE(port.input().empty()) << "the buffer is empty after a read";
}

TEST_F(DemoPort, SevenDataBitsMakeTheUnitSpeakAscii) {
    open_com3("115200,E,7,1");
    port.output(encode_ascii(modbus::adu_with_pdu(1, hex("0300210001")), LrcForm::hex_characters));
    now = milliseconds(1000);
    EXPECT_EQ(port.input(), encode_ascii(modbus::adu_with_pdu(1, hex("03020014")), LrcForm::hex_characters));
}

TEST_F(DemoPort, ClosedLineCarriesNothingAndReopeningDropsStaleAnswers) {
    open_com3("9600,E,8,1");
    port.output(encode_rtu(modbus::adu_with_pdu(1, hex("0300210001"))));
    ASSERT_FALSE(port.set_port_open(false).has_value());
    now = milliseconds(100);
    EXPECT_EQ(port.in_buffer_count(), 0);
    port.output(encode_rtu(modbus::adu_with_pdu(1, hex("0300210001"))));
    ASSERT_FALSE(port.set_port_open(true).has_value());
    EXPECT_EQ(port.in_buffer_count(), 0);
    EXPECT_EQ(port.slave().counters().requests, 1u) << "nothing written while closed reached the unit";
}

TEST_F(DemoPort, MalformedSettingsAreRefused) {
    port.set_comm_port(3);
    for (const char* s : {"9600,E,9,1", "9600,X,8,1", "fast,E,8,1", "9600,E,8", ""}) {
        const auto e = port.set_settings(s);
        ASSERT_TRUE(e.has_value()) << s;
        EXPECT_EQ(e->code, SimulatedSerialPort::no_such_port);
    }
}

TEST_F(DemoPort, OtherPortsFailToOpenWithoutRealPorts) {
    port.set_comm_port(4);
    const auto e = port.set_port_open(true);
    ASSERT_TRUE(e.has_value());
    EXPECT_GT(e->code, 0);
    EXPECT_FALSE(port.port_open());
}

TEST_F(DemoPort, Com3IsNamedAsTheSimulatedUnit) {
    EXPECT_EQ(port.device_name(3), "plx24-sim (Demo)");
    EXPECT_EQ(port.device_name(5), "COM5");
}

TEST(DemoPortWithRealPorts, OtherNumbersGoToTheRealPort) {
    milliseconds now{0};
    RecordingPort real;
    SimulatedSerialPort port([&] { return now; }, &real);
    port.set_comm_port(5);
    EXPECT_FALSE(port.set_settings("19200,N,8,1").has_value());
    EXPECT_FALSE(port.set_port_open(true).has_value());
    EXPECT_TRUE(real.open);
    EXPECT_TRUE(port.port_open());
    port.output(hex("0102"));
    EXPECT_EQ(real.sent, hex("0102"));
    EXPECT_EQ(real.settings, "19200,N,8,1");
    EXPECT_EQ(port.device_name(5), "/dev/ttyUSB5");
    EXPECT_EQ(port.slave().counters().requests, 0u);
}

}  // namespace
}  // namespace plx::sim
