#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/pacing.h"
#include "unit_rig.h"

using namespace plx;
using plx::transfer::testing::UnitRig;
using std::chrono::milliseconds;

namespace {

const std::vector<std::string> kReadOutAfterOpening{
    "010300210001",  // response time
    "01030000000A", "0103000A000A", "01030014000A", "0103001E000A", "01030028000A", "01030032000A",
    "010100000020",  // configuration bits
    "010302070015",  // input registers 7 .. 27
    "010101000010",  // input bits
};

TEST(ReadOut, OrderOnTheWireAfterOpening) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    EXPECT_EQ(rig.requests(), kReadOutAfterOpening);
    EXPECT_EQ(rig.status_windows, 1);
    EXPECT_FALSE(rig.form.Timer6.enabled());
    EXPECT_EQ(rig.state.comm_state, read_input_bits);
}

TEST(ReadOut, AnAdapterEchoingEveryRequestChangesNothing) {
    struct Echoes : modbus::Observer {
        void frame_sent(const modbus::SentFrame&) override {}
        void received(const modbus::Reception& r) override { count += r.verdict == modbus::Verdict::echo; }
        std::size_t count = 0;
    } echoes;
    UnitRig rig;
    rig.link.observe(&echoes);
    rig.unit.echo = true;
    rig.unit.holding[5] = 77;
    rig.unit.coils[3] = 1;
    rig.open_rtu();
    rig.run_ms(20000);
    EXPECT_EQ(rig.requests(), kReadOutAfterOpening);
    EXPECT_EQ(echoes.count, kReadOutAfterOpening.size());
    EXPECT_EQ(rig.form.txt_data_cfg[5].text(), "77");
    EXPECT_EQ(rig.form.txt_data_cfg[0].text(), "0");
    EXPECT_EQ(rig.form.chk_cfg[3].value(), 1);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
}

TEST(ReadOut, OpeningAsksForTheResponseTimeFirst) {
    UnitRig rig;
    rig.unit.silent = true;
    rig.open_rtu();
    EXPECT_EQ(rig.requests(), std::vector<std::string>{kReadOutAfterOpening[0]});
    EXPECT_EQ(rig.state.comm_state, read_response_time);
    EXPECT_EQ(rig.state.current_register, 33);
}

TEST(ReadOut, NeverAsksForClockOrOutputRegisters) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    for (const auto& r : rig.requests()) {
        EXPECT_EQ(r.find("010302"), r.rfind("01030207", 0) == 0 ? 0u : std::string::npos) << r;
        EXPECT_NE(r.substr(0, 8), "01030100") << r;
    }
}

TEST(ReadOut, SpacingWithResponseTime100) {
    UnitRig rig;
    rig.unit.holding[33] = 100;
    rig.open_rtu();
    rig.run_ms(20000);
    ASSERT_EQ(rig.requests(), kReadOutAfterOpening);
    EXPECT_EQ(rig.form.Timer6.interval(), milliseconds(400));
    EXPECT_EQ(rig.form.Timer1.interval(), milliseconds(400));
    EXPECT_EQ(rig.form.Timer2.interval(), milliseconds(400));
    EXPECT_EQ(rig.form.Timer7.interval(), milliseconds(300));
    for (std::size_t n = 2; n <= 6; ++n)
        EXPECT_GE(rig.unit.seen[n].at_ms - rig.unit.seen[n - 1].at_ms, 400) << rig.unit.seen[n].request;

    rig.unit.seen.clear();
    rig.form.chk_read_out.user_toggle();
    rig.run_ms(1500);
    ASSERT_GE(rig.unit.seen.size(), 4u);
    for (std::size_t n = 0; n < rig.unit.seen.size(); ++n) {
        EXPECT_EQ(rig.unit.seen[n].request, "010301000011");
        if (n > 0) {
            EXPECT_EQ(rig.unit.seen[n].at_ms - rig.unit.seen[n - 1].at_ms, 300);
        }
    }
}

TEST(ReadOut, IntervalsForResponseTime50) {
    UnitRig rig;
    rig.unit.holding[33] = 50;
    rig.open_rtu();
    rig.run_ms(200);
    EXPECT_EQ(rig.state.response_time, 50);
    EXPECT_EQ(rig.form.Timer1.interval(), milliseconds(300));
    EXPECT_EQ(rig.form.Timer2.interval(), milliseconds(300));
    EXPECT_EQ(rig.form.Timer6.interval(), milliseconds(300));
    EXPECT_EQ(rig.form.Timer7.interval(), milliseconds(250));
}

TEST(ReadOut, DerivedIntervalsStopAtWhatAWindowTimerHolds) {
    struct Case {
        int response_time;
        int block_ms;
        int poll_ms;
    };
    for (const Case c : {Case{16283, 32766, 16483}, Case{16284, 32767, 16484}, Case{32767, 32767, 32767},
                         Case{-1, 200, 200}, Case{-32768, 200, 200}}) {
        EXPECT_EQ(device::block_interval(c.response_time, 200), milliseconds(c.block_ms)) << c.response_time;
        EXPECT_EQ(device::poll_interval(c.response_time, 200), milliseconds(c.poll_ms)) << c.response_time;
    }
}

TEST(ReadOut, BlockAt30DividesOnly34To39) {
    UnitRig rig;
    for (int k = 30; k <= 39; ++k) rig.unit.holding[k] = 215;
    rig.unit.holding[33] = 0;
    rig.open_rtu();
    rig.run_ms(20000);
    for (int k = 30; k <= 39; ++k) {
        const bool tenths = k >= 34;
        const std::string expected = k == 33 ? "0" : tenths ? "21.5" : "215";
        EXPECT_EQ(rig.form.txt_data_cfg[k].text(), expected) << k;
        EXPECT_EQ(rig.state.cfg_register_values[static_cast<std::size_t>(k)], k == 33  ? 0
                                                                              : tenths ? 21.5
                                                                                       : 215)
            << k;
    }
}

TEST(ReadOut, ValuesReferencesAndMarksAfterEachStage) {
    UnitRig rig;
    rig.state.decimal_separator = ",";
    rig.unit.holding[2] = 8;
    rig.unit.holding[3] = 40000;    // the location code is an unsigned word
    rig.unit.holding[52] = 0xFC19;  // -999: the others are signed
    rig.unit.holding[34] = 0xFFFE;
    rig.unit.holding[59] = 3;
    rig.unit.holding[0x0207] = 0xFFE7;  // -2.5 outdoor
    rig.unit.holding[0x020C] = 150;
    rig.unit.holding[0x021A] = 4;  // fan stage: received, not shown
    rig.unit.coils[0] = 1;
    rig.unit.coils[7] = 1;
    rig.unit.coils[24] = 1;
    rig.unit.coils[0x0100] = 1;
    rig.unit.coils[0x010F] = 1;
    // edits the user made before: every mark goes when the unit's values arrive
    rig.form.txt_data_cfg[34].set_pending(true);
    rig.form.cmb_cfg[2].set_pending(true);
    rig.form.chk_cfg[5].set_pending(true);
    rig.form.cmb_bit_cfg[24].set_pending(true);
    rig.form.txt_data_in[12].set_pending(true);
    rig.form.cmb_in[26].set_pending(true);
    rig.form.chk_input[3].set_pending(true);
    rig.form.txt_data_in[26].set_text("1");
    rig.open_rtu();

    rig.run_ms(20000);
    EXPECT_EQ(rig.form.txt_data_cfg[2].text(), "8");
    EXPECT_EQ(rig.form.txt_data_cfg[3].text(), "40000");
    EXPECT_EQ(rig.state.cfg_register_values[3], 40000);
    EXPECT_EQ(rig.form.txt_data_cfg[52].text(), "-999");
    EXPECT_EQ(rig.form.txt_data_cfg[34].text(), "-0,2");
    EXPECT_EQ(rig.state.cfg_register_values[34], -0.2);
    EXPECT_EQ(rig.form.txt_data_cfg[59].text(), "3");
    EXPECT_FALSE(rig.form.txt_data_cfg[34].pending());
    EXPECT_FALSE(rig.form.cmb_cfg[2].pending());

    for (int j = 0; j < 32; ++j) {
        const int bit = j == 0 || j == 7 || j == 24 ? 1 : 0;
        EXPECT_EQ(rig.form.chk_cfg[j].value(), bit) << j;
        EXPECT_EQ(rig.state.cfg_bit_values[static_cast<std::size_t>(j)], bit) << j;
        EXPECT_FALSE(rig.form.chk_cfg[j].pending()) << j;
    }
    EXPECT_EQ(rig.form.cmb_bit_cfg[24].list_index(), 1);
    EXPECT_EQ(rig.form.cmb_bit_cfg[25].list_index(), 0);
    EXPECT_FALSE(rig.form.cmb_bit_cfg[24].pending());

    EXPECT_EQ(rig.form.txt_data_in[7].text(), "-2,5");
    EXPECT_EQ(rig.state.input_register_values[7], -2.5);
    EXPECT_EQ(rig.form.txt_data_in[12].text(), "150");
    EXPECT_FALSE(rig.form.txt_data_in[12].pending());
    EXPECT_EQ(rig.form.txt_data_in[26].text(), "1");
    EXPECT_FALSE(rig.form.cmb_in[26].pending());

    for (int j = 0; j < 16; ++j) {
        const int bit = j == 0 || j == 15 ? 1 : 0;
        EXPECT_EQ(rig.form.chk_input[j].value(), bit) << j;
        EXPECT_EQ(rig.state.input_bit_values[static_cast<std::size_t>(j)], bit) << j;
        EXPECT_FALSE(rig.form.chk_input[j].pending()) << j;
    }
    EXPECT_FALSE(rig.form.set_parameter.enabled());
    EXPECT_TRUE(rig.state.link_ready);
}

TEST(ReadOut, EmptySlaveAddressSendsNothing) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(200);
    rig.unit.seen.clear();
    rig.form.txt_Modbus_adress.set_text("");
    rig.tx.func_read_out_parameter();
    rig.run_ms(5000);
    EXPECT_TRUE(rig.requests().empty());
    EXPECT_TRUE(rig.form.Timer6.enabled());
}

// ---- whether the status window has a transfer to wait for

TEST(TransferInProgress, WhileAnAnswerIsAwaitedButNotOnceTheChainEnded) {
    UnitRig rig;
    rig.unit.silent = true;
    rig.open_rtu();
    EXPECT_TRUE(rig.tx.transfer_in_progress());
    rig.unit.silent = false;
    rig.answer("0103020014");
    rig.run_ms(20000);
    ASSERT_EQ(rig.state.comm_state, read_input_bits);
    EXPECT_FALSE(rig.tx.transfer_in_progress());
}

TEST(TransferInProgress, ReadOutWaitingForItsFirstBlockTick) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.tx.func_read_out_parameter();
    EXPECT_TRUE(rig.tx.transfer_in_progress());
}

TEST(TransferInProgress, NeverWithoutASlaveAddressOrAnOpenPort) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.form.txt_Modbus_adress.set_text("");
    rig.tx.func_read_out_parameter();
    EXPECT_FALSE(rig.tx.transfer_in_progress()) << "Timer6 ticks, but nothing can ever be sent";

    rig.form.txt_Modbus_adress.set_text("1");
    rig.unit.silent = true;
    rig.run_ms(300);
    ASSERT_FALSE(rig.state.link_ready);
    ASSERT_FALSE(rig.port.set_port_open(false));
    EXPECT_FALSE(rig.tx.transfer_in_progress()) << "no answer can come on a closed port";
}

TEST(ReadOut, UserReadOutRunsTheChainWithoutTheResponseTime) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.unit.seen.clear();
    rig.tx.func_read_out_parameter();
    rig.run_ms(20000);
    const std::vector<std::string> tail(kReadOutAfterOpening.begin() + 1, kReadOutAfterOpening.end());
    EXPECT_EQ(rig.requests(), tail);
    EXPECT_EQ(rig.status_windows, 2);
}

TEST(ReadOut, StalledChainGoesOnAfterALateAnswer) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(300);  // response time and the first block
    rig.unit.silent = true;
    rig.run_ms(15000);
    ASSERT_FALSE(rig.unit.seen.empty());
    const std::string stalled = rig.unit.seen.back().request;
    EXPECT_EQ(rig.requests().size(), 3u) << "no block is sent twice while one is outstanding";
    EXPECT_TRUE(rig.form.lbl_desc[7].visible());
    EXPECT_FALSE(rig.state.link_ready);

    rig.unit.silent = false;
    rig.answer(rig.unit.answer_for(stalled));
    rig.run_ms(20000);
    EXPECT_EQ(rig.requests(), kReadOutAfterOpening);
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
}

TEST(ReadOut, MismatchingAnswerIsHandledLikeNone) {
    UnitRig rig;
    rig.unit.holding[5] = 77;
    rig.open_rtu();
    rig.run_ms(100);  // response time answered, first block not yet sent
    rig.unit.silent = true;
    rig.run_ms(400);
    ASSERT_EQ(rig.requests().back(), "01030000000A");
    const int register_before = rig.state.current_register;

    rig.answer("010302004D");                     // one word for a block of ten
    rig.answer("010114" + std::string(40, '0'));  // another function code
    rig.answer("010314" + std::string(20, '0'));  // count says 20, data cut short
    rig.run_ms(200);
    EXPECT_EQ(rig.form.txt_data_cfg[5].text(), "");
    EXPECT_EQ(rig.state.current_register, register_before);
    EXPECT_FALSE(rig.state.link_ready);
    EXPECT_TRUE(rig.form.Timer5.enabled()) << "the time-out stays armed";

    rig.unit.silent = false;
    rig.answer(rig.unit.answer_for("01030000000A"));
    rig.run_ms(20000);
    EXPECT_EQ(rig.form.txt_data_cfg[5].text(), "77");
    EXPECT_EQ(rig.requests(), kReadOutAfterOpening);
}

TEST(ReadOut, ShortAnswerReachingTheDispatchLoadsNothing) {
    UnitRig rig;
    rig.state.comm_state = read_registers;
    rig.state.current_register = 20;
    rig.state.response_text =
        "010314"
        "0001"
        "0002";
    rig.tx.dispatch();
    EXPECT_EQ(rig.state.current_register, 20);
    EXPECT_EQ(rig.form.txt_data_cfg[20].text(), "");
}

// ------------------------------------------------------------------ polling and monitor

TEST(Polling, MonitorShowsOutputsLampsAndRoomTemperature) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.unit.holding[0x0100] = 0xF801;
    rig.unit.holding[0x0101] = 0x8000;
    rig.unit.holding[0x0102] = 225;
    rig.unit.holding[0x0103] = 0x8000;
    rig.unit.holding[0x0107] = 0xFFFF;
    rig.form.chk_read_out.user_toggle();
    rig.run_ms(400);
    EXPECT_EQ(rig.form.txt_data_out[0].text(), "63489");
    EXPECT_EQ(rig.form.txt_data_out[1].text(), "32768");
    EXPECT_EQ(rig.form.txt_data_out[2].text(), "22.5");
    EXPECT_EQ(rig.form.txt_data_out[3].text(), "-3276.8");
    EXPECT_EQ(rig.form.txt_data_out[7].text(), "-1");
    EXPECT_EQ(rig.form.lbl_temp[0].caption(), "22.5");
    for (int n = 0; n < 12; ++n) {
        const bool lit = n == 0 || n == 11;
        EXPECT_EQ(rig.form.Lbl_button[n].back_color(), lit ? controls::kRed : controls::kButtonFace) << n;
    }

    rig.unit.holding[0x0100] = 0x0000;
    rig.run_ms(400);
    for (int n = 0; n < 12; ++n) EXPECT_EQ(rig.form.Lbl_button[n].back_color(), controls::kButtonFace) << n;
}

TEST(Polling, SwitchDisablesReadOutAndApplyAndBackAgain) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.form.txt_data_cfg[4].set_pending(true);
    rig.form.chk_read_out.user_toggle();
    EXPECT_TRUE(rig.form.Timer7.enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
    EXPECT_FALSE(rig.form.set_parameter.enabled());
    rig.run_ms(1000);
    EXPECT_FALSE(rig.form.set_parameter.enabled()) << "answers while polling leave Apply off";

    rig.form.chk_read_out.user_toggle();
    EXPECT_FALSE(rig.form.Timer7.enabled());
    EXPECT_TRUE(rig.form.read_out_parameter.enabled());
    EXPECT_TRUE(rig.form.set_parameter.enabled()) << "the pending edit enables Apply again";
    rig.unit.seen.clear();
    rig.run_ms(1000);
    EXPECT_TRUE(rig.requests().empty());
}

TEST(Polling, TickSendsEvenWhileARequestIsOutstanding) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.unit.silent = true;
    rig.tx.send_read_cfg_bits();  // never answered
    ASSERT_FALSE(rig.state.link_ready);
    rig.form.chk_read_out.user_toggle();
    rig.run_ms(250);
    EXPECT_EQ(rig.requests().back(), "010301000011");
}

TEST(Polling, UncheckedWithPortClosedLeavesButtonsOff) {
    UnitRig rig;
    rig.open_rtu();
    rig.run_ms(20000);
    rig.form.chk_read_out.user_toggle();
    rig.form.Combo_Port[6].user_select(0);  // close: the link clears the poll box
    EXPECT_EQ(rig.form.chk_read_out.value(), 0);
    EXPECT_FALSE(rig.form.Timer7.enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
}

// ------------------------------------------------------------------ write confirmations

struct WriteRig : UnitRig {
    WriteRig() {
        open_rtu();
        run_ms(20000);
        unit.seen.clear();
    }
};

TEST(WriteConfirmations, LastBlockClearsMarksAndSendsTheBits) {
    WriteRig rig;
    rig.form.txt_data_cfg[12].set_pending(true);
    rig.form.cmb_cfg[12].set_pending(true);
    rig.form.chk_cfg[0].set_value(1);
    rig.form.chk_cfg[9].set_value(1);
    rig.state.comm_state = write_cfg_registers;
    rig.state.current_register = 40;
    rig.state.link_ready = false;
    rig.state.response_text = "01100028000A";
    rig.tx.dispatch();
    EXPECT_EQ(rig.state.current_register, 50);
    EXPECT_TRUE(rig.form.txt_data_cfg[12].pending()) << "marks stay until the sixth block";
    EXPECT_TRUE(rig.requests().empty());

    rig.form.Timer1.set_enabled(true);
    rig.state.response_text = "01100032000A";
    rig.tx.dispatch();
    EXPECT_FALSE(rig.form.txt_data_cfg[12].pending());
    EXPECT_FALSE(rig.form.cmb_cfg[12].pending());
    EXPECT_FALSE(rig.form.Timer1.enabled());
    EXPECT_EQ(rig.state.comm_state, write_cfg_bits);
    rig.serve();
    EXPECT_EQ(rig.requests(), std::vector<std::string>{"010F0000002004"
                                                       "01020000"});
}

TEST(WriteConfirmations, ChangedResponseTimeRetimesWith150) {
    WriteRig rig;
    rig.form.txt_data_cfg[33].set_text("50");
    rig.form.response_time_changed = true;
    rig.state.comm_state = write_cfg_registers;
    rig.state.current_register = 50;
    rig.state.response_text = "01100032000A";
    rig.tx.dispatch();
    EXPECT_EQ(rig.state.response_time, 50);
    EXPECT_EQ(rig.form.Timer1.interval(), milliseconds(250));
    EXPECT_EQ(rig.form.Timer2.interval(), milliseconds(250));
    EXPECT_EQ(rig.form.Timer6.interval(), milliseconds(250));
    EXPECT_EQ(rig.form.Timer7.interval(), milliseconds(200));
    EXPECT_FALSE(rig.form.response_time_changed);
}

TEST(WriteConfirmations, BitsThenInputRegistersByTimer2) {
    WriteRig rig;
    rig.form.chk_cfg[30].set_pending(true);
    rig.form.chk_cfg[31].set_pending(true);
    rig.form.input_registers_pending = true;
    rig.state.comm_state = write_cfg_bits;
    rig.state.response_text = "010F00000020";
    rig.tx.dispatch();
    EXPECT_FALSE(rig.form.chk_cfg[30].pending());
    EXPECT_TRUE(rig.form.chk_cfg[31].pending()) << "bit 31 is not confirmed by a write";
    EXPECT_EQ(rig.state.comm_state, write_input_registers);
    EXPECT_EQ(rig.state.current_register, 512);
    EXPECT_TRUE(rig.form.Timer2.enabled());
}

TEST(WriteConfirmations, OnlyInputBitsPendingFollowTheBitWriteDirectly) {
    WriteRig rig;
    rig.form.input_bits_pending = true;
    rig.form.chk_input[0].set_value(1);
    rig.form.chk_input[15].set_value(1);
    rig.state.comm_state = write_cfg_bits;
    rig.state.response_text = "010F00000020";
    rig.tx.dispatch();
    rig.serve();
    EXPECT_EQ(rig.requests(), std::vector<std::string>{"010F01000010020180"});
    EXPECT_EQ(rig.state.comm_state, write_input_bits);

    rig.form.chk_input[0].set_pending(true);
    rig.run_ms(200);
    EXPECT_FALSE(rig.form.chk_input[0].pending());
    EXPECT_FALSE(rig.form.input_bits_pending);
}

TEST(WriteConfirmations, LastInputRegisterTakesTheTextsAsReferences) {
    WriteRig rig;
    rig.form.txt_data_in[8].set_text("-12.5");
    rig.form.txt_data_in[8].set_pending(true);
    rig.form.Timer2.set_enabled(true);
    rig.state.comm_state = write_input_registers;
    rig.state.current_register = 538;
    rig.state.response_text = "0110021A0001";
    rig.tx.dispatch();
    EXPECT_TRUE(rig.form.txt_data_in[8].pending());
    EXPECT_EQ(rig.state.current_register, 539);

    rig.state.response_text = "0110021B0001";
    rig.tx.dispatch();
    EXPECT_FALSE(rig.form.txt_data_in[8].pending());
    EXPECT_EQ(rig.state.input_register_values[8], -12.5);
    EXPECT_FALSE(rig.form.Timer2.enabled());
    EXPECT_TRUE(rig.requests().empty()) << "no input bits pending";
}

TEST(WriteConfirmations, AnswerAfterCancelOnlyFreesTheLink) {
    WriteRig rig;
    rig.state.comm_state = idle;
    rig.state.link_ready = false;
    rig.state.response_text = "0110000A000A";
    rig.tx.dispatch();
    EXPECT_TRUE(rig.state.link_ready);
    EXPECT_TRUE(rig.requests().empty());
}

}  // namespace
