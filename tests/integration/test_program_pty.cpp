// The headless program on its QSerialPort backend against plx24-sim over a socat pty pair, in RTU
// and ASCII: the read-out, polling, and every fault the simulator can inject. Real time runs here:
// Qt's event loop and the program's (virtual) timers are driven together in bounded waits.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "program/program.h"
#include "child_process.h"
#include "controls/timer.h"
#include "link/port_map.h"
#include "link/qt_port.h"
#include "pty_pair.h"
#include "settings/store.h"
#include "sim/faults.h"
#include "sim/unit.h"

#include "../support/null_platform.h"

namespace plx {
namespace {

using std::chrono::milliseconds;
using testing::have_program;
namespace regmap = device::regmap;

const std::string sim_exe = PLX24_SIM_EXE;

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_e2e_program";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

using RecordingMessages = test::RecordingMessages;
using test::NoFiles;
using test::NoShell;
using test::shown;


struct Mode {
    const char* name;
    bool ascii;
};

class ProgramOverPty : public ::testing::Test {
protected:
    void start(bool ascii, const std::vector<std::string>& sim_options) {
        if (!have_program("socat")) GTEST_SKIP() << "socat is not installed (Debian package socat)";
        ASSERT_TRUE(pair.start()) << pair.error();
        std::vector<std::string> options{"--mode", ascii ? "ascii" : "rtu", "--seed", "8"};
        options.insert(options.end(), sim_options.begin(), sim_options.end());
        ASSERT_TRUE(sim.start(sim_exe, pair.unit_end(), options)) << sim.process().err();
        start_program(ascii);
    }
    void start_program(bool ascii) {
        app();
        setenv("PLX24_PORT_MAP", ("3=" + pair.master_end()).c_str(), 1);
        port = std::make_unique<link::QtPort>();
        program = std::make_unique<Program>(Platform{*port, clock, messages, files, shell});
        program->settings = std::make_unique<settings::MemoryStore>();
        program->start();
        if (!ascii) program->form.Combo_Port[5].user_select(1);
        // what the fields hold before the unit has said anything
        for (const auto& [name, text] : field_texts()) before[name] = text;
    }
    void TearDown() override {
        program.reset();
        port.reset();
        unsetenv("PLX24_PORT_MAP");
    }

    void open_port() {
        program->form.Combo_Port[6].user_select(1);
        ASSERT_TRUE(program->platform.port.port_open()) << (messages.shown.empty() ? "" : messages.shown.back());
    }
    void close_port() { program->form.Combo_Port[6].user_select(0); }

    // Every field a read-out fills, with the text it shows now.
    std::map<std::string, std::string> field_texts() {
        std::map<std::string, std::string> out;
        const FrmConfig& f = program->form;
        for (int k = 0; k < regmap::cfg_register_group.count; ++k) out["txt_data_cfg " + std::to_string(k)] = f.txt_data_cfg[k].text();
        for (int j = 0; j < regmap::cfg_bit_group.count; ++j) out["chk_cfg " + std::to_string(j)] = std::to_string(f.chk_cfg[j].value());
        for (int j = 0; j < regmap::input_bit_group.count; ++j) out["chk_input " + std::to_string(j)] = std::to_string(f.chk_input[j].value());
        for (int k = regmap::input_register_group.read_first; k <= regmap::input_register_last_shown; ++k) {
            out["txt_data_in " + std::to_string(k)] = f.txt_data_in[k].text();
        }
        return out;
    }
    // What the unit holds, shown the way the fields show it.
    std::map<std::string, std::string> unit_texts() {
        std::map<std::string, std::string> out;
        const std::string& sep = program->state.decimal_separator;
        for (int k = 0; k < regmap::cfg_register_group.count; ++k) {
            out["txt_data_cfg " + std::to_string(k)] =
                shown(image.cfg_registers[static_cast<std::size_t>(k)], regmap::is_tenths_cfg(k), sep,
                      regmap::cfg_registers[static_cast<std::size_t>(k)].sign == regmap::Sign::unsigned16);
        }
        for (int j = 0; j < regmap::cfg_bit_group.count; ++j) out["chk_cfg " + std::to_string(j)] = image.cfg_bits[static_cast<std::size_t>(j)] ? "1" : "0";
        for (int j = 0; j < regmap::input_bit_group.count; ++j) out["chk_input " + std::to_string(j)] = image.input_bits[static_cast<std::size_t>(j)] ? "1" : "0";
        for (int k = regmap::input_register_group.read_first; k <= regmap::input_register_last_shown; ++k) {
            out["txt_data_in " + std::to_string(k)] =
                shown(image.input_registers[static_cast<std::size_t>(k)], regmap::is_tenths_in(k), sep);
        }
        return out;
    }
    std::vector<std::string> differences() {
        std::vector<std::string> out;
        const auto want = unit_texts();
        for (const auto& [name, text] : field_texts()) {
            if (text != want.at(name)) out.push_back(name + " shows '" + text + "', the unit holds '" + want.at(name) + "'");
        }
        return out;
    }
    // A field may show what it showed before or what the unit holds, never anything else.
    void check_nothing_wrong_landed() {
        const auto want = unit_texts();
        for (const auto& [name, text] : field_texts()) {
            if (text != want.at(name) && text != before.at(name) && wrong.insert(name).second) {
                ADD_FAILURE() << name << " took '" << text << "', neither its old '" << before.at(name)
                              << "' nor the unit's '" << want.at(name) << "'";
            }
        }
    }

    // Runs Qt's event loop and the program's timers on real time until `done` or `limit`.
    bool run_until(const std::function<bool()>& done, milliseconds limit) {
        QElapsedTimer waited;
        waited.start();
        qint64 last = 0;
        while (!done()) {
            if (waited.elapsed() > limit.count()) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            const qint64 now = waited.elapsed();
            clock.advance(milliseconds(now - last));
            last = now;
            check_nothing_wrong_landed();
        }
        return true;
    }
    bool read_out_complete() {
        return differences().empty() && program->state.link_ready && program->form.frm_config.enabled();
    }
    // the time-out's label, or the message of a refusal
    bool problem_reported() { return program->form.lbl_desc[7].visible() || !messages.shown.empty(); }

    bool ascii_ = false;
    testing::PtyPair pair;
    testing::SimOnDevice sim;
    std::unique_ptr<link::QtPort> port;
    controls::VirtualClock clock;
    RecordingMessages messages;
    NoFiles files;
    NoShell shell;
    std::unique_ptr<Program> program;
    sim::UnitTables image = sim::factory_tables();  // what the unit on the line holds
    std::map<std::string, std::string> before;
    std::set<std::string> wrong;
};

class ProgramReadOut : public ProgramOverPty, public ::testing::WithParamInterface<Mode> {};

TEST_P(ProgramReadOut, OpenReadsEveryFieldAndPollingKeepsTheMonitorLive) {
    start(GetParam().ascii, {});
    open_port();
    std::vector<std::string> differ;
    const bool filled = run_until(
        [&] {
            differ = differences();
            return read_out_complete();
        },
        milliseconds(30'000));
    ASSERT_TRUE(filled) << differ.size() << " fields differ; first: " << (differ.empty() ? "-" : differ[0])
                        << "\nsimulator: " << sim.process().err();
    EXPECT_FALSE(problem_reported());
    EXPECT_EQ(program->state.response_time, 20);

    program->form.chk_read_out.user_toggle();
    ASSERT_EQ(program->form.chk_read_out.value(), 1);
    std::set<std::string> temperatures;
    const bool live = run_until(
        [&] {
            if (!program->form.txt_data_out[2].text().empty()) temperatures.insert(program->form.txt_data_out[2].text());
            return temperatures.size() >= 3;
        },
        milliseconds(60'000));
    EXPECT_TRUE(live) << "room temperatures seen: " << temperatures.size();
    EXPECT_GE(std::stol(program->form.txt_data_out[0].text()), 0xF000);
    EXPECT_EQ(program->form.txt_data_out[4].text(), shown(image.input_registers[20], true, program->state.decimal_separator));
    EXPECT_TRUE(messages.shown.empty());
}

void PrintTo(const Mode& m, std::ostream* os) { *os << m.name; }

INSTANTIATE_TEST_SUITE_P(Modes, ProgramReadOut, ::testing::Values(Mode{"rtu", false}, Mode{"ascii", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- faults: request 3 (the second configuration block) meets the fault

struct FaultRun {
    sim::FaultKind kind;
    bool ascii;
};

void PrintTo(const FaultRun& r, std::ostream* os) { *os << sim::fault_name(r.kind) << (r.ascii ? " ascii" : " rtu"); }

class ProgramSurvivesFault : public ProgramOverPty, public ::testing::WithParamInterface<FaultRun> {};

TEST_P(ProgramSurvivesFault, NothingWrongLandsAndTheNextGoodAnswersComplete) {
    const sim::FaultKind kind = GetParam().kind;
    // a slow answer (500 ms against a response time of 20 ms): the status window waits for it
    start(GetParam().ascii, {"--fault", std::string(sim::fault_name(kind)) + "@3", "--slow-ms", "500"});
    open_port();
    // the answer is either taken once it is whole (split, slow, noise) or the time-out reports it
    const bool settled = run_until([&] { return read_out_complete() || problem_reported(); }, milliseconds(30'000));
    ASSERT_TRUE(settled) << "neither complete nor reported; comm_state " << program->state.comm_state
                         << ", current_register " << program->state.current_register << ", link_ready "
                         << program->state.link_ready << ", window enabled " << program->form.frm_config.enabled()
                         << ", fields differing " << differences().size() << "; simulator: " << sim.process().err();
    const bool must_report = kind == sim::FaultKind::no_answer || kind == sim::FaultKind::bad_checksum ||
                             kind == sim::FaultKind::wrong_address || kind == sim::FaultKind::exception ||
                             kind == sim::FaultKind::truncated;
    if (must_report) {
        EXPECT_TRUE(problem_reported()) << "a lost or spoilt answer is reported";
    }
    if (kind == sim::FaultKind::exception) {
        // at once, by its code, not after the time-out
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].find("Ausnahme 04"), std::string::npos) << messages.shown[0];
        EXPECT_FALSE(program->form.lbl_desc[7].visible());
    }
    if (problem_reported()) {
        EXPECT_FALSE(differences().empty()) << "the chain stopped at the spoilt answer";
        // the user opens the port again: the unit's next (good) answers carry the read-out through
        messages.shown.clear();
        close_port();
        open_port();
    }
    std::vector<std::string> differ;
    const bool complete = run_until(
        [&] {
            differ = differences();
            return read_out_complete();
        },
        milliseconds(30'000));
    EXPECT_TRUE(complete) << differ.size() << " fields differ; first: " << (differ.empty() ? "-" : differ[0]);
    EXPECT_FALSE(problem_reported()) << "the label goes once good data arrive";
}

std::vector<FaultRun> every_fault_in_both_modes() {
    std::vector<FaultRun> runs;
    for (const auto& k : sim::fault_kinds()) {
        runs.push_back({k.kind, false});
        runs.push_back({k.kind, true});
    }
    return runs;
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProgramSurvivesFault, ::testing::ValuesIn(every_fault_in_both_modes()),
                         [](const auto& info) {
                             std::string n = std::string(sim::fault_name(info.param.kind)) + (info.param.ascii ? "_ascii" : "_rtu");
                             for (char& c : n) {
                                 if (c == '-') c = '_';
                             }
                             return n;
                         });

// ---- an independent RTU peer: pymodbus serving a unit image unlike the simulator's

const char* const python = "/usr/bin/python3";

bool have_pymodbus() {
    const auto r = testing::run_command({python, "-c", "import pymodbus.server.async_io"}, milliseconds(20'000));
    return r.status == 0;
}

class ProgramAgainstPymodbus : public ProgramOverPty {
protected:
    void SetUp() override {
        if (!have_program("socat")) GTEST_SKIP() << "socat is not installed (Debian package socat)";
        if (!have_program(python) || !have_pymodbus()) {
            GTEST_SKIP() << "pymodbus is not installed for " << python << " (Debian package python3-pymodbus)";
        }
        // every group differs from the factory values, so a field can only match by reading it
        auto& c = image.cfg_registers;
        c[2] = 8;
        c[3] = 1234;
        for (int k = 4; k <= 7; ++k) c[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(11 * (k - 3));
        for (int k = 8; k <= 19; ++k) c[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(k);
        c[33] = 30;
        c[34] = static_cast<std::uint16_t>(-15);
        c[38] = 225;
        c[59] = 2;
        for (auto&& b : image.cfg_bits) b = !b;
        for (int k = 7; k <= 25; ++k) image.input_registers[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(100 + 3 * k);
        image.input_registers[14] = static_cast<std::uint16_t>(-12);
        for (std::size_t j = 0; j < image.input_bits.size(); ++j) image.input_bits[j] = j % 3 == 0;

        ASSERT_TRUE(pair.start()) << pair.error();
        const std::string image_file = pair.unit_end() + ".image";
        {
            std::ofstream out(image_file);
            const auto put_words = [&](const regmap::Group& g, const auto& words) {
                for (int n = 0; n < g.count; ++n) out << "hr " << g.address(n) << ' ' << words[static_cast<std::size_t>(n)] << '\n';
            };
            const auto put_bits = [&](const regmap::Group& g, const auto& bits) {
                for (int n = 0; n < g.count; ++n) out << "co " << g.address(n) << ' ' << (bits[static_cast<std::size_t>(n)] ? 1 : 0) << '\n';
            };
            put_words(regmap::cfg_register_group, image.cfg_registers);
            put_words(regmap::input_register_group, image.input_registers);
            put_words(regmap::output_register_group, image.output_registers);
            put_bits(regmap::cfg_bit_group, image.cfg_bits);
            put_bits(regmap::input_bit_group, image.input_bits);
        }
        ASSERT_TRUE(peer.start({python, PLX24_PYMODBUS_UNIT, pair.unit_end(), "1", image_file}));
        ASSERT_TRUE(peer.wait_for_stderr("serving", milliseconds(20'000))) << peer.err();
        start_program(false);
    }

    testing::ChildProcess peer;
};

TEST_F(ProgramAgainstPymodbus, ReadOutFillsTheFieldsWithExactlyTheServersValues) {
    open_port();
    std::vector<std::string> differ;
    const bool filled = run_until(
        [&] {
            differ = differences();
            return read_out_complete();
        },
        milliseconds(30'000));
    EXPECT_TRUE(filled) << differ.size() << " fields differ; first: " << (differ.empty() ? "-" : differ[0])
                        << "\npymodbus: " << peer.err();
    EXPECT_EQ(program->state.response_time, 30);
    EXPECT_EQ(program->form.cmb_cfg[2].current_text(), "8T");
    EXPECT_FALSE(problem_reported());
}

// Through a gateway: plx24-sim serving its unit over TCP, as a Modbus TCP gateway and passing RTU
// frames through; the network entry of the port box reaches it. Read-out, an Apply and polling.
class ProgramThroughGateway : public ProgramOverPty, public ::testing::WithParamInterface<const char*> {};

TEST_P(ProgramThroughGateway, ReadsOutAppliesAndPolls) {
    testing::ChildProcess gateway;
    ASSERT_TRUE(gateway.start({sim_exe, "--tcp", "127.0.0.1:0", "--framing", GetParam(), "--seed", "8"}));
    const std::string device = gateway.read_line(milliseconds(10'000)).value_or("");
    ASSERT_NE(device.find("tcp://127.0.0.1:"), std::string::npos) << gateway.err();
    app();
    setenv("PLX24_PORT_MAP", ("41=" + device).c_str(), 1);
    port = std::make_unique<link::QtPort>();
    program = std::make_unique<Program>(Platform{*port, clock, messages, files, shell});
    program->settings = std::make_unique<settings::MemoryStore>();
    program->start();
    for (const auto& [name, text] : field_texts()) before[name] = text;
    program->form.Combo_Port[0].user_select(link::kNetworkEntry - 1);
    // the gateway's line settings are its own
    EXPECT_FALSE(program->form.Combo_Port[1].enabled());
    EXPECT_FALSE(program->form.Combo_Port[5].enabled());
    open_port();
    ASSERT_TRUE(run_until([&] { return read_out_complete(); }, milliseconds(30'000)))
        << differences().size() << " fields differ\ngateway: " << gateway.err();

    program->form.chk_input[3].user_toggle();
    image.input_bits[3] = !image.input_bits[3];
    program->form.set_parameter.user_click();
    ASSERT_TRUE(run_until([&] { return !program->frm_state->loaded() && read_out_complete(); }, milliseconds(40'000)))
        << "the Apply's read-back: " << differences().size() << " fields differ";
    EXPECT_FALSE(problem_reported());

    program->form.chk_read_out.user_toggle();
    std::set<std::string> temperatures;
    EXPECT_TRUE(run_until(
        [&] {
            if (!program->form.txt_data_out[2].text().empty()) temperatures.insert(program->form.txt_data_out[2].text());
            return temperatures.size() >= 2;
        },
        milliseconds(60'000)));
    EXPECT_EQ(program->traffic->counters().time_outs, 0u);
    gateway.stop();
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProgramThroughGateway, ::testing::Values("mbap", "rtu"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace plx
