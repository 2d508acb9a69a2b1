// Reception: frame assembly from what each Timer4 poll finds, the check sums, the address filter,
// the hand-over to the dispatch and the time-out.
#include <random>

#include <gtest/gtest.h>

#include "modbus/diagnostics.h"
#include "modbus/frame.h"
#include "modbus/wandeln.h"
#include "link_fixture.h"

namespace plx::link {
namespace {

using testing::LinkRig;

std::vector<std::uint8_t> hex(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') digits += c;
    }
    EXPECT_TRUE(modbus::hex_to_bytes(digits, out)) << text;
    return out;
}

// Every verdict as "name" or, for an exception, "exception NN".
struct VerdictLog : modbus::Observer {
    void frame_sent(const modbus::SentFrame& frame) override { sent.push_back(frame); }
    void received(const modbus::Reception& r) override {
        std::string v(modbus::verdict_name(r.verdict));
        if (r.verdict == modbus::Verdict::exception)
            v += " " + modbus::byte_to_hex(static_cast<std::uint8_t>(r.exception_code));
        verdicts.push_back(v);
        receptions.push_back(r);
    }
    std::string joined() const {
        std::string out;
        for (const auto& v : verdicts) out += (out.empty() ? "" : ", ") + v;
        return out;
    }
    std::vector<modbus::SentFrame> sent;
    std::vector<std::string> verdicts;
    std::vector<modbus::Reception> receptions;
};

// An open link in the given mode with the first request sent, recording every dispatch.
struct ReceptionRig : LinkRig {
    explicit ReceptionRig(const std::string& mode, const std::string& address = "1") {
        form.txt_Modbus_adress.set_text(address);
        link.on_response = [this] { dispatched.push_back(state.response_text); };
        link.observe(&log);
        open(mode);
        port.take_written();
    }
    // What the unit sends, then one poll.
    void poll(const std::vector<std::uint8_t>& bytes) {
        port.inject(bytes);
        clock.advance(form.Timer4.interval());
    }
    void poll_text(std::string_view text) {
        port.inject(text);
        clock.advance(form.Timer4.interval());
    }
    std::vector<std::string> dispatched;
    VerdictLog log;
};

struct ReceptionCase {
    const char* name;
    const char* mode;
    std::vector<std::string> polls;  // RTU: hex bytes; ASCII: the characters as sent; "echo": the request
    std::vector<std::string> dispatched;
    const char* verdicts;      // after one more, silent poll
    const char* request = "";  // sent after opening; empty: only the opening's read of register 33
    const char* open_address = "1";
    const char* address_then = nullptr;  // typed after opening, before the unit answers
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const ReceptionCase& c, std::ostream* os) {
    *os << c.name;
}

class Reception : public ::testing::TestWithParam<ReceptionCase> {};

TEST_P(Reception, OnlyTheExactAnswerReachesTheDispatch) {
    const ReceptionCase& c = GetParam();
    ReceptionRig rig(c.mode, c.open_address);
    const bool rtu = std::string(c.mode) == "RTU";
    std::string request = *c.request ? c.request : "010300210001";
    if (*c.request) rig.link.transmit(request);
    if (c.address_then) rig.form.txt_Modbus_adress.set_text(c.address_then);
    const bool sent = rig.form.Timer5.enabled();
    const std::string echo = rtu ? modbus::bytes_to_hex(modbus::rtu_frame(request)) : modbus::ascii_frame(request);
    for (std::string chunk : c.polls) {
        if (const auto at = chunk.find("echo"); at != std::string::npos) chunk.replace(at, 4, echo);
        if (rtu) {
            rig.poll(hex(chunk));
        } else {
            rig.poll_text(chunk);
        }
    }
    rig.clock.advance(rig.form.Timer4.interval());
    EXPECT_EQ(rig.dispatched, c.dispatched);
    EXPECT_EQ(rig.log.joined(), c.verdicts);
    const bool accepted = !c.dispatched.empty();
    // an exception answers too: it frees the link at once, though nothing is dispatched
    const bool answered = accepted || std::string(c.verdicts).find("exception") != std::string::npos;
    EXPECT_EQ(rig.state.link_ready, answered);
    // only an answer disarms the time-out
    EXPECT_EQ(rig.form.Timer5.enabled(), sent && !answered);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
    if (!accepted) {
        EXPECT_EQ(rig.state.response_text, "");
        rig.clock.advance_ms(10000);
        EXPECT_EQ(rig.form.lbl_desc[7].visible(), sent && !answered)
            << "the time-out follows what was refused";
    }
}

const char* const kWriteBlock = "01100000000A140000000000000000000000000000000000000000";
const char* const kWriteInputRegister = "01100208000102FFE7";

// one case per line reads as a table
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Link, Reception,
    ::testing::Values(
        ReceptionCase{"RtuOnePoll", "RTU", {"01 03 02 00 64 B9 AF"}, {"0103020064B9AF"}, "ok"},
        ReceptionCase{"RtuThreePolls", "RTU", {"01 03", "02 00 64", "B9 AF"}, {"0103020064B9AF"}, "ok"},
        ReceptionCase{"RtuLeadingBytesDiscarded", "RTU", {"00 05 01 03 02 00 64 B9 AF"}, {"0103020064B9AF"},
                      "discarded, ok"},
        ReceptionCase{"RtuWriteConfirmationIsEightBytes", "RTU", {"01 10 00 00 00 0A 40 0E"},
                      {"01100000000A400E"}, "ok", kWriteBlock},
        ReceptionCase{"RtuWriteConfirmationOfAnotherBlock", "RTU", {"01 10 00 0A 00 0A 60 0C"}, {}, "misfit",
                      kWriteBlock},
        ReceptionCase{"RtuExceptionNotHandedOver", "RTU", {"01 83 02 C0 F1"}, {}, "exception 02"},
        ReceptionCase{"RtuGarbageWithAddressBeforeFrame", "RTU", {"FF 01 07 01 03 01 01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}, "discarded, ok"},
        ReceptionCase{"RtuWrongSlaveThenRight", "RTU", {"02 03 02 00 64 FD AF", "01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}, "wrong_slave_address, ok"},
        ReceptionCase{"RtuWrongSlaveOnly", "RTU", {"02 03 02 00 64 FD AF"}, {}, "wrong_slave_address"},
        ReceptionCase{"RtuBadCrcDiscarded", "RTU", {"01 03 02 00 64 B9 AE"}, {}, "check_sum_wrong"},
        ReceptionCase{"RtuByteCountBeyondBoundThenFrame", "RTU", {"01 03 FF 00 00", "01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}, "discarded, ok"},
        ReceptionCase{"RtuOneRequestOneAnswer", "RTU", {"01 03 02 00 64 B9 AF 01 03 02 00 65 78 6F"},
                      {"0103020064B9AF"}, "ok, no_request"},
        ReceptionCase{"RtuNoiseLikeAFrameStartBeforeTheAnswer", "RTU", {"01 03 FA 01 03 02 00 C8 B9 D2"},
                      {"01030200C8B9D2"}, "discarded, ok"},
        ReceptionCase{"RtuEchoThenAnswer", "RTU", {"echo 01 03 02 00 C8 B9 D2"}, {"01030200C8B9D2"}, "echo, ok"},
        ReceptionCase{"RtuEchoAloneTimesOut", "RTU", {"echo"}, {}, "echo"},
        ReceptionCase{"RtuWriteEchoThenConfirmation", "RTU", {"echo", "01 10 00 00 00 0A 40 0E"},
                      {"01100000000A400E"}, "echo, ok", kWriteBlock},
        // nothing awaited, no poll: the bytes wait for the next request, which drops them unread
        ReceptionCase{"RtuNothingAwaitedAfterAnInvalidAddressOpen", "RTU", {"01 03 02 00 64 B9 AF"}, {},
                      "", "", "0", "1"},
        ReceptionCase{"RtuAddressOfTheRequestNotOfTheField", "RTU", {"02 03 02 00 64 FD AF"}, {},
                      "wrong_slave_address", "", "1", "2"},
        ReceptionCase{"RtuAnswerTakenAfterTheFieldWasCleared", "RTU", {"01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}, "ok", "", "1", ""},
        ReceptionCase{"AsciiTwoChunks", "ASCII", {":01030200", "6410\r\n"}, {"010302006410"}, "ok"},
        ReceptionCase{"AsciiChunkWithoutColonIgnored", "ASCII", {"010302006410\r\n"}, {}, "discarded"},
        ReceptionCase{"AsciiStandardLrcAccepted", "ASCII", {":010302006496\r\n"}, {"010302006496"}, "ok"},
        ReceptionCase{"AsciiBadLrcDiscarded", "ASCII", {":010302006411\r\n"}, {}, "check_sum_wrong"},
        ReceptionCase{"AsciiWrongSlaveDiscarded", "ASCII", {":02030200640F\r\n"}, {}, "wrong_slave_address"},
        ReceptionCase{"AsciiExceptionNotHandedOver", "ASCII", {":018302D2\r\n"}, {}, "exception 02"},
        ReceptionCase{"AsciiNonHexDiscarded", "ASCII", {":01030200G410\r\n"}, {}, "discarded"},
        ReceptionCase{"AsciiOddDigitsDiscarded", "ASCII", {":0103020064100\r\n"}, {}, "discarded"},
        ReceptionCase{"AsciiLfWithoutCrDiscarded", "ASCII", {":010302006410\n"}, {}, "discarded"},
        ReceptionCase{"AsciiNoiseBeforeColon", "ASCII", {"\x7f\x13:010302006410\r\n"}, {"010302006410"},
                      "discarded, ok"},
        ReceptionCase{"AsciiNewColonDropsUnfinished", "ASCII", {":0103", ":010302006410\r\n"}, {"010302006410"},
                      "discarded, ok"},
        // a lost or added 00 byte leaves the standard LRC valid: only the length tells
        ReceptionCase{"AsciiReadAnswerWithAByteLost", "ASCII", {":010302C832\r\n"}, {}, "misfit"},
        ReceptionCase{"AsciiReadAnswerWithAByteAdded", "ASCII", {":01030200C80032\r\n"}, {}, "misfit"},
        ReceptionCase{"AsciiWriteConfirmed", "ASCII", {":011002080001E4\r\n"}, {"011002080001E4"}, "ok",
                      kWriteInputRegister},
        ReceptionCase{"AsciiWriteConfirmationWithAByteLost", "ASCII", {":0110020801E4\r\n"}, {}, "misfit",
                      kWriteInputRegister},
        ReceptionCase{"AsciiWriteConfirmationWithAByteAdded", "ASCII", {":01100208000100E4\r\n"}, {}, "misfit",
                      kWriteInputRegister},
        ReceptionCase{"AsciiEchoThenAnswer", "ASCII", {"echo", ":01030200C8FF\r\n"}, {"01030200C8FF"}, "echo, ok"},
        ReceptionCase{"AsciiNothingAwaitedAfterAnInvalidAddressOpen", "ASCII", {":010302006410\r\n"}, {},
                      "", "", "300", "1"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(ReceptionCases, AsciiLowerCaseFrameWithStandardLrc) {
    // the dispatch reads upper-case digits, so lower-case ones are handed over upper-cased
    ReceptionRig rig("ASCII");
    rig.poll_text(":01030200ab4f\r\n");
    EXPECT_EQ(rig.dispatched, std::vector<std::string>{"01030200AB4F"});
}

TEST(ReceptionSplits, RtuFrameFedOneBytePerPollAtEverySplit) {
    const auto frame = hex("01 03 02 00 64 B9 AF");
    for (std::size_t split = 1; split < frame.size(); ++split) {
        ReceptionRig rig("RTU");
        rig.poll({frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(split)});
        EXPECT_TRUE(rig.dispatched.empty()) << "split " << split;
        for (std::size_t i = split; i < frame.size(); ++i) rig.poll({frame[i]});
        EXPECT_EQ(rig.dispatched, std::vector<std::string>{"0103020064B9AF"}) << "split " << split;
    }
}

TEST(ReceptionSplits, AsciiFrameSplitAtEveryPoint) {
    const std::string frame = ":010302006410\r\n";
    for (std::size_t split = 1; split < frame.size(); ++split) {
        ReceptionRig rig("ASCII");
        rig.poll_text(frame.substr(0, split));
        rig.poll_text(frame.substr(split));
        EXPECT_EQ(rig.dispatched, std::vector<std::string>{"010302006410"}) << "split " << split;
    }
}

TEST(ReceptionIntegrity, EverySingleBitFlipOfAnRtuFrameIsRejected) {
    const auto frame = hex("01 03 02 00 64 B9 AF");
    for (std::size_t i = 0; i < frame.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            ReceptionRig rig("RTU");
            auto damaged = frame;
            damaged[i] = static_cast<std::uint8_t>(damaged[i] ^ (1U << bit));
            rig.poll(damaged);
            EXPECT_TRUE(rig.dispatched.empty()) << "byte " << i << " bit " << bit;
            EXPECT_TRUE(rig.form.Timer5.enabled());
        }
    }
}

TEST(ReceptionIntegrity, EverySingleBitFlipOfAnAsciiFrameIsRejected) {
    const std::string frame = ":010302006410\r\n";
    for (std::size_t i = 0; i < frame.size(); ++i) {
        for (int bit = 0; bit < 7; ++bit) {
            ReceptionRig rig("ASCII");
            std::string damaged = frame;
            damaged[i] = static_cast<char>(damaged[i] ^ (1 << bit));
            rig.poll_text(damaged);
            EXPECT_TRUE(rig.dispatched.empty()) << "char " << i << " bit " << bit;
        }
    }
}

TEST(ReceptionBounds, OverlongAsciiFrameIsDroppedAndTheNextOneTaken) {
    ReceptionRig rig("ASCII");
    rig.poll_text(":" + std::string(600, '0'));
    rig.poll_text("\r\n");
    EXPECT_TRUE(rig.dispatched.empty());
    rig.poll_text(":010302006410\r\n");
    EXPECT_EQ(rig.dispatched.size(), 1u);
}

TEST(ReceptionBounds, RtuMemoryStaysBoundedUnderNoise) {
    ReceptionRig rig("RTU");
    std::vector<std::uint8_t> noise;
    for (int i = 0; i < 5000; ++i)
        noise.push_back(static_cast<std::uint8_t>(i % 3 == 0 ? 0x01 : (i * 37) & 0xFF));
    rig.poll(noise);
    EXPECT_LE(rig.form.rtu_expected_length, 256);
    rig.poll(std::vector<std::uint8_t>(300, 0x00));
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_EQ(rig.dispatched.back(), "0103020064B9AF");
}

TEST(ReceptionBounds, RandomBytesNeverBreakTheNextFrame) {
    std::mt19937 random(24);
    for (const char* mode : {"RTU", "ASCII"}) {
        ReceptionRig rig(mode);
        for (int chunk = 0; chunk < 200; ++chunk) {
            std::vector<std::uint8_t> bytes(random() % 40);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            rig.poll(bytes);
        }
        // a colon or half a frame may be pending: the next transmission drops it
        rig.link.transmit("010300210001");
        if (std::string(mode) == "RTU") {
            rig.poll(hex("01 03 02 00 64 B9 AF"));
        } else {
            rig.poll_text(":010302006410\r\n");
        }
        ASSERT_FALSE(rig.dispatched.empty()) << mode;
        EXPECT_TRUE(rig.dispatched.back() == "0103020064B9AF" || rig.dispatched.back() == "010302006410");
    }
}

TEST(ReceptionTimeOut, NoAnswerShowsTheLabelAndRepeats) {
    ReceptionRig rig("RTU");
    rig.form.chk_read_out.set_enabled(true);
    rig.clock.advance_ms(9999);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
    rig.clock.advance_ms(1);
    EXPECT_TRUE(rig.form.lbl_desc[7].visible());
    EXPECT_FALSE(rig.form.chk_read_out.enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
    EXPECT_FALSE(rig.form.set_parameter.enabled());
    EXPECT_FALSE(rig.state.link_ready);
    // the report repeats every 10 s
    rig.form.read_out_parameter.set_enabled(true);
    rig.clock.advance_ms(10000);
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
}

TEST(ReceptionTimeOut, TheNoteFollowsTheFirstUnansweredRequestNotTheNewest) {
    ReceptionRig rig("RTU");
    // the opening's request goes unanswered; a new request does not put the note off
    rig.clock.advance_ms(6000);
    rig.link.transmit("0103002A0001");
    rig.clock.advance_ms(3999);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
    rig.clock.advance_ms(1);
    EXPECT_TRUE(rig.form.lbl_desc[7].visible());
    // once a request is answered, the next one gets the full ten seconds
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    ASSERT_FALSE(rig.form.lbl_desc[7].visible());
    rig.link.transmit("0103002A0001");
    rig.clock.advance_ms(9999);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
    rig.clock.advance_ms(1);
    EXPECT_TRUE(rig.form.lbl_desc[7].visible());
}

TEST(ReceptionTimeOut, AnswerAfterTheLabelHidesItAndReenablesPolling) {
    ReceptionRig rig("RTU");
    rig.clock.advance_ms(10000);
    ASSERT_TRUE(rig.form.lbl_desc[7].visible());
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
    EXPECT_TRUE(rig.form.chk_read_out.enabled());
    EXPECT_TRUE(rig.form.read_out_parameter.enabled());
    EXPECT_FALSE(rig.form.Timer5.enabled());
}

TEST(ReceptionTimeOut, GarbageIsReportedLikeSilence) {
    ReceptionRig rig("RTU");
    rig.poll(hex("55 AA 01 03 02 00 64 B9 AE"));
    rig.clock.advance_ms(10000);
    EXPECT_TRUE(rig.form.lbl_desc[7].visible());
    EXPECT_TRUE(rig.dispatched.empty());
}

TEST(ReceptionRefusal, ExceptionIsReportedAtOnceWithTheRequestItRefuses) {
    for (const char* mode : {"RTU", "ASCII"}) {
        ReceptionRig rig(mode);
        std::vector<std::pair<std::string, int>> refused;
        rig.link.on_exception = [&](const std::string& request, int code) {
            refused.emplace_back(request, code);
        };
        if (std::string(mode) == "RTU") {
            rig.poll(hex("01 83 02 C0 F1"));
        } else {
            rig.poll_text(":018302D2\r\n");
        }
        EXPECT_EQ(refused, (std::vector<std::pair<std::string, int>>{{"010300210001", 2}})) << mode;
        EXPECT_TRUE(rig.dispatched.empty());
        EXPECT_TRUE(rig.state.link_ready);
        EXPECT_FALSE(rig.form.Timer4.enabled()) << "nothing is awaited any more";
        rig.clock.advance_ms(20000);
        EXPECT_FALSE(rig.form.lbl_desc[7].visible()) << mode;
    }
}

TEST(ReceptionPoll, RunsOnlyWhileAnAnswerIsAwaited) {
    ReceptionRig rig("RTU");
    EXPECT_TRUE(rig.form.Timer4.enabled()) << "the opening's request is awaited";
    rig.clock.advance_ms(10000);
    EXPECT_TRUE(rig.form.Timer4.enabled()) << "a late answer is still taken after the time-out";
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_FALSE(rig.form.Timer4.enabled());
    rig.link.transmit("0103002A0001");
    EXPECT_TRUE(rig.form.Timer4.enabled());
    rig.form.Combo_Port[6].user_select(0);
    EXPECT_FALSE(rig.form.Timer4.enabled());
}

TEST(ReceptionOutstanding, AnswerToARequestTheTransactionNoLongerAwaitsIsAMisfit) {
    ReceptionRig rig("RTU");
    rig.state.response_text = "previous";
    std::string asked;
    rig.link.transaction_awaits = [&](const std::string& request) {
        asked = request;
        return false;
    };
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_EQ(asked, "010300210001");
    EXPECT_EQ(rig.state.response_text, "previous");
    EXPECT_TRUE(rig.dispatched.empty());
    EXPECT_FALSE(rig.state.link_ready);
    EXPECT_TRUE(rig.form.Timer5.enabled());
    EXPECT_EQ(rig.log.joined(), "misfit");
    rig.link.transaction_awaits = [](const std::string&) { return true; };
    rig.link.transmit("010300210001");
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_EQ(rig.dispatched.size(), 1u);
}

TEST(ReceptionObserver, SeesEachFrameSentAndTheTimeOutOnTheProgramsClock) {
    ReceptionRig rig("RTU");
    rig.clock.advance_ms(1000);
    rig.state.comm_state = 3;
    rig.state.current_register = 0;
    rig.link.transmit("010100000020");
    ASSERT_EQ(rig.log.sent.size(), 2u);
    const modbus::SentFrame& sent = rig.log.sent.back();
    EXPECT_EQ(sent.bytes, hex("01 01 00 00 00 20 3D D2"));
    EXPECT_EQ(sent.request_string, "010100000020");
    EXPECT_EQ(sent.comm_state, 3);
    EXPECT_EQ(sent.at, std::chrono::milliseconds(1000));
    rig.clock.advance_ms(10000);
    ASSERT_EQ(rig.log.verdicts, std::vector<std::string>{"time_out"});
    EXPECT_EQ(rig.log.receptions.back().bytes, sent.bytes);
    EXPECT_EQ(rig.log.receptions.back().at, std::chrono::milliseconds(11000));
}

TEST(ReceptionStale, BytesWaitingBeforeATransmissionAreDropped) {
    ReceptionRig rig("RTU");
    // a late answer and half a frame are waiting when the next request goes out
    rig.port.inject(hex("01 03 02 00 64 B9 AF 01 03 02"));
    rig.link.transmit("0103002A0001");
    rig.poll(hex("00 65 78 6F"));
    EXPECT_TRUE(rig.dispatched.empty());
    rig.poll(hex("01 03 02 00 65 78 6F"));
    EXPECT_EQ(rig.dispatched, std::vector<std::string>{"0103020065786F"});
}

TEST(ReceptionStale, DispatchThatSendsTheNextRequestEndsTheRun) {
    ReceptionRig rig("RTU");
    rig.link.on_response = [&] {
        rig.dispatched.push_back(rig.state.response_text);
        rig.link.transmit("0103002A0001");
    };
    rig.poll(hex("01 03 02 00 64 B9 AF 01 03 02 00 65 78 6F"));
    EXPECT_EQ(rig.dispatched, std::vector<std::string>{"0103020064B9AF"});
    EXPECT_TRUE(rig.form.Timer5.enabled());
    EXPECT_EQ(rig.port.take_written(), hex("01 03 00 2A 00 01 A5 C2"));
}

}  // namespace
}  // namespace plx::link
