#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "sim/slave.h"

namespace plx::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

Bytes hex(const char* h) { return from_hex(h).value(); }
Bytes text(const std::string& s) { return {s.begin(), s.end()}; }

bool crc_ok(const Bytes& f) {
    if (f.size() < 4) return false;
    const std::uint16_t crc = crc16(std::span(f).first(f.size() - 2));
    return f[f.size() - 2] == (crc & 0xFF) && f[f.size() - 1] == (crc >> 8);
}

struct Bench {
    explicit Bench(SlaveSettings s = {}) : slave(unit, s, 9) {}
    SimulatedUnit unit{4};
    SimulatedSlave slave;
    void send(const modbus::Adu& request, milliseconds at) {
        slave.receive(encode(request, slave.settings().mode, slave.settings().lrc_form), at);
    }
    // everything the slave will ever send, with the times the pieces go out
    std::vector<std::pair<milliseconds, Bytes>> drain() {
        std::vector<std::pair<milliseconds, Bytes>> out;
        while (auto due = slave.next_due()) out.emplace_back(*due, slave.take_due(*due));
        return out;
    }
};

const modbus::Adu read_block_0 = modbus::adu_with_pdu(1, hex("030000000A"));

TEST(Slave, AnswersAfterTheMinimumResponseTime) {
    Bench b;
    b.send(read_block_0, milliseconds(1000));
    EXPECT_TRUE(b.slave.take_due(milliseconds(1019)).empty());
    const Bytes answer = b.slave.take_due(milliseconds(1020));
    ASSERT_EQ(answer.size(), 25u);
    EXPECT_TRUE(crc_ok(answer));
    EXPECT_EQ(answer[0], 1);
    EXPECT_EQ(answer[2], 20);
}

TEST(Slave, NewResponseTimeAppliesToTheNextRequest) {
    Bench b;
    b.send(modbus::adu_with_pdu(1, hex("1000210001020064")), milliseconds(0));  // 100 ms
    b.drain();
    b.send(read_block_0, milliseconds(1000));
    EXPECT_EQ(b.slave.next_due(), milliseconds(1100));
}

TEST(Slave, OtherAddressesAreIgnored) {
    Bench b;
    b.send(modbus::adu_with_pdu(2, hex("030000000A")), milliseconds(0));
    EXPECT_FALSE(b.slave.next_due().has_value());
    EXPECT_EQ(b.slave.counters().other_address, 1u);
}

TEST(Slave, BroadcastWriteIsCarriedOutSilently) {
    Bench b;
    b.send(modbus::adu_with_pdu(0, hex("1000030001020007")), milliseconds(0));
    EXPECT_FALSE(b.slave.next_due().has_value());
    EXPECT_EQ(b.unit.tables().cfg_registers[3], 7);
}

TEST(Slave, UnknownFunctionGetsException01) {
    Bench b;
    b.send(modbus::adu_with_pdu(1, hex("0600030007")), milliseconds(0));
    const auto out = b.drain();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].second, encode_rtu(modbus::adu_with_pdu(1, hex("8601"))));
}

TEST(Slave, AsciiAnswerCarriesTheToolsLrc) {
    SlaveSettings s;
    s.mode = modbus::Framing::ascii;
    Bench b(s);
    b.send(modbus::adu_with_pdu(1, hex("0300210001")), milliseconds(0));
    EXPECT_EQ(b.drain().at(0).second, text(":0103020014" + to_hex(std::vector<std::uint8_t>{lrc_over_hex_characters("0103020014")}) + "\r\n"));
}

TEST(Slave, AsciiStandardLrcOnRequest) {
    SlaveSettings s;
    s.mode = modbus::Framing::ascii;
    s.lrc_form = LrcForm::standard;
    Bench b(s);
    b.send(modbus::adu_with_pdu(1, hex("0300210001")), milliseconds(0));
    EXPECT_EQ(b.drain().at(0).second, encode_ascii(modbus::adu_with_pdu(1, hex("03020014")), LrcForm::standard));
}

TEST(Slave, AnswersKeepTheOrderOfTheRequests) {
    Bench b;
    b.slave.faults().inject_next(FaultKind::slow);
    b.send(read_block_0, milliseconds(0));
    b.send(modbus::adu_with_pdu(1, hex("0300210001")), milliseconds(10));
    EXPECT_TRUE(b.slave.take_due(milliseconds(1000)).empty()) << "the quick answer waits for the slow one";
    const Bytes all = b.slave.take_due(milliseconds(10'000));
    ASSERT_EQ(all.size(), 25u + 7u);
    EXPECT_EQ(all[2], 20);
    EXPECT_EQ(all[25 + 2], 2);
}

// ---- faults, one case per kind, against the answer the unit gives without one

struct FaultCase {
    const char* name;
    FaultKind kind;
    modbus::Framing mode;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class SlaveFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SlaveFaults, ChangesTheAnswerAsNamed) {
    SlaveSettings s;
    s.mode = GetParam().mode;
    Bench b(s);
    const Bytes clean = encode(modbus::adu_with_pdu(1, b.unit.handle(modbus::pdu_of(read_block_0))), s.mode, s.lrc_form);
    b.slave.faults().inject_next(GetParam().kind);
    b.send(read_block_0, milliseconds(0));
    const auto out = b.drain();
    Bytes all;
    for (const auto& [at, piece] : out) all.insert(all.end(), piece.begin(), piece.end());
    const bool rtu = s.mode == modbus::Framing::rtu;

    switch (GetParam().kind) {
    case FaultKind::no_answer:
        EXPECT_TRUE(out.empty());
        break;
    case FaultKind::bad_checksum: {
        ASSERT_EQ(all.size(), clean.size());
        EXPECT_NE(all, clean);
        if (rtu) {
            EXPECT_FALSE(crc_ok(all));
            EXPECT_EQ(all[1], clean[1]) << "the function code stays";
        } else {
            RequestParser check(modbus::Framing::ascii, LrcForm::hex_characters);
            check.feed(all, milliseconds(0));
            EXPECT_FALSE(check.next().has_value()) << "the LRC no longer fits";
            EXPECT_EQ(check.counters().bad_checks, 1u);
        }
        break;
    }
    case FaultKind::wrong_address: {
        ASSERT_EQ(all.size(), clean.size());
        if (rtu) {
            EXPECT_EQ(all[0], 2);
            EXPECT_TRUE(crc_ok(all));
        } else {
            EXPECT_EQ(std::string(all.begin() + 1, all.begin() + 3), "02");
        }
        break;
    }
    case FaultKind::exception:
        EXPECT_EQ(all, encode(modbus::adu_with_pdu(1, hex("8304")), s.mode, s.lrc_form));
        break;
    case FaultKind::split:
        ASSERT_EQ(out.size(), 3u);
        EXPECT_EQ(all, clean);
        EXPECT_EQ(out[1].first - out[0].first, b.slave.settings().split_gap);
        EXPECT_EQ(out[2].first - out[1].first, b.slave.settings().split_gap);
        break;
    case FaultKind::noise: {
        ASSERT_GT(all.size(), clean.size());
        ASSERT_LE(all.size(), clean.size() + 3);
        const std::size_t extra = all.size() - clean.size();
        EXPECT_EQ(Bytes(all.begin() + static_cast<std::ptrdiff_t>(extra), all.end()), clean);
        for (std::size_t n = 0; n < extra; ++n) {
            EXPECT_NE(all[n], 1);
            EXPECT_NE(all[n], ':');
        }
        break;
    }
    case FaultKind::slow:
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].first, milliseconds(20) + b.slave.settings().slow_delay);
        EXPECT_EQ(all, clean);
        break;
    case FaultKind::truncated:
        ASSERT_LT(all.size(), clean.size());
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all, Bytes(clean.begin(), clean.begin() + static_cast<std::ptrdiff_t>(all.size())));
        break;
    case FaultKind::stale_transaction:
        // the gateway in front of the line carries it out; on the line the answer is clean
        EXPECT_EQ(all, clean);
        break;
    }
    EXPECT_EQ(b.slave.applied_faults(), std::vector<FaultKind>{GetParam().kind});
}

std::vector<FaultCase> every_fault_in_both_modes() {
    std::vector<FaultCase> cases;
    for (const auto& k : fault_kinds()) {
        cases.push_back({k.name.data(), k.kind, modbus::Framing::rtu});
        cases.push_back({k.name.data(), k.kind, modbus::Framing::ascii});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Kinds, SlaveFaults, ::testing::ValuesIn(every_fault_in_both_modes()),
                         [](const auto& info) {
                             std::string n = std::string(info.param.name) +
                                             (info.param.mode == modbus::Framing::rtu ? "_rtu" : "_ascii");
                             for (char& c : n) {
                                 if (c == '-') c = '_';
                             }
                             return n;
                         });

TEST(SlaveFaultsNotExecuted, ExceptionAndLostRequestLeaveTheTablesAlone) {
    for (FaultKind k : {FaultKind::exception, FaultKind::no_answer}) {
        Bench b;
        b.slave.faults().inject_next(k);
        b.send(modbus::adu_with_pdu(1, hex("1000030001020007")), milliseconds(0));
        EXPECT_EQ(b.unit.tables().cfg_registers[3], 1) << fault_name(k);
    }
}

TEST(SlaveFaultsPerRun, NumberedRequestIsHitExactly) {
    Bench b;
    b.slave.faults().add({FaultKind::no_answer, 1.0, 3});
    for (int n = 0; n < 5; ++n) b.send(read_block_0, milliseconds(n * 100));
    EXPECT_EQ(b.drain().size(), 4u);
    EXPECT_EQ(b.slave.counters().requests, 5u);
}

TEST(SlaveFaultsPerRun, RateHitsAboutThatShare) {
    Bench b;
    b.slave.faults().add({FaultKind::no_answer, 0.25, std::nullopt});
    for (int n = 0; n < 400; ++n) b.send(read_block_0, milliseconds(n * 100));
    const auto hits = b.slave.counters().faults;
    EXPECT_GT(hits, 60u);
    EXPECT_LT(hits, 140u);
}

TEST(SlaveFaultsPerRun, ExceptionWithItsCodeOnlyForTheChosenFunction) {
    Bench b;
    b.slave.faults().add(*parse_fault("exception-03,fn=10").rule);
    b.send(read_block_0, milliseconds(0));
    b.send(modbus::adu_with_pdu(1, hex("1000030001020007")), milliseconds(100));
    const auto out = b.drain();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].second.size(), 25u) << "a read is answered";
    EXPECT_EQ(out[1].second, encode_rtu(modbus::adu_with_pdu(1, hex("9003"))));
    EXPECT_EQ(b.unit.tables().cfg_registers[3], 1) << "the refused write is not carried out";
}

TEST(Slave, AnyFramingTakesAnAsciiRequestAndAnswersInRtu) {
    SlaveSettings s;
    s.any_framing = true;
    Bench b(s);
    b.slave.receive(encode_ascii(read_block_0, LrcForm::hex_characters), milliseconds(0));
    const auto out = b.drain();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(crc_ok(out[0].second));
}

struct ParseCase {
    const char* text;
    bool ok;
    double rate;
    std::size_t at;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.text; }

class FaultParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(FaultParsing, AcceptsOrExplains) {
    const auto r = parse_fault(GetParam().text);
    EXPECT_EQ(r.rule.has_value(), GetParam().ok) << r.error;
    if (r.rule) {
        EXPECT_DOUBLE_EQ(r.rule->rate, GetParam().rate);
        EXPECT_EQ(r.rule->at_request.value_or(0), GetParam().at);
    } else {
        EXPECT_FALSE(r.error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, FaultParsing,
                         ::testing::Values(ParseCase{"noise", true, 1.0, 0}, ParseCase{"slow:0.25", true, 0.25, 0},
                                           ParseCase{"split@3", true, 1.0, 3}, ParseCase{"bogus", false, 0, 0},
                                           ParseCase{"noise:0", false, 0, 0}, ParseCase{"noise:1.5", false, 0, 0},
                                           ParseCase{"noise:abc", false, 0, 0}, ParseCase{"noise@0", false, 0, 0},
                                           ParseCase{"noise@", false, 0, 0}, ParseCase{"truncated:1", true, 1.0, 0},
                                           ParseCase{"exception-03@2,fn=10", true, 1.0, 2},
                                           ParseCase{"exception-3", false, 0, 0},
                                           ParseCase{"exception-00", false, 0, 0},
                                           ParseCase{"noise,fn=1G", false, 0, 0}));

}  // namespace
}  // namespace plx::sim
