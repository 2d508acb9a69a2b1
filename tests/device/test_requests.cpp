#include <array>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/requests.h"

using namespace plx::device::requests;

namespace {

struct RequestCase {
    const char* name;
    std::string built;
    const char* expected;
};

void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << c.name;
}

class RequestString : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestString, Pattern) {
    EXPECT_EQ(GetParam().built, GetParam().expected);
}

const std::array<std::string, 10> kBlockWords{"0001", "0002", "0003", "0021", "FFFE",
                                              "00D7", "0000", "0000", "0000", "0064"};
const std::array<std::uint8_t, 4> kCfgBits{0x81, 0x02, 0x00, 0x00};
const std::array<std::uint8_t, 2> kInputBits{0x01, 0x80};

INSTANTIATE_TEST_SUITE_P(
    Builders,
    RequestString,
    ::testing::Values(
        RequestCase{"FirstBlockAddress5", read_cfg_block("05", 0), "05030000000A"},
        RequestCase{"FirstBlockAddress17", read_cfg_block("11", 0), "11030000000A"},
        RequestCase{"FourthBlock", read_cfg_block("01", 30), "0103001E000A"},
        RequestCase{"LastBlock", read_cfg_block("01", 50), "01030032000A"},
        RequestCase{"ResponseTime", read_response_time("01"), "010300210001"},
        RequestCase{"ConfigurationBits", read_cfg_bits("01"), "010100000020"},
        RequestCase{"InputRegisterReadBack", read_input_registers("01"), "010302070015"},
        RequestCase{"InputBits", read_input_bits("01"), "010101000010"},
        RequestCase{"OutputRegisters", read_output_registers("01"), "010301000011"},
        RequestCase{"WriteBlockAt30", write_cfg_block("01", 30, kBlockWords),
                    "0110001E000A14"
                    "0001000200030021FFFE00D70000000000000064"},
        RequestCase{"WriteConfigurationBits", write_cfg_bits("01", kCfgBits), "010F000000200481020000"},
        RequestCase{"WriteInputRegister8", write_input_register("01", 8, "FFE7"), "01100208000102FFE7"},
        RequestCase{"WriteInputBits", write_input_bits("01", kInputBits), "010F01000010020180"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
