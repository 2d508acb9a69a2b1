// The commissioning round on a site, with the real programs: plx24-sim serves five units on one
// pseudo-terminal, plx24ctl finds them, reads one out, writes its file to the other four and diffs.

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/text_lines.h"
#include "child_process.h"

namespace plx {
namespace {

using std::chrono::milliseconds;
using testing::ChildProcess;
using testing::run_command;
using test::split;

// settings of their own: German, "," and no port assignments of the machine's user
void use_own_settings(const QTemporaryDir& dir) {
    const std::string machine = dir.filePath(QStringLiteral("machine.ini")).toStdString();
    const std::string user = dir.filePath(QStringLiteral("user.ini")).toStdString();
    setenv("PLX24_MACHINE_SETTINGS", machine.c_str(), 1);
    setenv("PLX24_USER_SETTINGS", user.c_str(), 1);
}

TEST(Plx24ctl, FindsFiveUnitsCarriesOnesConfigurationToTheOthersAndDiffsClean) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    use_own_settings(dir);

    ChildProcess sim;
    ASSERT_TRUE(sim.start({PLX24_SIM_EXE, "--pty", "--address", "1,2,3,4,5", "--response-ms", "0"}));
    const std::string pty = sim.read_line(milliseconds(10'000)).value_or("");
    ASSERT_FALSE(pty.empty()) << sim.err();
    const auto ctl = [&](std::vector<std::string> args) {
        args.insert(args.begin(), PLX24CTL_EXE);
        args.insert(args.end(), {"--device", pty});
        return run_command(args, milliseconds(120'000));
    };

    // help needs no line; a usage error touches none
    const auto help = run_command({PLX24CTL_EXE, "write", "--help"}, milliseconds(10'000));
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("plx24ctl write FILE --device DEV --address LIST"), std::string::npos)
        << help.out;
    EXPECT_EQ(run_command({PLX24CTL_EXE, "write", "--device", pty}, milliseconds(10'000)).status, 2);

    const auto scan = ctl({"scan", "--address", "1-8"});
    EXPECT_EQ(scan.status, 0) << scan.err;
    EXPECT_NE(scan.out.find("5 Geräte gefunden (8 Abfragen"), std::string::npos) << scan.out;
    EXPECT_NE(scan.out.find("       2  9600 8E1 RTU          24       112  8 Tasten"), std::string::npos)
        << scan.out;

    const std::string file = dir.filePath(QStringLiteral("unit1.txt")).toStdString();
    const auto read = ctl({"read", "--address", "1", "-o", file});
    ASSERT_EQ(read.status, 0) << read.err;

    const auto write = ctl({"write", file, "--address", "2-5", "--language", "en"});
    EXPECT_EQ(write.status, 0) << write.out << write.err;
    EXPECT_NE(write.out.find("4 of 4 units written and verified."), std::string::npos) << write.out;

    for (const char* unit : {"2", "5"}) {
        const auto diff = ctl({"diff", file, "--address", unit});
        EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
        EXPECT_NE(diff.out.find("kein Unterschied"), std::string::npos) << diff.out;
    }
    EXPECT_EQ(sim.stop(), 0);
}

// The register and bit lines of a parameter file (its header carries the time of day).
std::string body_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string all = s.str();
    std::size_t at = 0;
    for (int line = 0; line < 14 && at != std::string::npos; ++line) at = all.find('\n', at + 1);
    return at == std::string::npos ? std::string{} : all.substr(at);
}

TEST(Plx24ctl, AUnitSlowOnEveryAnswerIsReadExactlyAndDiffsClean) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    use_own_settings(dir);
    const auto read_from = [&](std::vector<std::string> sim_args, const std::string& name) {
        ChildProcess sim;
        sim_args.insert(sim_args.begin(), {PLX24_SIM_EXE, "--pty"});
        EXPECT_TRUE(sim.start(sim_args));
        const std::string pty = sim.read_line(milliseconds(10'000)).value_or("");
        const std::string file = dir.filePath(QString::fromStdString(name)).toStdString();
        const auto read = run_command({PLX24CTL_EXE, "read", "--device", pty, "--address", "1", "-o", file},
                                      milliseconds(120'000));
        EXPECT_EQ(read.status, 0) << read.out << read.err;
        const auto diff = run_command({PLX24CTL_EXE, "diff", file, "--device", pty, "--address", "1"},
                                      milliseconds(120'000));
        EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
        EXPECT_EQ(sim.stop(), 0);
        return body_of(file);
    };
    const std::string clean = read_from({}, "clean.txt");
    ASSERT_FALSE(clean.empty());
    // each answer 900 ms late: after the time-out, before the longest a unit may take
    EXPECT_EQ(read_from({"--fault", "slow", "--slow-ms", "900"}, "slow.txt"), clean);
}

TEST(Plx24ctl, MonitorRecordsEveryPollToCsvAndTheSilentOneWithoutValues) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    use_own_settings(dir);

    // requests: 1 the input registers, 2 the response time, then the polls: the second poll is lost
    ChildProcess sim;
    ASSERT_TRUE(sim.start({PLX24_SIM_EXE, "--pty", "--response-ms", "0", "--fault", "no-answer@4"}));
    const std::string pty = sim.read_line(milliseconds(10'000)).value_or("");
    ASSERT_FALSE(pty.empty()) << sim.err();
    const std::string file = dir.filePath(QStringLiteral("monitor.csv")).toStdString();
    const auto monitor = [&](std::vector<std::string> args) {
        args.insert(args.begin(),
                    {PLX24CTL_EXE, "monitor", "--device", pty, "--address", "1", "--interval", "200"});
        return run_command(args, milliseconds(60'000));
    };

    const auto run = monitor({"--count", "4", "--csv", file});
    EXPECT_EQ(run.status, 0) << run.err;
    QFile csv(QString::fromStdString(file));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const std::string text = csv.readAll().toStdString();
    ASSERT_EQ(text.rfind("\xEF\xBB\xBFZeit (UTC", 0), 0u) << text;
    std::vector<std::string> lines = split(text, "\r\n");
    ASSERT_EQ(lines.back(), "") << "complete rows only";
    lines.pop_back();
    ASSERT_EQ(lines.size(), 5u) << text;
    const std::size_t columns = split(lines[0], ";").size();
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const auto f = split(lines[n], ";");
        ASSERT_EQ(f.size(), columns) << lines[n];
        // room temperature, then input register 20 (basic setpoint temperature 1, read at the start)
        if (n == 2) {
            EXPECT_EQ(f[2], "keine Antwort (Ausgaberegister 0..16 lesen)") << lines[n];
            EXPECT_EQ(f[5], "") << lines[n];
            EXPECT_EQ(f[columns - 6], "") << lines[n];
        } else {
            EXPECT_EQ(f[2], "") << lines[n];
            EXPECT_NE(f[5], "") << lines[n];
            EXPECT_EQ(f[columns - 6], "21") << lines[n];
        }
    }

    // standard output takes the same rows instead of the lines; a file that cannot be written is refused
    const auto out = monitor({"--count", "1", "--csv", "-", "--language", "en"});
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(out.out.rfind("Time (UTC", 0), 0u) << out.out;
    EXPECT_EQ(split(out.out, "\r\n").size(), 3u) << out.out;
    const std::string unwritable = dir.filePath(QStringLiteral("no/such.csv")).toStdString();
    const auto refused = monitor({"--count", "1", "--csv", unwritable});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("kann nicht zum Aufzeichnen geöffnet werden"), std::string::npos) << refused.err;
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
}  // namespace plx
