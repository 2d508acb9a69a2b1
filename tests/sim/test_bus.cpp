// Several units on one simulated line: each answers its own address only, after its own response
// time, from its own image.

#include <gtest/gtest.h>

#include "sim/bus.h"

namespace plx::sim {
namespace {

using std::chrono::milliseconds;

std::vector<std::uint8_t> read_identity(std::uint8_t address) {
    return encode_rtu(modbus::adu_with_pdu(address, from_hex("0300000003").value()));
}

TEST(SimulatedBus, EachUnitAnswersItsOwnAddressAfterItsOwnResponseTime) {
    SimulatedBus bus({{1, {}}, {5, {}}, {17, milliseconds(400)}}, SlaveSettings{});
    struct Row {
        std::uint8_t address;
        milliseconds answered_after;
        std::uint16_t buttons;
    };
    for (const Row& r :
         {Row{1, milliseconds(20), 4}, Row{5, milliseconds(25), 8}, Row{17, milliseconds(400), 4}}) {
        const milliseconds t0(10'000 * r.address);
        bus.receive(read_identity(r.address), t0);
        ASSERT_EQ(bus.next_due(), t0 + r.answered_after) << int{r.address};
        const auto answer = bus.take_due(t0 + r.answered_after);
        ASSERT_EQ(answer.size(), 11u);
        EXPECT_EQ(answer[0], r.address);
        EXPECT_EQ(answer[8], r.buttons) << int{r.address};
    }
    bus.receive(read_identity(2), milliseconds(900'000));
    EXPECT_FALSE(bus.next_due());
    EXPECT_EQ(bus.requests(), 3u);
    // the location code tells the units apart
    EXPECT_EQ(bus.unit(2).tables().cfg_registers[3], 17);
}

}  // namespace
}  // namespace plx::sim
