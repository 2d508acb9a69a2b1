// plx24-sim as a process: its command line, and a real exchange over the pseudo-terminal it creates.

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "sim/faults.h"
#include "sim/frame.h"
#include "sim/options.h"

namespace plx::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;
using plx::testing::ChildProcess;
using plx::testing::run_command;

const std::string sim_exe = PLX24_SIM_EXE;

// ---- command line

TEST(SimCommandLine, DefaultsAreRtuAddressOne9600Even) {
    const auto p = parse_command_line({});
    ASSERT_TRUE(p.options);
    EXPECT_EQ(p.options->mode, modbus::Framing::rtu);
    EXPECT_EQ(p.options->address, 1);
    EXPECT_EQ(p.options->baud, 9600);
    EXPECT_EQ(p.options->parity, 'E');
    EXPECT_FALSE(p.options->device);
}

TEST(SimCommandLine, EveryOptionIsTaken) {
    const auto p = parse_command_line({"--device", "/dev/ttyS1", "--mode", "ascii", "--address", "247", "--baud",
                                       "115200", "--parity", "o", "--fault", "noise:0.5", "--fault", "slow@2",
                                       "--seed", "42", "--lrc", "standard", "--slow-ms", "300"});
    ASSERT_TRUE(p.options) << p.error;
    const SimOptions& o = *p.options;
    EXPECT_EQ(o.device, "/dev/ttyS1");
    EXPECT_EQ(o.mode, modbus::Framing::ascii);
    EXPECT_EQ(o.address, 247);
    EXPECT_EQ(o.baud, 115200);
    EXPECT_EQ(o.parity, 'O');
    ASSERT_EQ(o.faults.size(), 2u);
    EXPECT_EQ(o.faults[1].at_request, 2u);
    EXPECT_EQ(o.seed, 42u);
    EXPECT_EQ(o.lrc_form, LrcForm::standard);
    EXPECT_EQ(o.slow_delay, milliseconds(300));
}

TEST(SimCommandLine, SeveralUnitsWithTheirResponseTimesAndFaults) {
    const auto p = parse_command_line(
        {"--address", "1,5,17", "--response-ms", "20,20,400", "--fault", "5/no-answer", "--fault", "17/exception@2"});
    ASSERT_TRUE(p.options) << p.error;
    const SimOptions& o = *p.options;
    EXPECT_EQ(o.addresses, (std::vector<std::uint8_t>{1, 5, 17}));
    EXPECT_EQ(o.address, 1);
    EXPECT_EQ(o.response_times.at(2), milliseconds(400));
    ASSERT_EQ(o.unit_faults.size(), 2u);
    EXPECT_EQ(o.unit_faults[1].address, 17);
    EXPECT_EQ(o.unit_faults[1].rule.at_request, 2u);
    EXPECT_TRUE(o.faults.empty());
}

class SimCommandLineRefusal : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SimCommandLineRefusal, SaysWhy) {
    const auto p = parse_command_line(GetParam());
    EXPECT_FALSE(p.options);
    EXPECT_FALSE(p.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimCommandLineRefusal,
    ::testing::Values(std::vector<std::string>{"--address", "0"}, std::vector<std::string>{"--address", "248"},
                      std::vector<std::string>{"--address", "1x"}, std::vector<std::string>{"--baud", "9601"},
                      std::vector<std::string>{"--parity", "X"}, std::vector<std::string>{"--mode", "tcp"},
                      std::vector<std::string>{"--fault", "gremlins"}, std::vector<std::string>{"--fault"},
                      std::vector<std::string>{"--pty", "--device", "/dev/ttyS0"},
                      std::vector<std::string>{"--seed", "-1"}, std::vector<std::string>{"--frobnicate"},
                      std::vector<std::string>{"--address", "1,1"}, std::vector<std::string>{"--address", "1,,2"},
                      std::vector<std::string>{"--address", "1,2", "--response-ms", "20,30,40"},
                      std::vector<std::string>{"--response-ms", "3001"},
                      std::vector<std::string>{"--address", "1,2", "--fault", "3/no-answer"}));

TEST(SimExecutable, HelpNamesEveryOptionAndFaultKind) {
    const auto r = run_command({sim_exe, "--help"}, milliseconds(10'000));
    ASSERT_EQ(r.status, 0);
    for (const char* opt : {"--device", "--pty", "--mode", "--address", "--baud", "--parity", "--fault", "--seed"}) {
        EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
    }
    for (const auto& k : fault_kinds()) EXPECT_NE(r.out.find(std::string(k.name)), std::string::npos) << k.name;
}

TEST(SimExecutable, BadOptionExitsWithStatusTwoAndAReason) {
    const auto r = run_command({sim_exe, "--fault", "gremlins"}, milliseconds(10'000));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("gremlins"), std::string::npos);
}

TEST(SimExecutable, MissingDeviceIsReported) {
    const auto r = run_command({sim_exe, "--device", "/dev/plx24-no-such-line"}, milliseconds(10'000));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/plx24-no-such-line"), std::string::npos);
}

// ---- a master's view over the pty

class RawLine {
public:
    explicit RawLine(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return;
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
    }
    ~RawLine() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void send(const Bytes& b) { ASSERT_EQ(write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }
    // reads until `count` bytes have come or `limit` has passed
    Bytes receive(std::size_t count, milliseconds limit) {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            std::uint8_t buf[256];
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

private:
    int fd_ = -1;
};

struct RunningSim {
    explicit RunningSim(std::vector<std::string> extra) {
        std::vector<std::string> argv{sim_exe, "--pty", "--seed", "5"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        started = process.start(argv);
        if (started) path = process.read_line(milliseconds(10'000)).value_or("");
    }
    ChildProcess process;
    bool started = false;
    std::string path;
};

TEST(SimExecutable, AnswersRtuOverItsPtyAndStopsCleanlyOnSigterm) {
    RunningSim sim({});
    ASSERT_TRUE(sim.started);
    ASSERT_FALSE(sim.path.empty()) << sim.process.err();
    RawLine line(sim.path);
    ASSERT_TRUE(line.ok()) << sim.path;
    line.send(encode_rtu(modbus::adu_with_pdu(1, from_hex("0300210001").value())));
    EXPECT_EQ(line.receive(7, milliseconds(5000)), encode_rtu(modbus::adu_with_pdu(1, from_hex("03020014").value())));
    line.send(encode_rtu(modbus::adu_with_pdu(2, from_hex("0300210001").value())));
    line.send(encode_rtu(modbus::adu_with_pdu(1, from_hex("03003C0001").value())));
    EXPECT_EQ(line.receive(5, milliseconds(5000)), encode_rtu(modbus::adu_with_pdu(1, from_hex("8302").value())))
        << "address 2 is not answered, a register beyond the table is exception 02";
    EXPECT_EQ(sim.process.stop(), 0);
}

TEST(SimExecutable, AnswersAsciiWithTheToolsLrc) {
    RunningSim sim({"--mode", "ascii", "--address", "17"});
    ASSERT_FALSE(sim.path.empty()) << sim.process.err();
    RawLine line(sim.path);
    line.send(encode_ascii(modbus::adu_with_pdu(17, from_hex("0300210001").value()), LrcForm::hex_characters));
    const Bytes expected = encode_ascii(modbus::adu_with_pdu(17, from_hex("03020014").value()), LrcForm::hex_characters);
    EXPECT_EQ(line.receive(expected.size(), milliseconds(5000)), expected);
    EXPECT_EQ(sim.process.stop(), 0);
}

TEST(SimExecutable, RunFaultHitsTheNumberedRequest) {
    RunningSim sim({"--fault", "no-answer@1"});
    ASSERT_FALSE(sim.path.empty()) << sim.process.err();
    RawLine line(sim.path);
    const Bytes request = encode_rtu(modbus::adu_with_pdu(1, from_hex("0300210001").value()));
    line.send(request);
    EXPECT_TRUE(line.receive(7, milliseconds(300)).empty());
    line.send(request);
    EXPECT_EQ(line.receive(7, milliseconds(5000)).size(), 7u);
    EXPECT_EQ(sim.process.stop(), 0);
}

// ---- a device whose far end goes away

// CPU time (user + system) of a process in clock ticks
long cpu_ticks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    // fields 14 and 15 (utime, stime); the name in field 2 has no blanks here
    for (int i = 1; i < 14 && stat >> field; ++i) {
    }
    long utime = 0;
    long stime = 0;
    stat >> utime >> stime;
    return utime + stime;
}

TEST(SimExecutable, WaitsQuietlyForAClosedDeviceAndStillEndsOnSigterm) {
    if (!plx::testing::have_program("socat")) GTEST_SKIP() << "socat is not installed";
    const auto dir = std::filesystem::temp_directory_path() / ("plx24-sim-hup-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string unit_end = (dir / "unit").string();
    const std::string master_end = (dir / "master").string();
    auto socat = [&](ChildProcess& p) {
        return p.start({"socat", "-d", "-d", "pty,raw,echo=0,link=" + unit_end,
                        "pty,raw,echo=0,link=" + master_end}) &&
               p.wait_for_stderr("starting data transfer loop", milliseconds(10'000));
    };
    auto pair = std::make_unique<ChildProcess>();
    ASSERT_TRUE(socat(*pair));
    ChildProcess sim;
    ASSERT_TRUE(sim.start({sim_exe, "--device", unit_end}));
    ASSERT_TRUE(sim.wait_for_stderr("plx24-sim: unit ", milliseconds(10'000))) << sim.err();

    pair.reset();  // the far end closes
    ASSERT_TRUE(sim.wait_for_stderr("waiting for it to return", milliseconds(10'000))) << sim.err();
    const long before = cpu_ticks(sim.pid());
    std::this_thread::sleep_for(milliseconds(1000));
    EXPECT_LT(cpu_ticks(sim.pid()) - before, sysconf(_SC_CLK_TCK) / 4) << "it must wait, not spin";

    pair = std::make_unique<ChildProcess>();
    ASSERT_TRUE(socat(*pair));
    ASSERT_TRUE(sim.wait_for_stderr("is back", milliseconds(10'000))) << sim.err();
    RawLine line(master_end);
    line.send(encode_rtu(modbus::adu_with_pdu(1, from_hex("0300210001").value())));
    EXPECT_EQ(line.receive(7, milliseconds(5000)).size(), 7u) << "served again on the returned line";

    pair.reset();
    ASSERT_TRUE(sim.wait_for_stderr("waiting for it to return", milliseconds(10'000)));
    EXPECT_EQ(sim.stop(milliseconds(3000)), 0);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plx::sim
