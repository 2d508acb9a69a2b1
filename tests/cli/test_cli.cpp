// plx24ctl's commands on simulated units and a virtual clock: what each reports and its exit status,
// a malformed parameter file refused before a byte goes out, and the parameter file of `read` byte for
// byte the window's.

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "program/program.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/texts_in_use.h"
#include "cli/wording.h"
#include "lang/texts.h"
#include "link/fake_serial_port.h"
#include "paramfile/parameter_file.h"
#include "settings/store.h"
#include "sim/bus.h"
#include "sim/simulated_bus_port.h"
#include "sim/simulated_serial_port.h"

namespace plx::cli {
namespace {

using std::chrono::milliseconds;
const paramfile::Stamp kStamp{"29.01.2015", "14:03:22"};

QString key(const char* name) {
    return QString::fromLatin1(name);
}

using Units = std::vector<sim::BusUnitSetup>;

std::unique_ptr<settings::MemoryStore> store_for(const char* language, const char* separator) {
    auto store = std::make_unique<settings::MemoryStore>();
    const QString key = QString::fromLatin1(settings::kProgramKey);
    store->put(settings::Root::machine, key, QStringLiteral("Language"), QString::fromLatin1(language));
    store->put(settings::Root::machine, key, QStringLiteral("Version"), QStringLiteral("1.5"));
    store->put(settings::Root::user, QString::fromLatin1(settings::kInternationalKey),
               QStringLiteral("sDecimal"), QString::fromLatin1(separator));
    return store;
}

std::string slurp(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

void put_file(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// plx24ctl on simulated units at 9600 8E1 RTU, in English unless told otherwise.
struct Cli {
    explicit Cli(std::vector<sim::BusUnitSetup> units,
                 const char* language = "1033",
                 const char* separator = ".")
        : bus(units, sim::SlaveSettings{}),
          port(bus, {9600, 'E', modbus::Framing::rtu}, [this] { return loop.now(); }),
          store(store_for(language, separator)) {}
    int run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        const Parsed p = parse_command_line(args);
        if (!p.options) {
            err << p.error;
            return kExitUsage;
        }
        Environment env{port, loop, *store, out, err, false, [] { return kStamp; }, [] { return false; }, {}, "1.5", {}, {}};
        return cli::run(*p.options, env);
    }
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    VirtualLoop loop;
    sim::SimulatedBus bus;
    sim::SimulatedBusPort port;
    std::unique_ptr<settings::MemoryStore> store;
    std::ostringstream out, err;
    QTemporaryDir dir;
};

struct Refusal {
    std::vector<std::string> args;
    const char* says;
};

class CommandLineRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(CommandLineRefusal, SaysWhyAndTouchesNothing) {
    const Parsed p = parse_command_line(GetParam().args);
    EXPECT_FALSE(p.options);
    EXPECT_NE(p.error.find(GetParam().says), std::string::npos) << p.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases,
    CommandLineRefusal,
    ::testing::Values(
        Refusal{{}, "which command"},
        Refusal{{"frob"}, "unknown command"},
        Refusal{{"scan"}, "needs --device"},
        Refusal{{"scan", "--device", "d", "--address", "0-3"}, "1..247"},
        Refusal{{"scan", "--device", "d", "--baud", "4800"}, "9600 19200"},
        Refusal{{"read", "--device", "d", "--address", "1-2", "-o", "f"}, "one --address"},
        Refusal{{"read", "--device", "d", "--address", "1"}, "-o FILE"},
        Refusal{{"write", "--device", "d", "--address", "1"}, "needs the parameter file"},
        Refusal{{"diff", "f", "--device", "d", "--address", "1", "--mode", "rtu,ascii"}, "one line"},
        Refusal{{"monitor", "--device", "d", "--address", "1", "--interval", "0"}, "milliseconds"},
        Refusal{{"monitor", "--device", "d", "--address", "1", "--duration", "5x"}, "90s, 5m, 2h; not '5x'"},
        Refusal{{"monitor", "--device", "d", "--address", "1", "--csv", "-", "--json"}, "both write standard output"},
        Refusal{{"read", "--device", "d", "--address", "1", "-o", "f", "--csv", "g"}, "--csv belongs to monitor"}));

TEST(Commands, ScanListsTheUnitsAndSaysWhenThereIsNone) {
    Cli cli(Units{{3, {}}, {7, {}}});
    EXPECT_EQ(cli.run({"scan", "--device", "bus", "--address", "1-8", "--json"}), kExitOk) << cli.err.str();
    const QJsonArray units =
        QJsonDocument::fromJson(QByteArray::fromStdString(cli.out.str()))[key("units")].toArray();
    ASSERT_EQ(units.size(), 2);
    EXPECT_EQ(units[1].toObject()[key("address")].toInt(), 7);
    EXPECT_EQ(units[1].toObject()[key("buttons")].toInt(), 8);
    EXPECT_EQ(units[1].toObject()[key("mode")].toString(), QStringLiteral("RTU"));
    EXPECT_EQ(cli.run({"scan", "--device", "bus", "--address", "100-102"}), kExitUnitsFailed);
    EXPECT_NE(cli.out.str().find("No unit answered (3 probes"), std::string::npos) << cli.out.str();
}

TEST(Commands, ReadThenDiffOfTheSameUnitShowsNoDifferenceAndAChangeShowsWithItsCaption) {
    Cli cli(Units{{4, {}}});
    const std::string file = cli.path("unit4.txt");
    ASSERT_EQ(cli.run({"read", "--device", "bus", "--address", "4", "-o", file}), kExitOk) << cli.err.str();
    EXPECT_EQ(cli.run({"diff", file, "--device", "bus", "--address", "4"}), kExitOk) << cli.err.str();
    EXPECT_NE(cli.out.str().find("no difference"), std::string::npos) << cli.out.str();

    cli.bus.unit(0).tables().cfg_registers[34] = 5;  // temperature offset 0.5 K
    EXPECT_EQ(cli.run({"diff", file, "--device", "bus", "--address", "4"}), kExitUnitsFailed);
    EXPECT_NE(cli.out.str().find("Register 35 (" + TextsInUse(*cli.store).register_name(34) +
                                 "): file 0, unit 0.5"),
              std::string::npos)
        << cli.out.str();
}

// A write to three units, one of them silent and one answering exception 04 to its first block.
struct ThreeUnits : Cli {
    ThreeUnits() : Cli(Units{{1, {}}, {2, {}}, {3, {}}}) {
        bus.slave_at(2)->faults().add({sim::FaultKind::no_answer, 1.0, std::nullopt});
        bus.slave_at(3)->faults().add({sim::FaultKind::exception, 1.0, 3});
        file = path("unit1.txt");
        bus.unit(0).tables().cfg_registers[4] = 77;
        EXPECT_EQ(run({"read", "--device", "bus", "--address", "1", "-o", file}), kExitOk);
        bus.unit(0).tables().cfg_registers[4] = 40;
    }
    std::string file;
};

TEST(Commands, WriteReportsEachUnitAsItFaredAndFailsWithStatusOne) {
    ThreeUnits cli;
    EXPECT_EQ(cli.run({"write", cli.file, "--device", "bus", "--address", "1-3"}), kExitUnitsFailed);
    EXPECT_EQ(cli.out.str(),
              "Unit 1: written and verified; kept its own: location code 1, 4 buttons\n"
              "Unit 2: no answer (read configuration register 33 (minimum response time of the unit, ms))\n"
              "Unit 3: exception 04 (slave device failure) on write configuration registers 0..9\n"
              "1 of 3 units written and verified.\n");
    EXPECT_EQ(cli.bus.unit(0).tables().cfg_registers[4], 77);
    EXPECT_EQ(cli.bus.unit(2).tables().cfg_registers[4], 40);
}

// A gateway's refusal says what to look at; a unit's own refusal needs no advice.
TEST(Commands, AGatewaysExceptionComesWithItsAdvice) {
    const struct {
        int code;
        const char* language;
        const char* ends_with;
    } rows[] = {
        {0x0B, lang::kEnglish, ". The unit behind the gateway did not answer: check the address and the line settings of the gateway's serial side."},
        {0x0A, lang::kGerman, ". Das Gateway hat keinen Weg zum Gerät: Gateway-Konfiguration (Unit-ID, serielle Schnittstelle) prüfen."},
        {0x04, lang::kEnglish, "on read configuration register 33 (minimum response time of the unit, ms)"},
    };
    for (const auto& r : rows) {
        bus::Failure f;
        f.at = device::StepRef{device::Step::read_response_time, 0};
        f.verdict = modbus::Verdict::exception;
        f.exception_code = r.code;
        const std::string words = failure_words(f, r.language);
        EXPECT_TRUE(words.ends_with(r.ends_with)) << words;
    }
}

TEST(Commands, WriteSaysTheSameInJson) {
    ThreeUnits cli;
    EXPECT_EQ(cli.run({"write", cli.file, "--device", "bus", "--address", "1-3", "--json"}),
              kExitUnitsFailed);
    const QJsonObject r = QJsonDocument::fromJson(QByteArray::fromStdString(cli.out.str())).object();
    const QJsonArray units = r[key("units")].toArray();
    ASSERT_EQ(units.size(), 3);
    EXPECT_EQ(units[0].toObject()[key("result")].toString(), QStringLiteral("verified"));
    EXPECT_EQ(units[1].toObject()[key("result")].toString(), QStringLiteral("no_answer"));
    EXPECT_EQ(units[2].toObject()[key("result")].toString(), QStringLiteral("exception"));
    EXPECT_EQ(units[2].toObject()[key("exception_code")].toInt(), 4);
    EXPECT_EQ(r[key("verified")].toInt(), 1);
}

// Each unit keeps its location code and buttons; a unit of another variant is left alone unless all
// registers are asked for, and then its buttons change with a note.
TEST(Commands, WriteKeepsWhatIsEachUnitsOwn) {
    Cli cli(Units{{1, {}}, {2, {}}, {3, {}}});
    const std::string file = cli.path("unit1.txt");
    cli.bus.unit(0).tables().cfg_registers[4] = 77;
    ASSERT_EQ(cli.run({"read", "--device", "bus", "--address", "1", "-o", file}), kExitOk);
    EXPECT_EQ(cli.run({"write", file, "--device", "bus", "--address", "2,3"}), kExitUnitsFailed);
    EXPECT_EQ(cli.out.str(),
              "Unit 2: skipped: it has 8 buttons, the file is for 4 (--all-registers writes it anyway)\n"
              "Unit 3: written and verified; kept its own: location code 3, 4 buttons\n"
              "1 of 2 units written and verified. 1 skipped.\n");
    EXPECT_EQ(cli.bus.unit(1).tables().cfg_registers[4], 40);
    EXPECT_EQ(cli.bus.unit(2).tables().cfg_registers[4], 77);
    EXPECT_EQ(cli.bus.unit(2).tables().cfg_registers[3], 3);

    EXPECT_EQ(cli.run({"write", file, "--device", "bus", "--address", "2", "--all-registers"}), kExitOk);
    EXPECT_EQ(cli.out.str(),
              "Unit 2: had 8 buttons, the file sets 4\n"
              "Unit 2: written and verified\n"
              "1 of 1 units written and verified.\n");
    EXPECT_EQ(cli.bus.unit(1).tables().cfg_registers[3], 1);
}

struct Malformed {
    const char* name;
    int line;              // the line replaced (0: none)
    const char* replaced;  // by this text
    std::size_t keep;      // bytes kept of the file (0: all)
    const char* says;
};

class MalformedFile : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedFile, IsRefusedBeforeAnyByteIsSent) {
    const Malformed& m = GetParam();
    Cli cli(Units{{1, {}}});
    const std::string good = cli.path("good.txt");
    ASSERT_EQ(cli.run({"read", "--device", "bus", "--address", "1", "-o", good}), kExitOk);
    std::string bytes = slurp(good);
    if (m.line > 0) {
        std::size_t start = 0;
        for (int n = 1; n < m.line; ++n) start = bytes.find("\r\n", start) + 2;
        bytes.replace(start, bytes.find("\r\n", start) - start, m.replaced);
    }
    if (m.keep > 0) bytes.resize(m.keep);
    const bool missing = std::string(m.name) == "Missing";
    const std::string bad = cli.path(missing ? "absent.txt" : "bad.txt");
    if (!missing) put_file(bad, bytes);
    const std::size_t written_before = cli.port.written().size();
    const bool was_open = cli.port.port_open();

    for (const char* command : {"write", "diff"}) {
        EXPECT_EQ(cli.run({command, bad, "--device", "bus", "--address", "1"}), kExitUsage) << command;
        EXPECT_NE(cli.err.str().find(m.says), std::string::npos) << cli.err.str();
        EXPECT_EQ(cli.port.written().size(), written_before) << command;
        EXPECT_EQ(cli.port.port_open(), was_open) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files,
    MalformedFile,
    ::testing::Values(Malformed{"BinaryByte", 20, "Register 6 ;x:;4\x01", 0, "binary"},
                      Malformed{"EndsEarly", 0, "", 3000, "ends after line"},
                      Malformed{"BitSeven", 80, "Configuration bit 6 ;x:; 7 ", 0, "line 80"},
                      Malformed{"NoValueField", 30, "Register 16 no separators", 0, "line 30"},
                      Malformed{"NotANumber", 40, "Register 26 ;x:;abc", 0, "\"abc\" cannot be sent"},
                      Malformed{"BothSeparators", 50, "Register 36 ;x:;2,5.1", 0, "decimal separator \".\""},
                      Malformed{"AnotherList", 15, "Artikel 1;Menge;1", 0, "not a parameter file (line 15"},
                      // the window's rules: its range and decimals, the values of its list
                      Malformed{"OffsetBeyondItsRange", 49, "Register 35 ;x:;50", 0,
                                "line 49 (Register 35, Temperature-Offset): allowed are -10 to 10; \"50\" is not taken. No unit was written."},
                      Malformed{"TenthsWithTwoDecimals", 50, "Register 36 ;x:;0.25", 0, "line 50 (Register 36, Upper adjustment range): at most one decimal place"},
                      Malformed{"PercentBeyondItsRange", 61, "Register 47 ;x:;150", 0, "allowed are 0 to 100; \"150\""},
                      Malformed{"UnsignedBelowZero", 18, "Register 4 ;x:;-1", 0, "allowed are 0 to 65535"},
                      Malformed{"WholeNumberWithDecimal", 66, "Register 52 ;x:;1.5", 0, "whole numbers only"},
                      Malformed{"FanStagesBeyondTheList", 74, "Register 60 ;x:;40000", 0, "allowed are 1 to 3"},
                      Malformed{"ButtonsNotAVariant", 17, "Register 3 ;x:;6", 0, "allowed are 2, 4, 8, 12"},
                      Malformed{"Missing", 0, "", 0, "could not be read"}),
    [](const auto& info) { return std::string(info.param.name); });

// A plan on two units (a 4-button one at 5, an 8-button one at 17) and the files read from them.
struct PlanCase {
    const char* name;
    std::string plan;
    int exit;
    const char* says;                           // on standard error for a refused plan
    std::vector<std::array<int, 3>> holds = {};  // unit, register, word after the run
};
void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.name; }

class Plans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(Plans, AreCheckedWholeBeforeAnyUnitIsTouched) {
    const PlanCase& c = GetParam();
    Cli cli(Units{{5, {}}, {17, {}}});
    ASSERT_EQ(cli.run({"read", "--device", "bus", "--address", "5", "-o", cli.path("base.txt")}), kExitOk);
    ASSERT_EQ(cli.run({"read", "--device", "bus", "--address", "17", "-o", cli.path("base8.txt")}), kExitOk);
    put_file(cli.path("plan.csv"), c.plan);
    const std::size_t written_before = cli.port.written().size();

    EXPECT_EQ(cli.run({"commission", cli.path("plan.csv"), "--device", "bus"}), c.exit) << cli.out.str() << cli.err.str();
    if (c.exit == kExitUsage) {
        EXPECT_NE(cli.err.str().find(c.says), std::string::npos) << cli.err.str();
        EXPECT_NE(cli.err.str().find("No unit was written."), std::string::npos) << cli.err.str();
        EXPECT_EQ(cli.port.written().size(), written_before);
    }
    for (const auto& [unit, k, word] : c.holds) {
        EXPECT_EQ(cli.bus.unit(static_cast<std::size_t>(unit)).tables().cfg_registers[static_cast<std::size_t>(k)], word)
            << "unit " << unit << " register " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases,
    Plans,
    ::testing::Values(
        PlanCase{"GermanCaptionsSemicolons",
                 "Adresse;Datei;Standortkennung;Temperatur-Offset [K]\r\n5;base.txt;105;1,5\r\n17;base8.txt;117;\r\n;;;\r\n",
                 kExitOk, "", {{0, 3, 105}, {0, 34, 15}, {1, 3, 117}, {1, 34, 0}, {1, 2, 8}}},
        PlanCase{"EnglishCommasQuotesAndBits",
                 "address,file,Register 35,Configuration bit 25,Device location\n17,\"base8.txt\",\"1,5\",1,42\n",
                 kExitOk, "", {{1, 34, 15}, {1, 3, 42}, {0, 3, 5}}},
        PlanCase{"Windows1252", "Adresse;Datei;Parit\xE4t;Register 5\n5;base.txt;E;99\n", kExitOk, "", {{0, 4, 99}}},
        PlanCase{"UnknownColumn", "Adresse;Datei;Farbe\n5;base.txt;rot\n", kExitUsage,
                 "row 1, column \"Farbe\" (C): unknown column"},
        PlanCase{"AmbiguousCaption", "Adresse;Datei;Auflösung\n5;base.txt;1\n", kExitUsage,
                 "several fields carry this caption (Register 38, Register 42, Register 54, Register 58)"},
        PlanCase{"NeverWritten", "Adresse;Datei;Register 1\n5;base.txt;1\n", kExitUsage,
                 "column \"Register 1\" (C): Register 1 identifies the unit"},
        PlanCase{"SameFieldTwice", "Adresse;Datei;Register 4;Standortkennung\n5;base.txt;1;2\n", kExitUsage,
                 "column \"Standortkennung\" (D): the same field as column \"Register 4\""},
        PlanCase{"NoFileColumn", "Adresse;Standortkennung\n5;1\n", kExitUsage, "the first row names the columns"},
        PlanCase{"ValueBeyondItsRange", "Adresse;Datei;Standortkennung\n5;base.txt;1\n17;base8.txt;70000\n", kExitUsage,
                 "row 3, column \"Standortkennung\" (C): allowed are 0 to 65535; \"70000\" is not taken"},
        PlanCase{"TooManyDecimals", "address;file;Register 35\n5;base.txt;0.25\n", kExitUsage,
                 "row 2, column \"Register 35\" (C): at most one decimal place"},
        PlanCase{"BitNotZeroOrOne", "Adresse;Datei;Konfigurationsbit 25\n5;base.txt;2\n", kExitUsage,
                 "row 2, column \"Konfigurationsbit 25\" (C): a configuration bit is 0 or 1"},
        PlanCase{"AddressTwice", "Adresse;Datei\n5;base.txt\n5;base.txt\n", kExitUsage,
                 "row 3, column \"Adresse\" (A): address 5 is already in row 2"},
        PlanCase{"NoAddress", "Adresse;Datei\n300;base.txt\n", kExitUsage, "\"300\" is no address from 1 to 247"},
        PlanCase{"MissingFile", "Adresse;Datei\n5;absent.txt\n", kExitUsage, "row 2, column \"Datei\" (B): "},
        PlanCase{"FileTheWindowRefuses", "Adresse;Datei\n5;plan.csv\n", kExitUsage, "row 2, column \"Datei\" (B): "},
        PlanCase{"NoDevice", "Adresse;Datei;Schnittstelle\n5;base.txt;tcp://\n", kExitUsage,
                 "row 2, column \"Schnittstelle\" (C): \"tcp://\" is no device"},
        PlanCase{"ModeAGatewaySetsItself", "Adresse;Datei;Schnittstelle;Modus\n5;base.txt;tcp://gw;RTU\n", kExitUsage,
                 "row 2, column \"Modus\" (D): the gateway tcp://gw sets the framing itself"},
        PlanCase{"SameUnitNamedTwoWays", "Adresse;Datei;Schnittstelle\n5;base.txt;\n5;base.txt;bus\n", kExitUsage,
                 "row 3, column \"Adresse\" (A): address 5 is already in row 2"},
        PlanCase{"BadParity", "Adresse;Datei;Parität\n5;base.txt;X\n", kExitUsage, "\"X\" is no parity"},
        PlanCase{"QuoteNeverClosed", "Adresse;Datei\n5;\"base.txt\n", kExitUsage, "row 2: a quotation mark is never closed"},
        PlanCase{"FieldsBeyondTheColumns", "Adresse;Datei\n5;base.txt;7\n", kExitUsage, "row 2: more fields"},
        PlanCase{"NoUnit", "Adresse;Datei\n", kExitUsage, "holds no row with a unit"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Commands, MonitorPrintsOneDecodedLinePerPoll) {
    Cli cli(Units{{9, {}}});
    EXPECT_EQ(cli.run({"monitor", "--device", "bus", "--address", "9", "--interval", "500", "--count", "3"}),
              kExitOk);
    const std::string out = cli.out.str();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << out;
    EXPECT_NE(out.find("T1=0/21 "), std::string::npos) << out;
}

TEST(Loop, WakesOnASilentLineOnlyForTheTimersDue) {
    // a simulated minute of polls that nobody answers: the loop wakes to send each poll, at its
    // time-out and at the end of its wait for a late answer, never to look for bytes
    link::FakeSerialPort port;
    port.tell_arrival = true;
    VirtualLoop loop;
    auto store = store_for("1033", ".");
    std::ostringstream out, err;
    const Parsed p =
        parse_command_line({"monitor", "--device", "line", "--address", "3", "--interval", "1000", "--duration", "60s"});
    ASSERT_TRUE(p.options) << p.error;
    Environment env{port, loop, *store, out, err, false, [] { return kStamp; }, [] { return false; }, {}, "1.5", {}, {}};
    EXPECT_EQ(cli::run(*p.options, env), kExitUnitsFailed);
    const std::string lines = out.str();
    const auto polls = static_cast<std::uint64_t>(std::count(lines.begin(), lines.end(), '\n'));
    EXPECT_GE(polls, 10u) << lines;
    EXPECT_LE(loop.ticks(), 3 * polls + 3) << polls << " polls";
}

// The file of `read` is the window's "&Parameter speichern" after reading the same unit out.
class SameFileAsTheWindow : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(SameFileAsTheWindow, ByteForByte) {
    const auto [language, separator] = GetParam();
    controls::VirtualClock clock;
    sim::SimulatedSerialPort demo{[&clock] { return clock.now(); }};
    test::RecordingMessages messages;
    test::NoFiles files;
    test::NoShell shell;
    Program window{Platform{demo, clock, messages, files, shell}};
    window.settings = store_for(language, separator);
    window.state.demo = true;
    window.start();
    window.form.Combo_Port[1].user_select(0);
    window.form.Combo_Port[5].user_select(1);
    window.form.Combo_Port[6].user_select(1);
    clock.advance(milliseconds(30'000));
    const paramfile::Written from_window = paramfile::write(window.parameter_files->contents(kStamp, "1.5"));
    ASSERT_TRUE(from_window.ok());

    // the demo unit and the first unit of a simulated bus at address 1 leave the same factory
    Cli cli(Units{{1, {}}}, language, separator);
    const std::string file = cli.path("unit.txt");
    ASSERT_EQ(cli.run({"read", "--device", "bus", "--address", "1", "-o", file}), kExitOk) << cli.err.str();
    EXPECT_EQ(slurp(file), from_window.bytes);
}

INSTANTIATE_TEST_SUITE_P(Languages,
                         SameFileAsTheWindow,
                         ::testing::Values(std::pair{"1031", ","}, std::pair{"1033", "."}));

}  // namespace
}  // namespace plx::cli
