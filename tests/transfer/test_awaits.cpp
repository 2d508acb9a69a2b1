// Which answer each transaction state of the window takes: only the one to its own request.

#include <array>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "device/chain.h"
#include "device/requests.h"
#include "form/program_state.h"
#include "transfer/transactions.h"

using namespace plx::device::requests;

namespace {

const std::array<std::string, 10> kBlockWords{"0001", "0002", "0003", "0021", "FFFE",
                                              "00D7", "0000", "0000", "0000", "0064"};
const std::array<std::uint8_t, 4> kCfgBits{0x81, 0x02, 0x00, 0x00};
const std::array<std::uint8_t, 2> kInputBits{0x01, 0x80};

struct AwaitedCase {
    const char* name;
    int comm_state;
    int current_register;
    std::string request;  // on the wire when the answer came
    bool awaited;
};

void PrintTo(const AwaitedCase& c, std::ostream* os) {
    *os << c.name;
}

class Awaits : public ::testing::TestWithParam<AwaitedCase> {};

TEST_P(Awaits, TheStateTakesOnlyTheAnswerToItsOwnRequest) {
    const auto& c = GetParam();
    const auto step = plx::transfer::Transactions::step_of(c.comm_state, c.current_register);
    ASSERT_TRUE(step);
    EXPECT_EQ(plx::device::is_awaited(c.request, plx::device::awaited(*step)), c.awaited);
}

INSTANTIATE_TEST_SUITE_P(
    Dispatch,
    Awaits,
    ::testing::Values(
        AwaitedCase{"BlockAt20", plx::read_registers, 20, read_cfg_block("01", 20), true},
        AwaitedCase{"BlockAt30WhileBlockAt0IsAwaited", plx::read_registers, 0, read_cfg_block("01", 30),
                    false},
        AwaitedCase{"PollWhileABlockIsAwaited", plx::read_registers, 0, read_output_registers("01"), false},
        AwaitedCase{"Poll", plx::read_registers, 256, read_output_registers("01"), true},
        AwaitedCase{"BlockWhilePolling", plx::read_registers, 256, read_cfg_block("01", 0), false},
        AwaitedCase{"ResponseTime", plx::read_response_time, 33, read_response_time("05"), true},
        AwaitedCase{"ConfigurationBits", plx::read_cfg_bits, 0, read_cfg_bits("01"), true},
        AwaitedCase{"InputBitsForConfigurationBits", plx::read_cfg_bits, 0, read_input_bits("01"), false},
        AwaitedCase{"InputRegisters", plx::read_input_registers, 0, read_input_registers("01"), true},
        AwaitedCase{"InputBits", plx::read_input_bits, 0, read_input_bits("01"), true},
        AwaitedCase{"BlockWrite", plx::write_cfg_registers, 30, write_cfg_block("01", 30, kBlockWords), true},
        AwaitedCase{"BlockWriteOtherStart", plx::write_cfg_registers, 30,
                    write_cfg_block("01", 20, kBlockWords), false},
        AwaitedCase{"BitWrite", plx::write_cfg_bits, 0, write_cfg_bits("01", kCfgBits), true},
        AwaitedCase{"InputRegisterWrite", plx::write_input_registers, 520,
                    write_input_register("01", 8, "FFE7"), true},
        AwaitedCase{"InputRegisterWriteOtherRegister", plx::write_input_registers, 520,
                    write_input_register("01", 9, "FFE7"), false},
        AwaitedCase{"InputBitWrite", plx::write_input_bits, 0, write_input_bits("01", kInputBits), true},
        AwaitedCase{"CutShort", plx::write_input_bits, 0, "010F0100", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Awaits, NothingKnownOutstandingTakesAnyAnswer) {
    EXPECT_FALSE(plx::transfer::Transactions::step_of(plx::idle, 0));
    EXPECT_FALSE(plx::transfer::Transactions::step_of(42, 0));
}

}  // namespace
