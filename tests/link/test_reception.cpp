// Reception: frame assembly from what each Timer4 poll finds, the check sums, the address filter,
// the hand-over to the dispatch and the time-out.
#include <gtest/gtest.h>

#include <random>

#include "link/wandeln.h"
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
    EXPECT_TRUE(hex_to_bytes(digits, out)) << text;
    return out;
}

// An open link in the given mode with the first request sent, recording every dispatch.
struct ReceptionRig : LinkRig {
    explicit ReceptionRig(const std::string& mode, const std::string& address = "1") {
        form.txt_Modbus_adress.set_text(address);
        link.on_response = [this] { dispatched.push_back(state.response_text); };
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
};

struct ReceptionCase {
    const char* name;
    const char* mode;
    std::vector<std::string> polls;  // RTU: hex bytes; ASCII: the characters as sent
    std::vector<std::string> dispatched;
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const ReceptionCase& c, std::ostream* os) { *os << c.name; }

class Reception : public ::testing::TestWithParam<ReceptionCase> {};

TEST_P(Reception, AssemblesChecksAndHandsOver) {
    const ReceptionCase& c = GetParam();
    ReceptionRig rig(c.mode);
    const bool rtu = std::string(c.mode) == "RTU";
    for (const std::string& chunk : c.polls) {
        if (rtu) {
            rig.poll(hex(chunk));
        } else {
            rig.poll_text(chunk);
        }
    }
    EXPECT_EQ(rig.dispatched, c.dispatched);
    const bool accepted = !c.dispatched.empty();
    EXPECT_EQ(rig.state.link_ready, accepted);
    // only an accepted frame disarms the time-out
    EXPECT_EQ(rig.form.Timer5.enabled(), !accepted);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
    if (!accepted) {
        EXPECT_EQ(rig.state.response_text, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Link, Reception,
    ::testing::Values(
        ReceptionCase{"RtuOnePoll", "RTU", {"01 03 02 00 64 B9 AF"}, {"0103020064B9AF"}},
        ReceptionCase{"RtuThreePolls", "RTU", {"01 03", "02 00 64", "B9 AF"}, {"0103020064B9AF"}},
        ReceptionCase{"RtuLeadingBytesDiscarded", "RTU", {"00 05 01 03 02 00 64 B9 AF"}, {"0103020064B9AF"}},
        ReceptionCase{"RtuWriteConfirmationIsEightBytes", "RTU", {"01 10 00 00 00 0A 40 0E"},
                      {"01100000000A400E"}},
        ReceptionCase{"RtuExceptionNotHandedOver", "RTU", {"01 83 02 C0 F1"}, {}},
        ReceptionCase{"RtuGarbageWithAddressBeforeFrame", "RTU", {"FF 01 07 01 03 01 01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}},
        ReceptionCase{"RtuWrongSlaveThenRight", "RTU", {"02 03 02 00 64 FD AF", "01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}},
        ReceptionCase{"RtuWrongSlaveOnly", "RTU", {"02 03 02 00 64 FD AF"}, {}},
        ReceptionCase{"RtuBadCrcDiscarded", "RTU", {"01 03 02 00 64 B9 AE"}, {}},
        ReceptionCase{"RtuByteCountBeyondBoundThenFrame", "RTU", {"01 03 FF 00 00", "01 03 02 00 64 B9 AF"},
                      {"0103020064B9AF"}},
        ReceptionCase{"RtuTwoFramesInOnePoll", "RTU", {"01 03 02 00 64 B9 AF 01 03 02 00 65 78 6F"},
                      {"0103020064B9AF", "0103020065786F"}},
        ReceptionCase{"AsciiTwoChunks", "ASCII", {":01030200", "6410\r\n"}, {"010302006410"}},
        ReceptionCase{"AsciiChunkWithoutColonIgnored", "ASCII", {"010302006410\r\n"}, {}},
        ReceptionCase{"AsciiStandardLrcAccepted", "ASCII", {":010302006496\r\n"}, {"010302006496"}},
        ReceptionCase{"AsciiBadLrcDiscarded", "ASCII", {":010302006411\r\n"}, {}},
        ReceptionCase{"AsciiWrongSlaveDiscarded", "ASCII", {":02030200640F\r\n"}, {}},
        ReceptionCase{"AsciiExceptionNotHandedOver", "ASCII", {":018302D2\r\n"}, {}},
        ReceptionCase{"AsciiNonHexDiscarded", "ASCII", {":01030200G410\r\n"}, {}},
        ReceptionCase{"AsciiOddDigitsDiscarded", "ASCII", {":0103020064100\r\n"}, {}},
        ReceptionCase{"AsciiLfWithoutCrDiscarded", "ASCII", {":010302006410\n"}, {}},
        ReceptionCase{"AsciiNoiseBeforeColon", "ASCII", {"\x7f\x13:010302006410\r\n"}, {"010302006410"}},
        ReceptionCase{"AsciiNewColonDropsUnfinished", "ASCII", {":0103", ":010302006410\r\n"}, {"010302006410"}}),
    [](const auto& info) { return std::string(info.param.name); });

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
    for (int i = 0; i < 5000; ++i) noise.push_back(static_cast<std::uint8_t>(i % 3 == 0 ? 0x01 : (i * 37) & 0xFF));
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

TEST(ReceptionTimeOut, EachTransmissionGetsTheFullTenSeconds) {
    ReceptionRig rig("RTU");
    rig.clock.advance_ms(6000);
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

TEST(ReceptionTimeOut, GarbageAndRefusalsAreReportedLikeSilence) {
    ReceptionRig rig("RTU");
    rig.poll(hex("01 83 02 C0 F1"));
    rig.poll(hex("55 AA 01 03 02 00 64 B9 AE"));
    rig.clock.advance_ms(10000);
    EXPECT_TRUE(rig.form.lbl_desc[7].visible());
    EXPECT_TRUE(rig.dispatched.empty());
}

TEST(ReceptionOutstanding, FrameThatDoesNotAnswerTheRequestIsTreatedAsDiscarded) {
    ReceptionRig rig("RTU");
    rig.state.response_text = "previous";
    std::string seen;
    rig.link.answers_outstanding = [&] {
        seen = rig.state.response_text;
        return false;
    };
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_EQ(seen, "0103020064B9AF");
    EXPECT_EQ(rig.state.response_text, "previous");
    EXPECT_TRUE(rig.dispatched.empty());
    EXPECT_FALSE(rig.state.link_ready);
    EXPECT_TRUE(rig.form.Timer5.enabled());
    rig.link.answers_outstanding = [] { return true; };
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_EQ(rig.dispatched.size(), 1u);
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

TEST(ReceptionAddress, EmptyAddressFieldTakesNoFrame) {
    ReceptionRig rig("RTU");
    rig.form.txt_Modbus_adress.set_text("");
    rig.poll(hex("01 03 02 00 64 B9 AF"));
    EXPECT_TRUE(rig.dispatched.empty());
}

}  // namespace
}  // namespace plx::link
