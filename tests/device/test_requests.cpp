#include <array>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/requests.h"
#include "form/program_state.h"

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

struct AnswerCase {
    const char* name;
    int comm_state;
    int current_register;
    std::string response;  // hex from the slave address on, check-sum digits at the end
    bool accepted;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class Answers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(Answers, MatchTheOutstandingRequest) {
    const auto& c = GetParam();
    const auto e = expected_answer(c.comm_state, c.current_register);
    ASSERT_TRUE(e);
    EXPECT_EQ(answers(c.response, *e), c.accepted);
}

const std::string kBlock = "010314" + std::string(40, '0') + "ABCD";
const std::string kOutputs = "010322" + std::string(68, '0') + "ABCD";
const std::string kInputs = "01032A" + std::string(84, '0') + "ABCD";

INSTANTIATE_TEST_SUITE_P(
    Dispatch,
    Answers,
    ::testing::Values(
        AnswerCase{"BlockOfTen", plx::read_registers, 20, kBlock, true},
        AnswerCase{"BlockWithOutputCount", plx::read_registers, 20, kOutputs, false},
        AnswerCase{"OutputsWhilePolling", plx::read_registers, 256, kOutputs, true},
        AnswerCase{"BlockWhilePolling", plx::read_registers, 256, kBlock, false},
        AnswerCase{"BlockShortOfData", plx::read_registers, 0, "010314000100020003", false},
        AnswerCase{"BlockWithCoilFunction", plx::read_registers, 0, "010114" + std::string(40, '0'), false},
        AnswerCase{"ResponseTime", plx::read_response_time, 33, "0103020064B9AF", true},
        AnswerCase{"ResponseTimeWithTwoWords", plx::read_response_time, 33, "01030400640000ABCD", false},
        AnswerCase{"ConfigurationBits", plx::read_cfg_bits, 0, "01010481020000ABCD", true},
        AnswerCase{"ConfigurationBitsAsRegisters", plx::read_cfg_bits, 0, "01030481020000ABCD", false},
        AnswerCase{"InputRegisters", plx::read_input_registers, 0, kInputs, true},
        AnswerCase{"InputRegistersWithBlockCount", plx::read_input_registers, 0, kBlock, false},
        AnswerCase{"InputBits", plx::read_input_bits, 0, "0101020180ABCD", true},
        AnswerCase{"InputBitsWithFourBytes", plx::read_input_bits, 0, "01010401800000ABCD", false},
        AnswerCase{"BlockWriteConfirmed", plx::write_cfg_registers, 30, "0110001E000AABCD", true},
        AnswerCase{"BlockWriteOtherStart", plx::write_cfg_registers, 30, "01100014000AABCD", false},
        AnswerCase{"BitWriteConfirmed", plx::write_cfg_bits, 0, "010F00000020ABCD", true},
        AnswerCase{"BitWriteAsRegisterWrite", plx::write_cfg_bits, 0, "011000000020ABCD", false},
        AnswerCase{"InputRegisterWriteConfirmed", plx::write_input_registers, 520, "011002080001ABCD", true},
        AnswerCase{"InputRegisterWriteOtherRegister", plx::write_input_registers, 520, "011002090001ABCD",
                   false},
        AnswerCase{"InputBitWriteConfirmed", plx::write_input_bits, 0, "010F01000010ABCD", true},
        AnswerCase{"WriteEchoCutShort", plx::write_input_bits, 0, "010F0100", false},
        AnswerCase{"ExceptionAnswer", plx::read_registers, 0, "018302C0F1", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Answers, NothingKnownOutstandingAcceptsAnyFrame) {
    EXPECT_FALSE(expected_answer(plx::idle, 0));
    EXPECT_FALSE(expected_answer(42, 0));
}

}  // namespace
