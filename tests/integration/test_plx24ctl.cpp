// The commissioning round on a site, with the real programs: plx24-sim serves five units on one
// pseudo-terminal, plx24ctl finds them, reads one out, writes its file to the other four and diffs.

#include <array>
#include <cstdlib>
#include <tuple>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/text_lines.h"
#include "child_process.h"
#include "sim/unit.h"

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

// Quick simulated units on one pty (or behind a gateway), settings of their own, and plx24ctl on
// their line.
struct Site : ::testing::Test {
    void start(const char* addresses, std::vector<std::string> where = {"--pty"}) {
        ASSERT_TRUE(dir.isValid());
        use_own_settings(dir);
        where.insert(where.begin(), PLX24_SIM_EXE);
        where.insert(where.end(), {"--address", addresses, "--response-ms", "0"});
        ASSERT_TRUE(sim.start(where));
        pty = sim.read_line(milliseconds(10'000)).value_or("");
        ASSERT_FALSE(pty.empty()) << sim.err();
    }
    testing::RunResult ctl(std::vector<std::string> args, const std::string& device = {}) {
        args.insert(args.begin(), PLX24CTL_EXE);
        args.insert(args.end(), {"--device", device.empty() ? pty : device});
        return run_command(args, milliseconds(120'000));
    }
    std::string in_dir(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir dir;
    ChildProcess sim;
    std::string pty;  // the line's device: a pty, or tcp://... for a gateway
};

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Through a gateway of either kind: one unit read out, its file written to the other and diffed
// clean; a gateway that closes a connection idle for a second is polled every 2.5 s without a failed
// poll, each poll on a new connection.
class GatewaySite : public Site, public ::testing::WithParamInterface<const char*> {};

TEST_P(GatewaySite, ReadsWritesDiffsAndPollsAcrossIdleCloses) {
    start("1,2", {"--tcp", "127.0.0.1:0", "--framing", GetParam(), "--close-idle", "1"});
    const std::string file = in_dir("unit1.txt");
    const auto read = ctl({"read", "--address", "1", "-o", file});
    ASSERT_EQ(read.status, 0) << read.out << read.err;
    const auto write = ctl({"write", file, "--address", "2", "--all-registers", "--language", "en"});
    EXPECT_EQ(write.status, 0) << write.out << write.err;
    EXPECT_NE(write.out.find("1 of 1 units written and verified."), std::string::npos) << write.out;
    const auto diff = ctl({"diff", file, "--address", "2"});
    EXPECT_EQ(diff.status, 0) << diff.out << diff.err;

    const auto poll = ctl({"monitor", "--address", "1", "--interval", "2500", "--count", "3", "--verbose",
                           "--language", "en"});
    EXPECT_EQ(poll.status, 0) << poll.err;
    EXPECT_EQ(occurrences(poll.out, "T="), 3u) << poll.out;
    EXPECT_EQ(occurrences(poll.err, "connected again to 127.0.0.1:"), 3u) << poll.err;
    EXPECT_EQ(sim.stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GatewaySite, ::testing::Values("mbap", "rtu"),
                         [](const auto& info) { return std::string(info.param); });

// A building on two lines, a serial one and a Modbus TCP gateway with units 1 and 2 on each: one plan
// commissions all four, the lines at once, with a summary per line and one record.
TEST_F(Site, CommissionsTwoLinesFromOnePlan) {
    start("1,2");
    ChildProcess gateway;
    ASSERT_TRUE(gateway.start({PLX24_SIM_EXE, "--tcp", "127.0.0.1:0", "--address", "1,2", "--response-ms", "0"}));
    const std::string gw = gateway.read_line(milliseconds(10'000)).value_or("");
    ASSERT_EQ(gw.rfind("tcp://", 0), 0u) << gateway.err();
    ASSERT_EQ(ctl({"read", "--address", "1", "-o", in_dir("base.txt")}).status, 0);
    std::ofstream(in_dir("plan.csv"), std::ios::binary)
        << "Adresse;Datei;Schnittstelle;Standortkennung\r\n1;base.txt;;101\r\n2;base.txt;;102\r\n"
        << "1;base.txt;" << gw << ";201\r\n2;base.txt;" << gw << ";202\r\n";

    const std::string records = in_dir("records");
    const auto run = ctl({"commission", in_dir("plan.csv"), "--all-registers", "--language", "en", "--record", records});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Unit 2 (" + gw + "): written and verified"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nDevice " + pty + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nDevice " + gw + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(occurrences(run.out, "2 of 2 units written and verified."), 2u) << run.out;
    EXPECT_NE(run.out.find("4 of 4 units written and verified."), std::string::npos) << run.out;

    // each unit holds its own room: the base file's location code is the only difference
    const auto diff = ctl({"diff", in_dir("base.txt"), "--address", "2", "--language", "en"}, gw);
    EXPECT_NE(diff.out.find(", unit 202\n"), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("1 differences"), std::string::npos) << diff.out;

    const QStringList made = QDir(QString::fromStdString(records)).entryList({QStringLiteral("*.json")}, QDir::Files);
    ASSERT_EQ(made.size(), 1);
    QFile json(QDir(QString::fromStdString(records)).filePath(made[0]));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonArray units = QJsonDocument::fromJson(json.readAll()).object()[QStringLiteral("units")].toArray();
    ASSERT_EQ(units.size(), 4);
    EXPECT_EQ(units[3].toObject()[QStringLiteral("device")].toString().toStdString(), gw);
    EXPECT_EQ(units[3].toObject()[QStringLiteral("location_code")].toInt(), 202);
    EXPECT_EQ(gateway.stop(), 0);
    EXPECT_EQ(sim.stop(), 0);
}

TEST_F(Site, FindsFiveUnitsCarriesOnesConfigurationToTheOthersAndDiffsClean) {
    start("1,2,3,4,5");

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

    const std::string file = in_dir("unit1.txt");
    const auto read = ctl({"read", "--address", "1", "-o", file});
    ASSERT_EQ(read.status, 0) << read.err;

    // the others are of other variants and have rooms of their own: all registers, as the file says
    const auto write = ctl({"write", file, "--address", "2-5", "--language", "en", "--all-registers"});
    EXPECT_EQ(write.status, 0) << write.out << write.err;
    EXPECT_NE(write.out.find("4 of 4 units written and verified."), std::string::npos) << write.out;

    for (const char* unit : {"2", "5"}) {
        const auto diff = ctl({"diff", file, "--address", unit});
        EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
        EXPECT_NE(diff.out.find("kein Unterschied"), std::string::npos) << diff.out;
    }
    EXPECT_EQ(sim.stop(), 0);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string body_of(const std::string& path);

// A parameter file's line replaced: register n is line 14 + n.
void replace_line(const std::string& path, int number, const std::string& text) {
    std::string bytes = slurp(path);
    std::size_t start = 0;
    for (int n = 1; n < number; ++n) start = bytes.find("\r\n", start) + 2;
    bytes.replace(start, bytes.find("\r\n", start) - start, text);
    std::ofstream(path, std::ios::binary) << bytes;
}

// A building on four simulated units: each keeps its own room and variant under a plain write, a plan
// gives three of them their rooms on top of a file per variant, the fourth stays as it was, and the
// record says so; a file the window would refuse touches no unit.
TEST_F(Site, CommissionsABuildingFromAPlanAndRecordsIt) {
    start("1,5,17,33");
    // a file per variant: unit 1 has 4 buttons, 5 has 8, 33 has 12; each with a brighter display
    for (const auto& [address, name] : {std::pair{"1", "4T.txt"}, {"5", "8T.txt"}, {"33", "12T.txt"}}) {
        ASSERT_EQ(ctl({"read", "--address", address, "-o", in_dir(name)}).status, 0);
        replace_line(in_dir(name), 19, "Register 5 ;x:;222");
    }
    const std::string unit1_before = body_of(in_dir("4T.txt"));

    const auto plain = ctl({"write", in_dir("4T.txt"), "--address", "5,17,33", "--language", "en"});
    EXPECT_EQ(plain.status, 1) << plain.err;
    EXPECT_NE(plain.out.find("Unit 5: skipped: it has 8 buttons, the file is for 4"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("Unit 17: written and verified; kept its own: location code 17, 4 buttons"),
              std::string::npos)
        << plain.out;
    EXPECT_NE(plain.out.find("1 of 3 units written and verified. 2 skipped."), std::string::npos) << plain.out;

    // a 50 K offset is refused in the window's words before any unit is touched
    std::ofstream(in_dir("hot.txt"), std::ios::binary) << slurp(in_dir("4T.txt"));
    replace_line(in_dir("hot.txt"), 49, "Register 35 ;Temperatur-Offset [K]:;50");
    const auto hot = ctl({"write", in_dir("hot.txt"), "--address", "17"});
    EXPECT_EQ(hot.status, 2);
    EXPECT_NE(hot.err.find("Zeile 49 (Register 35, Temperatur-Offset [K]): erlaubt sind -10 bis 10; \"50\" wird "
                           "nicht angenommen. Es wurde kein Gerät beschrieben."),
              std::string::npos)
        << hot.err;

    std::ofstream(in_dir("plan.csv"), std::ios::binary)
        << "Adresse;Datei;Standortkennung\r\n5;8T.txt;105\r\n17;4T.txt;117\r\n33;12T.txt;133\r\n";
    const std::string records = in_dir("records");
    const auto run = ctl({"commission", in_dir("plan.csv"), "--record", records});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("3 von 3 Geräten geschrieben und bestätigt."), std::string::npos) << run.out;

    // each unit holds its base file and its own row; unit 1 is as it was
    for (const auto& [address, name, room] :
         {std::tuple{"5", "8T.txt", "105"}, {"17", "4T.txt", "117"}, {"33", "12T.txt", "133"}}) {
        const auto diff = ctl({"diff", in_dir(name), "--address", address, "--language", "en"});
        EXPECT_EQ(diff.status, 1) << diff.out;
        EXPECT_NE(diff.out.find(std::string("Register 4 (Device location): file ")), std::string::npos) << diff.out;
        EXPECT_NE(diff.out.find(std::string(", unit ") + room + "\n"), std::string::npos) << diff.out;
        EXPECT_NE(diff.out.find("1 differences"), std::string::npos) << diff.out;
    }
    ASSERT_EQ(ctl({"read", "--address", "1", "-o", in_dir("unit1.txt")}).status, 0);
    EXPECT_NE(body_of(in_dir("unit1.txt")), unit1_before);  // the base file's brighter display is not unit 1's
    replace_line(in_dir("unit1.txt"), 19, "Register 5 ;x:;222");
    EXPECT_EQ(body_of(in_dir("unit1.txt")), unit1_before);

    // the record: a JSON file and a document
    const QStringList made = QDir(QString::fromStdString(records)).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(made.size(), 2) << made.join(QStringLiteral(" ")).toStdString();
    QFile json(QDir(QString::fromStdString(records)).filePath(made.filter(QStringLiteral(".json")).value(0)));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject record = QJsonDocument::fromJson(json.readAll()).object();
    const QJsonArray units = record[QStringLiteral("units")].toArray();
    ASSERT_EQ(units.size(), 3);
    for (int n = 0; n < 3; ++n) {
        const QJsonObject u = units[n].toObject();
        EXPECT_EQ(u[QStringLiteral("result")].toString(), QStringLiteral("verified"));
        constexpr std::array rooms{105, 117, 133};
        EXPECT_EQ(u[QStringLiteral("location_code")].toInt(), rooms[static_cast<std::size_t>(n)]);
        const QJsonArray values = u[QStringLiteral("values")].toArray();
        // values from register 3 on: the location code from the plan, the display from the file
        EXPECT_EQ(values[1].toObject()[QStringLiteral("source")].toString(), QStringLiteral("plan"));
        EXPECT_EQ(values[2].toObject()[QStringLiteral("written")].toString(), QStringLiteral("222"));
        EXPECT_EQ(values[2].toObject()[QStringLiteral("read_back")].toString(), QStringLiteral("222"));
    }
    EXPECT_EQ(record[QStringLiteral("summary")].toObject()[QStringLiteral("verified")].toInt(), 3);
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

// An independent Modbus TCP server: pymodbus serving a unit unlike the simulator's. plx24ctl reads
// it out over Modbus TCP; the file, diffed against a factory unit of the simulator, differs exactly
// where the server's unit does.
TEST(Plx24ctl, ReadsAPymodbusServerOverModbusTcp) {
    const char* const python = "/usr/bin/python3";
    if (!testing::have_program(python) ||
        run_command({python, "-c", "import pymodbus.server.async_io"}, milliseconds(20'000)).status != 0)
        GTEST_SKIP() << "pymodbus is not installed for " << python << " (Debian package python3-pymodbus)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    use_own_settings(dir);

    const sim::UnitTables factory = sim::factory_tables();
    sim::UnitTables image = factory;
    image.cfg_registers[3] = 1234;
    for (int k = 4; k <= 7; ++k) image.cfg_registers[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(11 * (k - 3));
    image.cfg_registers[33] = 30;
    for (int j = 0; j < 4; ++j) image.cfg_bits[static_cast<std::size_t>(j)] = !factory.cfg_bits[static_cast<std::size_t>(j)];
    std::size_t differ = 0;
    const std::string image_file = dir.filePath(QStringLiteral("unit.image")).toStdString();
    {
        std::ofstream out(image_file);
        for (std::size_t k = 0; k < image.cfg_registers.size(); ++k) {
            out << "hr " << k << ' ' << image.cfg_registers[k] << '\n';
            if (k >= 2 && image.cfg_registers[k] != factory.cfg_registers[k]) ++differ;
        }
        for (std::size_t j = 0; j < image.cfg_bits.size(); ++j) {
            out << "co " << j << ' ' << (image.cfg_bits[j] ? 1 : 0) << '\n';
            if (image.cfg_bits[j] != factory.cfg_bits[j]) ++differ;
        }
    }
    ChildProcess server;
    ASSERT_TRUE(server.start({python, PLX24_PYMODBUS_UNIT, "tcp", "1", image_file}));
    const std::string device = server.read_line(milliseconds(20'000)).value_or("");
    ASSERT_EQ(device.rfind("tcp://127.0.0.1:", 0), 0u) << server.err();

    const std::string file = dir.filePath(QStringLiteral("peer.txt")).toStdString();
    const auto read = run_command({PLX24CTL_EXE, "read", "--device", device, "--address", "1", "-o", file},
                                  milliseconds(60'000));
    ASSERT_EQ(read.status, 0) << read.out << read.err << "\npymodbus: " << server.err();

    ChildProcess sim;
    ASSERT_TRUE(sim.start({PLX24_SIM_EXE, "--pty", "--response-ms", "0"}));
    const std::string pty = sim.read_line(milliseconds(10'000)).value_or("");
    const auto diff = run_command({PLX24CTL_EXE, "diff", file, "--device", pty, "--address", "1", "--language", "en"},
                                  milliseconds(60'000));
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_NE(diff.out.find("Register 4 (Device location): file 1234, unit "), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find(std::to_string(differ) + " differences"), std::string::npos) << diff.out;
    EXPECT_EQ(sim.stop(), 0);
    server.stop();
}

}  // namespace
}  // namespace plx
