// One contract for every serial port backend: the in-memory fake and QSerialPort over a socat pty.
#include <gtest/gtest.h>

#include <termios.h>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>

#include "link/fake_serial_port.h"
#include "modbus/line_settings.h"
#include "link/qt_serial_port.h"
#include "pty_pair.h"

namespace plx::link {
namespace {

using testing::PtyPair;
using testing::wait_until;

// The test's side of the line for the fake: what the port wrote, and what arrives at the port.
struct FakeBackend {
    bool ready(std::string&) { return true; }
    void prepare() {}
    std::vector<std::uint8_t> peer_read(std::size_t) { return port.take_written(); }
    void peer_write(const std::vector<std::uint8_t>& bytes) { port.inject(bytes); }
    int line_baud() { return modbus::parse_settings_text(port.settings())->baud; }
    FakeSerialPort port;
};

struct PtyBackend {
    bool ready(std::string& why) {
        why = pair.error();
        return why.empty();
    }
    void prepare() {
        const std::string device = pair.a;
        port.set_device_lookup([device](int) { return device; });
    }
    std::vector<std::uint8_t> peer_read(std::size_t n) { return pair.peer_read(n); }
    void peer_write(const std::vector<std::uint8_t>& bytes) { ASSERT_TRUE(pair.peer_write(bytes)); }
    // The line's speed as the device itself holds it.
    int line_baud() {
        const int fd = ::open(pair.a.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return -1;
        termios t{};
        ::tcgetattr(fd, &t);
        ::close(fd);
        switch (::cfgetospeed(&t)) {
            case B9600:
                return 9600;
            case B19200:
                return 19200;
            case B115200:
                return 115200;
            default:
                return 0;
        }
    }
    PtyPair pair;
    QtSerialPort port;
};

template <class Backend>
class SerialPortContract : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(backend.ready(why)) << why;
        backend.prepare();
        port().set_comm_port(3);
        ASSERT_EQ(port().set_settings("9600,N,8,1"), std::nullopt);
        ASSERT_EQ(port().set_port_open(true), std::nullopt);
        ASSERT_TRUE(port().port_open());
    }
    modbus::SerialPort& port() { return backend.port; }
    bool wait_for(int n) {
        return wait_until([&] { return port().in_buffer_count() >= n; });
    }
    Backend backend;
};

using Backends = ::testing::Types<FakeBackend, PtyBackend>;
class BackendNames {
public:
    template <class T>
    static std::string GetName(int) {
        return std::is_same_v<T, FakeBackend> ? "Fake" : "QtPty";
    }
};
TYPED_TEST_SUITE(SerialPortContract, Backends, BackendNames);

TYPED_TEST(SerialPortContract, BytesGoOutAndComeBackUnchanged) {
    const std::vector<std::uint8_t> bytes = {0x00, 0x0D, 0x0A, 0xFF};
    this->port().output(bytes);
    EXPECT_EQ(this->backend.peer_read(bytes.size()), bytes);
    this->backend.peer_write(bytes);
    ASSERT_TRUE(this->wait_for(4));
    EXPECT_EQ(this->port().input(), bytes);
}

TYPED_TEST(SerialPortContract, InputTwiceWithoutNewDataIsEmptyTheSecondTime) {
    this->backend.peer_write({0x01, 0x03, 0x02});
    ASSERT_TRUE(this->wait_for(3));
    EXPECT_EQ(this->port().input().size(), 3u);
    EXPECT_TRUE(this->port().input().empty());
    EXPECT_EQ(this->port().in_buffer_count(), 0);
}

TYPED_TEST(SerialPortContract, SettingsWrittenWhileOpenTakeEffect) {
    ASSERT_EQ(this->backend.line_baud(), 9600);
    EXPECT_EQ(this->port().set_settings("19200,N,8,1"), std::nullopt);
    EXPECT_EQ(this->backend.line_baud(), 19200);
    EXPECT_TRUE(this->port().port_open());
}

TYPED_TEST(SerialPortContract, SevenDataBitsWithEvenParityOpenOnEveryLine) {
    ASSERT_EQ(this->port().set_port_open(false), std::nullopt);
    EXPECT_FALSE(this->port().port_open());
    EXPECT_EQ(this->port().set_settings("115200,E,7,1"), std::nullopt);
    EXPECT_EQ(this->port().set_port_open(true), std::nullopt);
    EXPECT_TRUE(this->port().port_open());
    EXPECT_EQ(this->port().set_settings("9600,E,7,1"), std::nullopt);
    EXPECT_TRUE(this->port().port_open());
}

TYPED_TEST(SerialPortContract, MalformedSettingsAreRefusedWithACode) {
    const auto e = this->port().set_settings("9600;E;7;1");
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->code, modbus::port_error::invalid_settings);
}

TEST(QtSerialPortOpen, MissingDeviceGivesInvalidPortWithTheDevice) {
    QtSerialPort port;
    port.set_device_lookup([](int) { return std::string("/nonexistent/ttyPLX"); });
    port.set_comm_port(3);
    const auto e = port.set_port_open(true);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->code, modbus::port_error::invalid_port);
    EXPECT_EQ(e->device, "/nonexistent/ttyPLX");
    EXPECT_FALSE(e->reason.empty());
    EXPECT_FALSE(port.port_open());
}

TEST(QtSerialPortOpen, PseudoTerminalIsToldApartFromOtherDevices) {
    PtyPair pair;
    ASSERT_EQ(pair.error(), "");
    EXPECT_TRUE(is_pseudo_terminal(pair.a));
    EXPECT_FALSE(is_pseudo_terminal("/dev/null"));
    EXPECT_FALSE(is_pseudo_terminal("/nonexistent/ttyPLX"));
}

}  // namespace
}  // namespace plx::link

int main(int argc, char** argv) {
    // QSerialPort's notifiers want an application object
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
