// The composed program on a failing line: a unit that falls silent while polled is shown as silent
// within 10 s and its Monitor values as stale, a vanished adapter closes the port and costs nothing
// more, and an Apply that stops says in one message what the unit confirmed of it and what not.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "../transfer/unit_rig.h"
#include "program/program.h"
#include "settings/store.h"

namespace plx {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool begins(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

class FailingLine : public ::testing::Test {
  protected:
    void SetUp() override {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.time_of_day = [] { return std::string("12:00:00"); };
        program.start();
        // pacing: blocks every 300 ms, polls every 250 ms
        unit.holding[33] = 50;
        program.form.Combo_Port[5].user_select(1);
        program.form.Combo_Port[6].user_select(1);
        run_ms(8000);
        ASSERT_FALSE(program.frm_state->loaded()) << "the read-out after opening has ended";
        unit.seen.clear();
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) step();
    }
    void step() {
        transfer::testing::serve_unit(port, unit, clock.now().count());
        clock.advance_ms(5);
    }
    // Runs until the unit has heard a request beginning with `prefix`.
    void run_until_heard(const std::string& prefix) {
        for (int t = 0; t < 60'000; t += 5) {
            for (const auto& s : unit.seen) {
                if (begins(s.request, prefix)) return;
            }
            step();
        }
        FAIL() << "never sent: " << prefix;
    }
    std::size_t heard(const std::string& prefix) const {
        std::size_t n = 0;
        for (const auto& s : unit.seen) n += begins(s.request, prefix) ? 1 : 0;
        return n;
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    test::RecordingMessages messages;
    test::ScriptedFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    transfer::testing::ScriptedUnit unit;
};

// An edit in each stage of an Apply: registers 3 (block 0) and 13 (block 10), configuration bit 2,
// input register 8, input bit 3.
void edit_every_stage(Program& p) {
    p.form.txt_data_cfg[3].user_edit("4321");
    p.form.txt_data_cfg[13].user_edit("2");
    p.form.chk_cfg[2].user_toggle();
    p.form.txt_data_in[8].user_edit("21,5");
    p.form.chk_input[3].user_toggle();
}

void apply(Program& p) {
    edit_every_stage(p);
    p.form.set_parameter.user_click();
}

enum class Fault {
    silent,  // the unit leaves the request and everything after it unanswered
    vanish,  // the adapter goes once the request is on the line
    refuse,  // the unit refuses the request with exception 03
    cancel,  // the engineer presses "Abbruch" once the request is on the line
};

struct Failure {
    const char* name;
    std::function<void(Program&)> act;
    std::int64_t after_ms;  // the line works this long after the act
    const char* at;         // the request at which the line fails, as it begins
    Fault fault;
    std::vector<std::string> says;  // parts of the one message; none: no message
    // an Apply: which of the five edits keep their mark ("1"), and what the next Apply confirms
    const char* marks;
    const char* next_apply;
};

void PrintTo(const Failure& f, std::ostream* os) {
    *os << f.name;
}

class FailingLineTable : public FailingLine, public ::testing::WithParamInterface<Failure> {};

TEST_P(FailingLineTable, ShownAtOnceNothingSpinsWhatWasWrittenIsSaid) {
    const Failure& f = GetParam();
    const std::string at = f.at;
    const auto time_outs_before = program.traffic->counters().time_outs;
    f.act(program);
    run_ms(f.after_ms);
    const std::size_t heard_before = heard(at);
    switch (f.fault) {
        case Fault::silent: {
            unit.ignores = [at, gone = false](const std::string& r) mutable {
                return gone = gone || begins(r, at);
            };
            while (heard(at) == heard_before) step();
            const auto first_unanswered = clock.now();
            run_ms(9'900);
            EXPECT_FALSE(program.form.lbl_desc[7].visible()) << "not before 10 s";
            while (clock.now() < first_unanswered + std::chrono::milliseconds(10'050)) step();
            EXPECT_TRUE(program.form.lbl_desc[7].visible()) << "10 s after the first unanswered request";
            EXPECT_TRUE(has(program.form.status_line.caption(), "Kein Byte empfangen"))
                << program.form.status_line.caption();
            if (f.marks == nullptr) {
                // polling: every poll is answered or counts one time-out, but the one still awaited
                const auto& c = program.traffic->counters();
                EXPECT_EQ(c.requests, c.valid_answers + c.time_outs + (program.engine->awaiting() ? 1u : 0u));
                EXPECT_GE(c.time_outs - time_outs_before, 30u);
                EXPECT_TRUE(program.monitor_freshness->stale());
            }
            break;
        }
        case Fault::vanish: {
            while (heard(at) == heard_before) step();
            port.vanish();
            EXPECT_EQ(program.monitor_freshness->stale(), heard("010301000011") > 0)
                << "polled values go grey at once";
            const int reads = port.reads();
            const auto sent = unit.seen.size();
            run_ms(11'000);
            EXPECT_EQ(port.reads(), reads) << "nothing is read from a port whose device has gone";
            EXPECT_EQ(unit.seen.size(), sent);
            EXPECT_FALSE(port.port_open());
            EXPECT_EQ(program.form.Combo_Port[6].list_index(), 0) << "the panel says close";
            EXPECT_TRUE(program.form.Combo_Port[0].enabled());
            EXPECT_FALSE(program.form.read_out_parameter.enabled());
            EXPECT_EQ(program.form.chk_read_out.value(), 0);
            EXPECT_EQ(program.form.status_line.caption(), "Adapter an COM3 nicht mehr da: Port geschlossen.");
            ASSERT_FALSE(messages.shown.empty());
            EXPECT_TRUE(has(messages.shown[0], port.device_name(3) + " (COM3) ist nicht mehr da"))
                << messages.shown[0];
            break;
        }
        case Fault::refuse:
            unit.refuse = [at](const std::string& r) { return begins(r, at) ? 3 : 0; };
            run_ms(11'000);
            break;
        case Fault::cancel:
            while (heard(at) == heard_before) step();
            ASSERT_TRUE(program.frm_state->loaded());
            program.frm_state->controls()->Abbruch.user_click();
            run_ms(11'000);
            break;
    }
    if (f.says.empty()) {
        EXPECT_TRUE(messages.shown.empty());
    } else {
        ASSERT_EQ(messages.shown.size(), 1u) << "one message";
        for (const std::string& part : f.says) EXPECT_TRUE(has(messages.shown[0], part)) << messages.shown[0];
    }
    if (f.marks == nullptr) return;

    EXPECT_FALSE(program.frm_state->loaded()) << "the status window has gone";
    EXPECT_TRUE(program.form.frm_config.enabled());
    auto& form = program.form;
    const std::string marks = f.marks;
    EXPECT_EQ(form.txt_data_cfg[3].pending(), marks[0] == '1');
    EXPECT_EQ(form.txt_data_cfg[13].pending(), marks[1] == '1');
    EXPECT_EQ(form.chk_cfg[2].pending(), marks[2] == '1');
    EXPECT_EQ(form.txt_data_in[8].pending(), marks[3] == '1');
    EXPECT_EQ(form.chk_input[3].pending(), marks[4] == '1');
    EXPECT_EQ(form.txt_data_in[8].text(), "21,5") << "nothing the engineer typed is lost";

    // the line works again; closing and opening reads the unit out and keeps what was not sent
    unit.ignores = nullptr;
    unit.refuse = nullptr;
    if (port.port_open()) form.Combo_Port[6].user_select(0);
    form.Combo_Port[6].user_select(1);
    run_ms(8000);
    EXPECT_EQ(form.status_line.caption(), "Auslesen abgeschlossen um 12:00:00")
        << "no write of the stopped Apply";
    EXPECT_EQ(form.txt_data_in[8].pending(), marks[3] == '1');
    if (marks[1] == '1') {
        EXPECT_EQ(form.txt_data_cfg[13].text(), "2");
    }
    form.set_parameter.user_click();
    run_ms(25'000);
    EXPECT_EQ(form.status_line.caption(),
              std::string(f.next_apply) + " geschrieben und zurückgelesen (12:00:00)");
}

const char* const kAllOver = "6 Registerblöcke, 32 Konfigurationsbits, 1 Eingaberegister, 16 Eingabebits";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Line, FailingLineTable,
    ::testing::Values(
        Failure{"PollingUnitFallsSilent",
                [](Program& p) { p.form.chk_read_out.user_toggle(); }, 2000, "010301000011", Fault::silent, {},
                nullptr, nullptr},
        Failure{"PollingAdapterVanishes",
                [](Program& p) { p.form.chk_read_out.user_toggle(); }, 2000, "010301000011", Fault::vanish,
                {"ist nicht mehr da; der Port wurde geschlossen"}, nullptr, nullptr},
        Failure{"ReadOutAdapterVanishes",
                [](Program& p) { p.form.read_out_parameter.user_click(); }, 0, "01030014000A", Fault::vanish,
                {"ist nicht mehr da"}, nullptr, nullptr},
        Failure{"ApplySilentAtFirstBlock", apply, 0, "01100000000A", Fault::silent,
                {"Übernehmen unterbrochen: das Gerät antwortet nicht.\nNichts geschrieben; Blöcke 0..59, "
                 "32 Konfigurationsbits, Eingaberegister 8, 16 Eingabebits nicht geschrieben.\n"
                 "Nicht Bestätigtes bleibt rot markiert"},
                "11111", kAllOver},
        Failure{"ApplySilentAtSecondBlock", apply, 0, "0110000A000A", Fault::silent,
                {"Block 0..9 geschrieben; Blöcke 10..59, 32 Konfigurationsbits, Eingaberegister 8, 16 Eingabebits "
                 "nicht geschrieben."},
                "01111", kAllOver},
        Failure{"ApplySilentAtBits", apply, 0, "010F00000020", Fault::silent,
                {"Blöcke 0..59 geschrieben; 32 Konfigurationsbits, Eingaberegister 8, 16 Eingabebits nicht "
                 "geschrieben."},
                "00111", kAllOver},
        Failure{"ApplySilentAtInputRegister", apply, 0, "011002080001", Fault::silent,
                {"Blöcke 0..59, 32 Konfigurationsbits geschrieben; Eingaberegister 8, 16 Eingabebits nicht "
                 "geschrieben."},
                "00011", "1 Eingaberegister, 16 Eingabebits"},
        Failure{"ApplySilentAtInputBits", apply, 0, "010F01000010", Fault::silent,
                {"Blöcke 0..59, 32 Konfigurationsbits, Eingaberegister 8 geschrieben; 16 Eingabebits nicht "
                 "geschrieben."},
                "00001", "16 Eingabebits"},
        Failure{"ApplyAdapterVanishesAtSecondBlock", apply, 0, "0110000A000A", Fault::vanish,
                {"ist nicht mehr da", "Block 0..9 geschrieben; Blöcke 10..59"}, "01111", kAllOver},
        Failure{"ApplyRefusedAtThirdBlock", apply, 0, "01100014000A", Fault::refuse,
                {"abgelehnt: Ausnahme 03", "Blöcke 0..19 geschrieben; Blöcke 20..59, 32 Konfigurationsbits"},
                "00111", kAllOver},
        Failure{"ApplyCancelledAtFourthBlock", apply, 0, "0110001E000A", Fault::cancel,
                {"Übernehmen abgebrochen.\nBlöcke 0..29 geschrieben; Blöcke 30..59"}, "00111", kAllOver}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(FailingLine, PolledValuesGoGreyWhenStaleAndComeBackWithTheUnit) {
    program.form.chk_read_out.user_toggle();
    run_ms(2000);
    auto& temperature = program.form.txt_data_out[2];
    const std::string own_tooltip = temperature.tooltip();
    EXPECT_FALSE(program.monitor_freshness->stale());
    unit.silent = true;
    run_ms(3000);
    EXPECT_TRUE(program.monitor_freshness->stale());
    EXPECT_EQ(temperature.fore_color(), controls::kGrayText);
    EXPECT_TRUE(has(temperature.tooltip(), "\nMonitorwerte veraltet: letzte gültige Antwort vor "))
        << temperature.tooltip();
    unit.silent = false;
    run_ms(1000);
    EXPECT_FALSE(program.monitor_freshness->stale());
    EXPECT_EQ(temperature.fore_color(), controls::kButtonText);
    EXPECT_EQ(temperature.tooltip(), own_tooltip);
}

TEST_F(FailingLine, HalfReadUnitIsSavedOnlyWhenTheEngineerSaysSo) {
    unit.ignores = [](const std::string& r) { return begins(r, "01030014000A"); };
    program.form.read_out_parameter.user_click();
    run_ms(12'000);
    program.editor->save_parameter_file();
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0],
              "Die letzte Auslesung ist unvollständig: Register 21..60 und die "
              "Konfigurationsbits wurden nicht gelesen. Trotzdem speichern?");
    EXPECT_TRUE(files.requests.empty()) << "Cancel is the answer unless the engineer chooses Save";
    unit.ignores = nullptr;
    program.form.Combo_Port[6].user_select(0);
    program.form.Combo_Port[6].user_select(1);
    run_ms(8000);
    program.editor->save_parameter_file();
    EXPECT_EQ(messages.asked.size(), 1u) << "a complete read-out saves without asking";
    EXPECT_EQ(files.requests.size(), 1u);
}

TEST_F(FailingLine, ResponseTimeShownForPacingIsWrittenBackAsTheUnitHoldsIt) {
    // register 33 at 0 shows 5, the pacing rule for a value below 1
    unit.holding[33] = 0;
    program.form.read_out_parameter.user_click();
    run_ms(8000);
    ASSERT_EQ(program.form.txt_data_cfg[33].text(), "5");
    const auto word_of_33 = [&] {
        for (const auto& s : unit.seen) {
            if (begins(s.request, "0110001E000A14")) return s.request.substr(14 + 4 * 3, 4);
        }
        return std::string("none");
    };
    program.form.txt_data_cfg[3].user_edit("4321");
    program.form.set_parameter.user_click();
    run_ms(20'000);
    EXPECT_EQ(word_of_33(), "0000") << "an unrelated Apply leaves the unit's value";
    unit.seen.clear();
    program.form.txt_data_cfg[33].user_edit("7");
    program.form.set_parameter.user_click();
    run_ms(20'000);
    EXPECT_EQ(word_of_33(), "0007") << "the engineer's own value goes as typed";
}

}  // namespace
}  // namespace plx
