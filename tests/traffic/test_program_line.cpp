// The composed program and the line: a refusal by the unit is reported at once and stops the chain,
// a time-out says what was seen, and a finished read-out or Apply is confirmed on the status line.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../transfer/unit_rig.h"
#include "../support/null_platform.h"
#include "program/program.h"
#include "settings/store.h"

namespace plx {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ProgramLine : public ::testing::Test {
  protected:
    void SetUp() override {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.time_of_day = [] { return std::string("12:00:00"); };
        program.start();
        unit.holding[34] = 15;
        program.form.Combo_Port[5].user_select(1);
        program.form.Combo_Port[6].user_select(1);
        run_ms(6000);
        ASSERT_FALSE(program.frm_state->loaded()) << "the read-out after opening has ended";
        unit.seen.clear();
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) {
            transfer::testing::serve_unit(port, unit, clock.now().count());
            clock.advance_ms(5);
        }
    }
    std::vector<std::string> requests() const {
        std::vector<std::string> out;
        for (const auto& s : unit.seen) out.push_back(s.request);
        return out;
    }
    // the unit refuses every request that begins with `prefix`
    void refuse(const std::string& prefix, int code) {
        unit.refuse = [prefix, code](const std::string& r) { return r.rfind(prefix, 0) == 0 ? code : 0; };
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    transfer::testing::RecordingMessageBox messages;
    test::NoFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    transfer::testing::ScriptedUnit unit;
};

TEST_F(ProgramLine, ReadOutAndApplySayWhatWasDone) {
    EXPECT_EQ(program.form.status_line.caption(), "Auslesen abgeschlossen um 12:00:00");
    program.form.txt_data_cfg[3].user_edit("4321");
    program.form.chk_cfg[2].user_toggle();
    program.form.txt_data_in[8].user_edit("21,5");
    program.form.set_parameter.user_click();
    run_ms(20000);
    ASSERT_FALSE(program.frm_state->loaded());
    EXPECT_EQ(program.form.status_line.caption(),
              "6 Registerblöcke, 32 Konfigurationsbits, 1 Eingaberegister geschrieben und zurückgelesen "
              "(12:00:00)");
    EXPECT_EQ(program.traffic->counters().exceptions, 0u);
    EXPECT_EQ(program.traffic->counters().requests, program.traffic->counters().valid_answers);
}

struct Refusal {
    const char* name;
    std::function<void(Program&)> act;
    const char* refused;  // the request refused, as it begins
    int code;
    const char* says;  // part of the message
    std::function<void(Program&)> check;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class ProgramRefusal : public ProgramLine, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ProgramRefusal, ReportedAtOnceChainStopsNothingLoadedControlsBack) {
    const Refusal& r = GetParam();
    refuse(r.refused, r.code);
    unit.holding[34] = 77;  // what a read-out would load
    r.act(program);
    run_ms(3000);
    ASSERT_EQ(messages.shown.size(), 1u) << "at once, and once";
    const std::string& message = messages.shown[0];
    EXPECT_TRUE(has(message, r.says)) << message;
    const std::string line = program.form.status_line.caption();
    EXPECT_EQ(line.rfind("Abgelehnt: ", 0), 0u) << line;
    EXPECT_NE(line.find(message.substr(message.find(": Ausnahme") + 2, 10)), std::string::npos) << line;
    const auto sent = requests();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().rfind(r.refused, 0), 0u) << "nothing follows the refused request";
    EXPECT_FALSE(program.frm_state->loaded());
    EXPECT_TRUE(program.form.frm_config.enabled());
    EXPECT_TRUE(program.form.read_out_parameter.enabled());
    EXPECT_TRUE(program.form.chk_read_out.enabled());
    EXPECT_EQ(program.form.txt_data_cfg[34].text(), "1,5") << "nothing of the refusal is loaded";
    run_ms(20000);
    EXPECT_FALSE(program.form.lbl_desc[7].visible()) << "a refusal is no time-out";
    EXPECT_EQ(requests().size(), sent.size());
    r.check(program);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Line, ProgramRefusal,
    ::testing::Values(
        Refusal{"ApplyBlock",
                [](Program& p) {
                    p.form.txt_data_cfg[3].user_edit("4321");
                    p.form.set_parameter.user_click();
                },
                "01100000000A", 3,
                "„Konfigurationsregister 0..9 schreiben“ abgelehnt: Ausnahme 03 (unzulässiger Datenwert)",
                [](Program& p) {
                    EXPECT_TRUE(p.form.txt_data_cfg[3].pending());
                    EXPECT_EQ(p.form.txt_data_cfg[3].text(), "4321");
                    EXPECT_TRUE(p.form.set_parameter.enabled()) << "the engineer can try again";
                }},
        Refusal{"ApplyInputRegister",
                [](Program& p) {
                    p.form.txt_data_in[8].user_edit("21,5");
                    p.form.set_parameter.user_click();
                },
                "01100208", 4,
                "„Eingaberegister 8 (externe Temperatur 1, °C) schreiben“ abgelehnt: Ausnahme 04 (Gerätefehler)",
                [](Program& p) {
                    EXPECT_TRUE(p.form.txt_data_in[8].pending()) << "not confirmed, so still marked";
                    EXPECT_TRUE(p.form.set_parameter.enabled());
                }},
        Refusal{"ReadOut",
                [](Program& p) { p.form.read_out_parameter.user_click(); },
                "0103001E000A", 2, "„Konfigurationsregister 30..39 lesen“ abgelehnt: Ausnahme 02 "
                                   "(unzulässige Datenadresse)",
                [](Program&) {}},
        Refusal{"Polling",
                [](Program& p) { p.form.chk_read_out.user_toggle(); },
                "010301000011", 3, "„Ausgaberegister 0..16 lesen“ abgelehnt: Ausnahme 03 (unzulässiger Datenwert)",
                [](Program& p) {
                    EXPECT_EQ(p.form.chk_read_out.value(), 0) << "a refused poll is not repeated";
                    EXPECT_FALSE(p.form.Timer7.enabled());
                }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(ProgramLine, TimeOutSaysWhatWasSeenInTheStatusLineAndTheLabelsTooltip) {
    unit.silent = true;
    const auto requests_before = program.traffic->counters().requests;
    program.form.read_out_parameter.user_click();
    run_ms(31000);
    ASSERT_TRUE(program.form.lbl_desc[7].visible());
    // one request, one time-out, however long the unit stays silent
    EXPECT_EQ(program.traffic->counters().requests - requests_before, 1U);
    EXPECT_EQ(program.traffic->counters().time_outs, 1U);
    const std::string reason = program.form.status_line.caption();
    EXPECT_TRUE(has(reason, "Kein Byte empfangen")) << reason;
    EXPECT_EQ(program.form.lbl_desc[7].tooltip(), reason);
    // the engineer opens the port again and the unit answers
    unit.silent = false;
    program.form.Combo_Port[6].user_select(0);
    program.form.Combo_Port[6].user_select(1);
    run_ms(8000);
    EXPECT_FALSE(program.form.lbl_desc[7].visible());
    EXPECT_EQ(program.form.lbl_desc[7].tooltip(), "");
    EXPECT_EQ(program.form.status_line.caption(), "Auslesen abgeschlossen um 12:00:00");
}

}  // namespace
}  // namespace plx
