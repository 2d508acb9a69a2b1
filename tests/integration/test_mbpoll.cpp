// mbpoll (libmodbus) as a second, independent master against plx24-sim in RTU mode, and against its
// Modbus TCP server.

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "sim/unit.h"

namespace plx::testing {
namespace {

using std::chrono::milliseconds;

const std::string sim_exe = PLX24_SIM_EXE;

struct MbpollResult {
    std::optional<int> status;
    std::map<int, long> values;  // reference -> value as mbpoll prints it (unsigned)
    std::string err;
};

MbpollResult run_mbpoll(std::vector<std::string> argv) {
    argv.insert(argv.begin(), "mbpoll");
    const RunResult r = run_command(argv, milliseconds(20'000));
    MbpollResult out{r.status, {}, r.err};
    static const std::regex line(R"(\[(\d+)\]:\s+(-?\d+))");
    for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), line); it != std::sregex_iterator(); ++it) {
        out.values[std::stoi((*it)[1])] = std::stol((*it)[2]);
    }
    return out;
}

class MbpollAgainstSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!have_program("mbpoll")) GTEST_SKIP() << "mbpoll is not installed (Debian package mbpoll)";
        if (!have_program("socat")) GTEST_SKIP() << "socat is not installed (Debian package socat)";
        ASSERT_TRUE(pair.start()) << pair.error();
        ASSERT_TRUE(sim.start(sim_exe, pair.unit_end(), {"--seed", "3"})) << sim.process().err();
    }

    MbpollResult mbpoll(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"-m", "rtu", "-a", "1", "-b", "9600", "-P", "even", "-0", "-o", "3"};
        argv.insert(argv.end(), args.begin(), args.end());
        return run_mbpoll(argv);
    }
    MbpollResult read(const char* type, int first, int count) {
        return mbpoll({"-t", type, "-r", std::to_string(first), "-c", std::to_string(count), "-1", pair.master_end()});
    }

    PtyPair pair;
    SimOnDevice sim;
    const sim::UnitTables factory = sim::factory_tables();
};

TEST_F(MbpollAgainstSim, ConfigurationRegistersAreTheFactoryValues) {
    const auto r = read("4", 0, 60);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.values.size(), 60u);
    for (int k = 0; k < 60; ++k) EXPECT_EQ(r.values.at(k), factory.cfg_registers[static_cast<std::size_t>(k)]) << k;
}

TEST_F(MbpollAgainstSim, ConfigurationBitsAreTheFactoryValues) {
    const auto r = read("0", 0, 32);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.values.size(), 32u);
    for (int j = 0; j < 32; ++j) EXPECT_EQ(r.values.at(j) != 0, factory.cfg_bits[static_cast<std::size_t>(j)]) << j;
}

TEST_F(MbpollAgainstSim, OutputRegistersShowTheLiveUnit) {
    const auto r = read("4", 0x0100, 17);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.values.size(), 17u);
    EXPECT_GE(r.values.at(0x100), 0xF000);
    EXPECT_GE(r.values.at(0x101), 0xF000);
    EXPECT_GE(r.values.at(0x102), 190) << "room temperature near 22 degC, in tenths";
    EXPECT_LE(r.values.at(0x102), 250);
    // no offsets written yet: each effective setpoint is its basic setpoint
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(r.values.at(0x103 + 2 * s), 0) << s;
        EXPECT_EQ(r.values.at(0x104 + 2 * s), factory.input_registers[static_cast<std::size_t>(20 + s)]) << s;
    }
    EXPECT_EQ(r.values.at(0x10F), factory.input_registers[26]);
    EXPECT_EQ(r.values.at(0x110), factory.input_registers[27]);
}

TEST_F(MbpollAgainstSim, WriteOfSeveralRegistersIsReadBack) {
    // two values make mbpoll use function 10 (hex)
    const auto w = mbpoll({"-t", "4", "-r", "3", pair.master_end(), "77", "78"});
    ASSERT_EQ(w.status, 0) << w.err;
    const auto r = read("4", 3, 2);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.values.at(3), 77);
    EXPECT_EQ(r.values.at(4), 78);
}

TEST_F(MbpollAgainstSim, WrittenOffsetMovesTheEffectiveSetpoint) {
    const auto w = mbpoll({"-t", "4", "-r", "526", pair.master_end(), "20", "0"});
    ASSERT_EQ(w.status, 0) << w.err;
    const auto r = read("4", 0x0103, 2);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.values.at(0x103), 20);
    EXPECT_EQ(r.values.at(0x104), factory.input_registers[20] + 20);
}

TEST(MbpollOverTcp, ReadsTheConfigurationFromTheSimulatorsModbusTcpServer) {
    if (!have_program("mbpoll")) GTEST_SKIP() << "mbpoll is not installed (Debian package mbpoll)";
    ChildProcess sim;
    ASSERT_TRUE(sim.start({sim_exe, "--tcp", "127.0.0.1:0", "--framing", "mbap"}));
    const std::string device = sim.read_line(milliseconds(10'000)).value_or("");
    const std::string prefix = "tcp://127.0.0.1:";
    ASSERT_EQ(device.rfind(prefix, 0), 0u) << sim.err();
    const sim::UnitTables factory = sim::factory_tables();
    const auto r = run_mbpoll({"-m", "tcp", "-p", device.substr(prefix.size()), "-a", "1", "-t", "4", "-r", "0",
                               "-c", "60", "-0", "-1", "127.0.0.1"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.values.size(), 60u);
    for (int k = 0; k < 60; ++k) EXPECT_EQ(r.values.at(k), factory.cfg_registers[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(sim.stop(), 0);
}

struct Beyond {
    const char* name;
    const char* type;
    int first;
    int count;
};

void PrintTo(const Beyond& b, std::ostream* os) { *os << b.name; }

class MbpollBeyondTables : public MbpollAgainstSim, public ::testing::WithParamInterface<Beyond> {};

TEST_P(MbpollBeyondTables, GetsIllegalDataAddress) {
    const auto r = read(GetParam().type, GetParam().first, GetParam().count);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("Illegal data address"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Reads, MbpollBeyondTables,
                         ::testing::Values(Beyond{"register_60", "4", 60, 1}, Beyond{"registers_59_and_60", "4", 59, 2},
                                           Beyond{"output_register_0x111", "4", 0x111, 1},
                                           Beyond{"coil_32", "0", 32, 1}, Beyond{"input_bit_0x110", "0", 0x110, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plx::testing
