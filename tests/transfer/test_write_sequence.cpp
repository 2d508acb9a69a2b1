// Apply and the write timers against a scripted unit: which requests reach the wire, in which order,
// with which words, and what a field that cannot be encoded does.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "transfer/write_sequence.h"
#include "unit_rig.h"

using namespace plx;
using plx::transfer::testing::UnitRig;

namespace {

// The rig after a complete read-out of an all-zero unit, with Apply wired.
struct WriteRig : UnitRig {
    WriteRig() {
        open_rtu();
        run_ms(20000);
        unit.seen.clear();
    }
    // What the user's edit leaves behind: the new text with its mark.
    void edit_cfg(int k, const std::string& text) {
        form.txt_data_cfg[k].set_text(text);
        form.txt_data_cfg[k].set_pending(true);
    }
    void edit_in(int k, const std::string& text) {
        form.txt_data_in[k].set_text(text);
        form.txt_data_in[k].set_pending(true);
    }
    void apply_and_run(std::int64_t ms = 30000) {
        form.set_parameter.set_enabled(true);
        form.set_parameter.user_click();
        run_ms(ms);
    }
    transfer::WriteSequence writes{form, state, link, tx, messages};
};

std::string block_prefix(int first) {
    return "0110" + device::hex4(static_cast<std::uint16_t>(first)) + "000A14";
}

std::string input_write(int k, const std::string& word) {
    return "0110" + device::hex4(static_cast<std::uint16_t>(0x0200 + k)) + "000102" + word;
}

void expect_six_blocks(const std::vector<std::string>& requests) {
    ASSERT_GE(requests.size(), 6u);
    for (int b = 0; b < 6; ++b) {
        const auto& r = requests[static_cast<std::size_t>(b)];
        EXPECT_EQ(r.substr(0, 14), block_prefix(10 * b)) << r;
        EXPECT_EQ(r.size(), 14u + 40u) << r;
    }
}

TEST(Apply, OnlyAConfigurationBitWritesAllBlocksThenTheBits) {
    WriteRig rig;
    rig.form.chk_cfg[5].set_value(1);
    rig.form.chk_cfg[5].set_pending(true);
    rig.apply_and_run();
    const auto r = rig.requests();
    ASSERT_EQ(r.size(), 7u);
    expect_six_blocks(r);
    EXPECT_EQ(r[6], "010F000000200420000000");
    EXPECT_EQ(rig.state.comm_state, write_cfg_bits);
    EXPECT_FALSE(rig.form.chk_cfg[5].pending());
    EXPECT_FALSE(rig.form.Timer1.enabled());
    EXPECT_FALSE(rig.form.Timer2.enabled());
    EXPECT_EQ(rig.status_windows, 2);  // the read-out after opening, then Apply
}

TEST(Apply, BlockThirtyCarriesTenthsOfItsTemperatureRegisters) {
    WriteRig rig;
    rig.edit_cfg(35, "21.5");
    rig.edit_cfg(33, "7");
    rig.apply_and_run();
    const auto r = rig.requests();
    expect_six_blocks(r);
    // 30..33 integer (33 = 7), 34 = 0, 35 = 215 tenths, 36..39 = 0
    EXPECT_EQ(r[3], block_prefix(30) + "0000000000000007" + "0000" + "00D7" + "0000000000000000");
}

TEST(Apply, DateDisplayTakesTheComputersClockAlongAndWhatWasTyped) {
    WriteRig rig;
    // the design texts, one of them no clock value at all, and an hour typed by the engineer
    const std::vector<std::string> before{"x", "00", "00", "01", "01", "07"};
    for (int k = 0; k < 6; ++k) rig.form.txt_data_in[k].set_text(before[static_cast<std::size_t>(k)]);
    rig.edit_in(2, "9");
    rig.writes.local_time = [] { return transfer::LocalTime{5, 30, 17, 14, 3, 2025}; };
    rig.edit_cfg(29, "1");
    rig.apply_and_run();
    const auto r = rig.requests();
    ASSERT_EQ(r.size(), 13u);
    expect_six_blocks(r);
    EXPECT_EQ(r[6].substr(0, 14), "010F0000002004");
    const std::vector<std::string> shown{"05", "30", "9", "14", "03", "25"};
    for (int k = 0; k < 6; ++k) {
        const auto& text = shown[static_cast<std::size_t>(k)];
        EXPECT_EQ(r[static_cast<std::size_t>(7 + k)],
                  input_write(k, std::string(4 - text.size(), '0') + text));
        EXPECT_EQ(rig.form.txt_data_in[k].text(), text) << "the field shows what was written";
        EXPECT_FALSE(rig.form.txt_data_in[k].pending()) << k;
    }
    EXPECT_EQ(rig.state.comm_state, write_input_registers);
}

TEST(Apply, ClockFieldsAloneGoAsTyped) {
    WriteRig rig;
    rig.writes.local_time = [] { return transfer::LocalTime{59, 59, 23, 31, 12, 2099}; };
    rig.edit_in(1, "15");
    rig.apply_and_run();
    EXPECT_EQ(rig.requests(), std::vector<std::string>{input_write(1, "0015")});
}

TEST(Apply, UnmarkedInputRegistersCostATickButNoRequest) {
    WriteRig rig;
    rig.edit_in(8, "12.5");
    rig.form.set_parameter.set_enabled(true);
    rig.form.set_parameter.user_click();
    ASSERT_TRUE(rig.form.Timer2.enabled());
    const std::int64_t tick = rig.form.Timer2.interval().count();
    for (int passed = 0; passed < 8; ++passed) rig.run_ms(tick);
    EXPECT_EQ(rig.state.current_register, 520);
    EXPECT_TRUE(rig.requests().empty());

    rig.run_ms(tick);
    ASSERT_EQ(rig.requests(), std::vector<std::string>{input_write(8, "007D")});
    // the mark stays until the unit confirms the write
    EXPECT_TRUE(rig.form.txt_data_in[8].pending());

    rig.run_ms(40 * tick);
    EXPECT_FALSE(rig.form.txt_data_in[8].pending());
    EXPECT_EQ(rig.requests().size(), 1u);
    EXPECT_EQ(rig.state.current_register, 540);
    EXPECT_FALSE(rig.form.Timer2.enabled());
    EXPECT_DOUBLE_EQ(rig.state.input_register_values[8], 12.5);
}

TEST(Apply, ClockDigitsAndNegativeTenthsOnTheWire) {
    WriteRig rig;
    rig.edit_in(2, "9");
    rig.edit_in(7, "-2.5");
    rig.apply_and_run();
    EXPECT_EQ(rig.requests(), (std::vector<std::string>{input_write(2, "0009"), input_write(7, "FFE7")}));
}

TEST(Apply, InputRegistersThenInputBits) {
    WriteRig rig;
    rig.edit_in(10, "-1");
    rig.form.chk_input[9].set_value(1);
    rig.form.chk_input[9].set_pending(true);
    rig.apply_and_run();
    EXPECT_EQ(rig.requests(), (std::vector<std::string>{input_write(10, "FFFF"), "010F01000010020002"}));
    EXPECT_EQ(rig.state.comm_state, write_input_bits);
    EXPECT_FALSE(rig.form.chk_input[9].pending());
    EXPECT_FALSE(rig.form.input_bits_pending);
}

TEST(Apply, EveryStageCompletesBehindAnAdapterThatEchoesTheRequests) {
    WriteRig rig;
    // a write's confirmation begins like the request itself
    rig.unit.echo = true;
    rig.edit_cfg(3, "12");
    rig.form.chk_cfg[5].set_value(1);
    rig.form.chk_cfg[5].set_pending(true);
    rig.edit_in(10, "-1");
    rig.form.chk_input[9].set_value(1);
    rig.form.chk_input[9].set_pending(true);
    rig.apply_and_run();
    EXPECT_EQ(rig.requests().size(), 9u);
    EXPECT_EQ(rig.state.comm_state, write_input_bits);
    EXPECT_FALSE(rig.form.txt_data_cfg[3].pending());
    EXPECT_FALSE(rig.form.chk_cfg[5].pending());
    EXPECT_FALSE(rig.form.txt_data_in[10].pending());
    EXPECT_FALSE(rig.form.chk_input[9].pending());
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
}

TEST(Apply, NothingMarkedDoesNothing) {
    WriteRig rig;
    const int windows = rig.status_windows;
    rig.apply_and_run();
    EXPECT_TRUE(rig.requests().empty());
    EXPECT_EQ(rig.status_windows, windows);
    EXPECT_FALSE(rig.form.Timer1.enabled());
    EXPECT_FALSE(rig.form.Timer2.enabled());
}

TEST(Apply, SilentUnitStopsTheStageAndKeepsTheMarks) {
    WriteRig rig;
    rig.unit.silent = true;
    rig.edit_cfg(3, "12");
    rig.apply_and_run(5000);
    EXPECT_EQ(rig.requests().size(), 1u);
    EXPECT_TRUE(rig.form.txt_data_cfg[3].pending());
}

TEST(Apply, EmptySlaveAddressTicksWithoutSending) {
    // Timer1 (configuration blocks) and Timer2 (input registers) alike
    for (const bool config : {true, false}) {
        SCOPED_TRACE(config ? "Timer1" : "Timer2");
        WriteRig rig;
        rig.form.txt_Modbus_adress.set_text("");
        if (config) {
            rig.edit_cfg(3, "12");
        } else {
            rig.edit_in(8, "1");
        }
        rig.apply_and_run(10000);
        EXPECT_TRUE(rig.requests().empty());
        EXPECT_EQ(rig.state.current_register, config ? 0 : 512);
        EXPECT_TRUE((config ? rig.form.Timer1 : rig.form.Timer2).enabled());
        EXPECT_TRUE(config ? rig.form.txt_data_cfg[3].pending() : rig.form.txt_data_in[8].pending());
    }
}

TEST(Apply, TimersStopWhenTheirSequenceWasGivenUp) {
    WriteRig rig;
    rig.edit_in(8, "1");
    rig.form.set_parameter.set_enabled(true);
    rig.form.set_parameter.user_click();
    rig.state.comm_state = idle;  // the status window ended the transfer
    rig.run_ms(10000);
    EXPECT_TRUE(rig.requests().empty());
    EXPECT_FALSE(rig.form.Timer2.enabled());

    rig.edit_cfg(3, "1");
    rig.form.set_parameter.user_click();
    rig.state.comm_state = idle;
    rig.run_ms(10000);
    EXPECT_TRUE(rig.requests().empty());
    EXPECT_FALSE(rig.form.Timer1.enabled());
}

// ---------------------------------------------------------------- fields that cannot be sent

struct Unsendable {
    const char* name;
    bool cfg;  // the bad field is a configuration register (else an input register)
    int k;
    const char* text;
    // the bad field itself carries the mark; for an input register false means: marked beside a
    // change of the clock display, which brings the clock fields along
    bool mark_bad;
    const char* message;
};

class ApplyRefuses : public ::testing::TestWithParam<Unsendable> {};

TEST_P(ApplyRefuses, ShowsOneMessageAndSendsNothing) {
    const auto& c = GetParam();
    WriteRig rig;
    if (c.cfg) {
        rig.form.txt_data_cfg[c.k].set_text(c.text);
        if (c.mark_bad)
            rig.form.txt_data_cfg[c.k].set_pending(true);
        else
            rig.edit_cfg(10, "1");
    } else {
        rig.form.txt_data_in[c.k].set_text(c.text);
        rig.form.txt_data_in[c.k].set_pending(true);
        if (!c.mark_bad) rig.edit_cfg(30, "1");
    }
    const int windows = rig.status_windows;
    const int state_before = rig.state.comm_state;
    rig.apply_and_run();

    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{c.message});
    EXPECT_TRUE(rig.requests().empty());
    EXPECT_EQ(rig.status_windows, windows);
    EXPECT_EQ(rig.state.comm_state, state_before);
    EXPECT_FALSE(rig.form.Timer1.enabled());
    EXPECT_FALSE(rig.form.Timer2.enabled());
    const auto& field = c.cfg ? rig.form.txt_data_cfg[c.k] : rig.form.txt_data_in[c.k];
    EXPECT_EQ(field.text(), c.text);
    // the other clock fields are neither marked nor filled by a refused Apply
    if (!c.cfg && !c.mark_bad) {
        for (int k = 0; k < 6; ++k) {
            if (k != c.k) {
                EXPECT_FALSE(rig.form.txt_data_in[k].pending()) << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields,
    ApplyRefuses,
    ::testing::Values(
        Unsendable{
            "LettersInTenths", true, 34, "abc", true,
            "Der Wert \"abc\" in Konfigurationsregister 34 kann nicht gesendet werden. Bitte korrigieren."},
        Unsendable{
            "EmptyUnmarkedRegisterOfAnotherBlock", true, 3, "", false,
            "In Konfigurationsregister 3 steht kein Wert, daher kann nichts gesendet werden. Bitte einen "
            "Wert eintragen."},
        Unsendable{
            "BeyondSixteenBits", true, 40, "7000", true,
            "Der Wert \"7000\" in Konfigurationsregister 40 kann nicht gesendet werden. Bitte korrigieren."},
        Unsendable{"ClockFieldNotDigits", false, 1, "1a", true,
                   "Der Wert \"1a\" in Eingangsregister 1 kann nicht gesendet werden. Bitte korrigieren."},
        Unsendable{"ClockFieldTypedBesideADisplayChange", false, 4, "12345", false,
                   "Der Wert \"12345\" in Eingangsregister 4 kann nicht gesendet werden. Bitte korrigieren."},
        Unsendable{"MinusAloneInAnInputRegister", false, 12, "-", true,
                   "Der Wert \"-\" in Eingangsregister 12 kann nicht gesendet werden. Bitte korrigieren."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyRefuses, EnglishWhenTheInstallationSaysSo) {
    WriteRig rig;
    rig.state.language_code = "1033";
    rig.edit_in(9, "x");
    rig.apply_and_run();
    EXPECT_EQ(
        rig.messages.shown,
        std::vector<std::string>{"The value \"x\" in input register 9 cannot be sent. Please correct it."});
}

TEST(ApplyRefuses, BadTextInAnUnmarkedInputRegisterDoesNotBlock) {
    WriteRig rig;
    rig.form.txt_data_in[9].set_text("x");
    rig.edit_in(8, "1");
    rig.apply_and_run();
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.requests(), std::vector<std::string>{input_write(8, "000A")});
}

}  // namespace
