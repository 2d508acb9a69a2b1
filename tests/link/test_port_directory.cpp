// Which present port stands behind each COM entry, and the one-adapter default of the start-up entry.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/port_directory.h"

namespace plx::link {
namespace {

const PortInfo kFtdi{
    "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3", "/dev/serial/by-id/usb-FTDI_A10K3-if00-port0", true};
const PortInfo kAcm{"/dev/ttyACM0", "RS485 Stick", "Acme", "", "", true};
const PortInfo kUart{"/dev/ttyS0", "", "", "", "", false};

struct Case {
    const char* name;
    std::vector<PortInfo> present;
    std::map<int, std::string> user;  // [Ports]
    std::string run_device;           // --port
    std::string com3;                 // what COM3 stands for besides the default table
};

class OneAdapterDefault : public ::testing::TestWithParam<Case> {};

TEST_P(OneAdapterDefault, Com3) {
    const Case& c = GetParam();
    FakePortEnumeration system;
    system.list = c.present;
    PortDirectory d(&system);
    d.user_map = [&c](int n) { return c.user.count(n) ? c.user.at(n) : std::string(); };
    d.set_run_device(kStartupEntry, c.run_device);
    d.refresh();
#ifdef _WIN32
    EXPECT_EQ(d.assigned(3), "");
#else
    EXPECT_EQ(d.assigned(3), c.com3);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Cases,
    OneAdapterDefault,
    ::testing::Values(
        Case{"NoPort", {}, {}, "", ""},
        Case{"OnlyAnOnboardUart", {kUart}, {}, "", ""},
        Case{"OneAdapter", {kUart, kAcm}, {}, "", "/dev/ttyACM0"},
        Case{"TwoAdaptersNeedAChoice", {kFtdi, kAcm}, {}, "", ""},
        Case{"UserMapWins", {kAcm}, {{3, "/dev/ttyUSB7"}}, "", "/dev/ttyUSB7"},
        Case{"AdapterTheUserPutElsewhere", {kFtdi}, {{5, kFtdi.by_id}}, "", ""},
        Case{"OtherUserEntriesDoNotMatter", {kFtdi}, {{5, "/dev/ttyUSB3"}}, "", "/dev/ttyUSB0"},
        Case{"CommandLineWinsForThisRun", {kFtdi}, {{3, "/dev/ttyUSB7"}}, "/dev/pts/9", "/dev/pts/9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortDirectory, FindsThePresentPortBehindEachEntryAndAssignsByItsStableName) {
    FakePortEnumeration system;
    system.list = {kFtdi, kUart};
    system.links = {{kFtdi.by_id, kFtdi.device}, {"/tmp/line/master", "/dev/pts/4"}};
    system.extra = {
        {"/dev/pts/4", PortInfo{"/tmp/line/master", "Pseudo-Terminal /dev/pts/4", "", "", "", false}}};
    std::map<int, std::string> stored;
    PortDirectory d(&system);
    d.user_map = [&stored](int n) { return stored.count(n) ? stored.at(n) : std::string(); };
    d.store_user_map = [&stored](int n, const std::string& device) {
        stored[n] = device;
        return true;
    };
    d.refresh();

    // a by-id name, the device itself and a pty link are present; a default nobody plugged in is not
    const std::vector<std::pair<std::string, std::string>> rows = {
        {kFtdi.by_id, kFtdi.device},
        {"/dev/ttyUSB0", kFtdi.device},
        {"/tmp/line/master", "/tmp/line/master"},
        {"/dev/ttyUSB5", ""},
        {"", ""},
    };
    for (const auto& [device, found] : rows) {
        const auto p = d.present_port(device);
        EXPECT_EQ(p ? p->device : std::string(), found) << device;
    }
    EXPECT_EQ(port_summary(kFtdi), "FT232R USB UART, FTDI, S/N A10K3");
    EXPECT_EQ(port_summary(kUart), "");

    const auto device_of = [&d](int n) { return n == 1 ? std::string("/dev/ttyUSB0") : d.assigned(n); };
    EXPECT_EQ(d.entries_of(kFtdi, device_of), (std::vector<int>{1, 3}));
    ASSERT_TRUE(d.assign(7, kFtdi));
    EXPECT_EQ(stored[7], kFtdi.by_id);
    EXPECT_EQ(d.entries_of(kFtdi, device_of), (std::vector<int>{1, 7}))
        << "COM3 lets go of an adapter put on COM7";

    d.store_user_map = [](int, const std::string&) { return false; };
    EXPECT_FALSE(d.assign(8, kUart)) << "a settings file that cannot be written is reported";
}

}  // namespace
}  // namespace plx::link
