// Which device stands behind COMn.
#include <gtest/gtest.h>

#include <cstdlib>

#include "link/port_map.h"

namespace plx::link {
namespace {

class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("PLX24_PORT_MAP"); }
    void TearDown() override { unsetenv("PLX24_PORT_MAP"); }
};

TEST_F(PortMapTest, DefaultsSplitBetweenUsbAdaptersAndOnboardUarts) {
    EXPECT_EQ(default_device(1), "/dev/ttyUSB0");
    EXPECT_EQ(default_device(20), "/dev/ttyUSB19");
    EXPECT_EQ(default_device(21), "/dev/ttyS0");
    EXPECT_EQ(default_device(40), "/dev/ttyS19");
    EXPECT_EQ(default_device(0), "");
    EXPECT_EQ(default_device(41), "");
}

TEST_F(PortMapTest, ParsesEntriesAndSkipsMalformedOnes) {
    const auto map = parse_port_map(" 3 = /dev/pts/7 ;4=/dev/ttyUSB1;x=/dev/a;42=/dev/b;5=;6;;7=/dev/c");
    EXPECT_EQ(map, (std::map<int, std::string>{{3, "/dev/pts/7"}, {4, "/dev/ttyUSB1"}, {7, "/dev/c"}}));
}

TEST_F(PortMapTest, EnvironmentBeatsUserBeatsDefault) {
    PortMap map;
    map.user_lookup = [](int n) { return n <= 4 ? "/dev/user" + std::to_string(n) : std::string(); };
    setenv("PLX24_PORT_MAP", "3=/dev/pts/7", 1);
    EXPECT_EQ(map.device(3), "/dev/pts/7");
    EXPECT_EQ(map.device(4), "/dev/user4");
    EXPECT_EQ(map.device(5), "/dev/ttyUSB4");
    EXPECT_EQ(map.device(42), "");
    // the network entry stands for a gateway and nothing else
    EXPECT_EQ(map.device(kNetworkEntry), "");
    setenv("PLX24_PORT_MAP", "41=/dev/ttyUSB0", 1);
    EXPECT_EQ(map.device(kNetworkEntry), "");
    setenv("PLX24_PORT_MAP", "41=rtu+tcp://10.0.0.5:4001", 1);
    EXPECT_EQ(map.device(kNetworkEntry), "rtu+tcp://10.0.0.5:4001");
}

}  // namespace
}  // namespace plx::link
