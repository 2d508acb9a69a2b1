// Modbus TCP: the MBAP frame of a request, and which answer the receiver takes for it. Only the
// awaited transaction id, protocol 0, unit id, function and exact length make an answer; one under
// another transaction id is a late answer to an earlier request.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "modbus/frame.h"
#include "modbus/receivers.h"
#include "modbus/wandeln.h"

namespace plx::modbus {
namespace {

std::vector<std::uint8_t> hex(const std::string& text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') digits += c;
    }
    EXPECT_TRUE(hex_to_bytes(digits, out)) << text;
    return out;
}

TEST(TcpFrame, HeaderTransactionProtocolLengthThenUnitAndPdu) {
    EXPECT_EQ(request_frame("010300210001", Framing::tcp, 0x1234), hex("1234 0000 0006 01 03 0021 0001"));
}

struct TcpCase {
    const char* name;
    std::string answer;  // MBAP frame as hex
    Verdict verdict;
    int exception_code = 0;
};

void PrintTo(const TcpCase& c, std::ostream* os) {
    *os << c.name;
}

class TcpAcceptance : public ::testing::TestWithParam<TcpCase> {};

// the read of register 33 at unit 1 as transaction 0x0007
TEST_P(TcpAcceptance, OnlyTheAwaitedAnswerIsOk) {
    const auto request = request_frame("010300210001", Framing::tcp, 7);
    auto shape = outstanding_for("010300210001", request);
    ASSERT_TRUE(shape);
    shape->transaction = 7;
    TcpAssembler receiver;
    receiver.expect(shape);
    const auto bytes = hex(GetParam().answer);
    // in two pieces, as a TCP stream may deliver it
    std::vector<Reception> got = receiver.push(std::span(bytes).first(5));
    EXPECT_TRUE(got.empty());
    got = receiver.push(std::span(bytes).subspan(5));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].verdict, GetParam().verdict) << verdict_name(got[0].verdict);
    EXPECT_EQ(got[0].exception_code, GetParam().exception_code);
    EXPECT_EQ(receiver.outstanding(),
              GetParam().verdict != Verdict::ok && GetParam().verdict != Verdict::exception);
}

INSTANTIATE_TEST_SUITE_P(
    Mbap,
    TcpAcceptance,
    ::testing::Values(TcpCase{"Good", "0007 0000 0005 01 03 02 0014", Verdict::ok},
                      TcpCase{"EarlierTransaction", "0006 0000 0005 01 03 02 0014", Verdict::other_transaction},
                      TcpCase{"OtherUnit", "0007 0000 0005 02 03 02 0014", Verdict::wrong_slave_address},
                      TcpCase{"Short", "0007 0000 0004 01 03 01 14", Verdict::misfit},
                      TcpCase{"Long", "0007 0000 0007 01 03 04 0014 0000", Verdict::misfit},
                      TcpCase{"OtherProtocol", "0007 0001 0005 01 03 02 0014", Verdict::discarded},
                      TcpCase{"TargetFailedToRespond", "0007 0000 0003 01 83 0B", Verdict::exception, 0x0B}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plx::modbus
