// The link panel and the window places kept in the user settings file: a start reads what the last
// run left, a change is written, and a file that cannot be read leaves the start-up defaults.

#include <optional>
#include <string>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "program/program.h"
#include "link/fake_serial_port.h"
#include "settings/store.h"

namespace plx::editor {
namespace {

struct Panel {
    std::string port, baud, parity, mode, address;
    bool operator==(const Panel&) const = default;
};

void PrintTo(const Panel& p, std::ostream* os) {
    *os << p.port << " " << p.baud << " " << p.parity << " " << p.mode << " " << p.address;
}

// One run of the program on the settings file at `path`.
struct Session {
    Session(const QString& path, bool entry_fixed) {
        program.settings =
            std::make_unique<settings::QSettingsStore>(settings::Location{}, settings::Location{path});
        program.startup_entry_fixed = entry_fixed;
        program.start();
    }
    Panel panel() const {
        const FrmConfig& f = program.form;
        return {f.Combo_Port[0].current_text(), f.Combo_Port[1].current_text(), f.cbParity.current_text(),
                f.Combo_Port[5].current_text(), f.txt_Modbus_adress.text()};
    }
    link::FakeSerialPort port;
    controls::VirtualClock clock;
    test::RecordingMessages messages;
    test::NoFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
};

const Panel kDefaults{"COM3", "115200", "Even", "ASCII", "1"};
const Panel kChosen{"COM7", "19200", "None", "RTU", "42"};
constexpr WindowRect kPlace{40, 30, 900, 600};

struct RememberCase {
    const char* name;
    std::optional<std::string> file;  // the settings file before the first run; nullopt: a folder there
    bool entry_fixed;                 // the first run on --port or --demo
    Panel first;                      // the panel after the first start
    std::optional<WindowRect> place;  // the main window's place as the first run reads it
    Panel second;                     // after the first run chose kChosen, at the next start
};

void PrintTo(const RememberCase& c, std::ostream* os) {
    *os << c.name;
}

class Remembered : public ::testing::TestWithParam<RememberCase> {};

TEST_P(Remembered, StartShowsWhatTheLastRunLeft) {
    const RememberCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("user.ini"));
    if (!c.file) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("user.ini")));
    } else if (!c.file->empty()) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.file->data(), static_cast<qint64>(c.file->size()));
    }
    {
        Session first(path, c.entry_fixed);
        EXPECT_EQ(first.panel(), c.first);
        EXPECT_EQ(first.program.remembered->place(Place::main_window), c.place);
        EXPECT_FALSE(first.port.port_open()) << "a start never opens the port";
        EXPECT_TRUE(first.messages.shown.empty());
        // the engineer's choices, as the panel takes them
        FrmConfig& f = first.program.form;
        f.cbParity.user_select(2);
        f.Combo_Port[0].user_select(6);
        f.Combo_Port[1].user_select(1);
        f.Combo_Port[5].user_select(1);
        f.txt_Modbus_adress.user_edit("42");
        first.program.remembered->remember(Place::main_window, kPlace);
        EXPECT_EQ(first.panel(), kChosen);
        EXPECT_EQ(first.program.state.parity_text, "N");
    }
    Session second(path, false);
    EXPECT_EQ(second.panel(), c.second);
    // the parity reached the line settings, though its list has no handler of its own
    EXPECT_EQ(second.program.state.parity_text, c.second.parity.substr(0, 1));
    EXPECT_EQ(second.program.remembered->place(Place::main_window),
              c.file ? std::optional(kPlace) : std::nullopt);
}

const std::string kLeft =
    "[Link]\nPort=COM5\nBaud=9600\nParity=Odd\nMode=RTU\nAddress=17\n[Windows]\nMain=\"10,20,800,600\"\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, Remembered, ::testing::Values(
    RememberCase{"NoFileYet", "", false, kDefaults, std::nullopt, kChosen},
    RememberCase{"LastRunsSettings", kLeft, false, {"COM5", "9600", "Odd", "RTU", "17"}, WindowRect{10, 20, 800, 600}, kChosen},
    RememberCase{"PortOptionKeepsTheEntryForTheNextRun", kLeft, true, {"COM3", "9600", "Odd", "RTU", "17"}, WindowRect{10, 20, 800, 600}, {"COM5", "19200", "None", "RTU", "42"}},
    RememberCase{"ValuesNoPanelHas", "[Link]\nPort=COM99\nBaud=12345\nParity=Maybe\nMode=TCP\nAddress=300\n[Windows]\nMain=1,2,x,4\n", false, kDefaults, std::nullopt, kChosen},
    RememberCase{"Garbage", std::string("\x00\xff[Link\n=\x01\x02", 12), false, kDefaults, std::nullopt, kChosen},
    RememberCase{"FolderInItsPlace", std::nullopt, false, kDefaults, std::nullopt, kDefaults}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(RememberedLink, SettingsChosenForOneRunStayOutOfTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("user.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kLeft.data(), static_cast<qint64>(kLeft.size()));
    }
    {
        Session first(path, true);
        // the command line's choice, then the engineer changes the address alone
        first.program.remembered->hold(true);
        first.program.link->choose({38400, 'N', modbus::Framing::ascii, 9, false});
        first.program.remembered->hold(false);
        EXPECT_EQ(first.panel(), (Panel{"COM3", "38400", "None", "ASCII", "9"}));
        first.program.form.txt_Modbus_adress.user_edit("42");
    }
    Session second(path, false);
    EXPECT_EQ(second.panel(), (Panel{"COM5", "9600", "Odd", "RTU", "42"}));
}

}  // namespace
}  // namespace plx::editor
