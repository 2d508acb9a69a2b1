// plx24cfg's command line: what each argument list does, and that the answers need no display.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "child_process.h"

namespace plx::app {
namespace {

using std::chrono::milliseconds;

struct Answer {
    std::vector<std::string> args;
    int status;
    std::string out;  // a part of standard output
    std::string err;  // a part of standard error
};

// the real program, started without any display, as on a server or in a package check
TEST(CommandLine, AnswersWithoutADisplay) {
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(v);
    const std::vector<Answer> table = {
        {{"--help"}, 0, "--port DEVICE", ""},
        {{"-h"}, 0, "--language de|en", ""},
        {{"--version"}, 0, "plx24cfg 1.5 (Qt ", ""},
        {{"--frobnicate"}, 2, "", "Unknown option 'frobnicate'"},
        {{"--language", "fr"}, 2, "", "--language takes de or en, not 'fr'"},
        {{"--port"}, 2, "", "Missing value after '--port'"},
        {{"--port", " "}, 2, "", "--port needs a device"},
        {{"stray.txt"}, 2, "", "unexpected argument 'stray.txt'"},
        {{"--baud", "1200"}, 2, "", "--baud takes 9600, 19200, 38400, 57600 or 115200, not '1200'"},
        {{"--parity", "X"}, 2, "", "--parity takes E, O or N (even, odd, none), not 'X'"},
        {{"--mode", "tcp"}, 2, "", "--mode takes rtu or ascii, not 'tcp'"},
        {{"--address", "248"}, 2, "", "--address takes 1 to 247, not '248'"},
    };
    for (const Answer& a : table) {
        std::vector<std::string> argv{PLX24CFG_EXE};
        argv.insert(argv.end(), a.args.begin(), a.args.end());
        const auto r = plx::testing::run_command(argv, milliseconds(20'000));
        const std::string what = a.args.front();
        EXPECT_EQ(r.status, a.status) << what << "\n" << r.err;
        EXPECT_NE(r.out.find(a.out), std::string::npos) << what << ": " << r.out;
        EXPECT_NE(r.err.find(a.err), std::string::npos) << what << ": " << r.err;
        if (a.status == 0) {
            EXPECT_TRUE(r.err.empty()) << what << ": " << r.err;
        }
    }
}

TEST(CommandLine, RunOptions) {
    struct Run {
        QStringList args;
        bool demo;
        std::string port;
        std::string language_code;
    };
    const std::vector<Run> table = {
        {{}, false, "", ""},
        {{QStringLiteral("--demo")}, true, "", ""},
        {{QStringLiteral("--port"), QStringLiteral("/dev/ttyACM0")}, false, "/dev/ttyACM0", ""},
        {{QStringLiteral("--port=/dev/serial/by-id/usb-x")}, false, "/dev/serial/by-id/usb-x", ""},
        {{QStringLiteral("--language"), QStringLiteral("EN")}, false, "", "1033"},
        {{QStringLiteral("--language=de"), QStringLiteral("--demo")}, true, "", "1031"},
        // Qt's own options are left for QApplication
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse")},
         false,
         "",
         ""},
    };
    for (const Run& r : table) {
        const CommandLine c = parse_command_line(QStringList{QStringLiteral("plx24cfg")} + r.args);
        const std::string what = r.args.join(u' ').toStdString();
        EXPECT_EQ(c.action, CommandLine::Action::run) << what << c.err;
        EXPECT_EQ(c.demo, r.demo) << what;
        EXPECT_EQ(c.port, r.port) << what;
        EXPECT_EQ(c.language_code, r.language_code) << what;
    }
}

TEST(CommandLine, LinkPanelForOneRun) {
    const CommandLine none = parse_command_line({QStringLiteral("plx24cfg")});
    EXPECT_FALSE(none.baud || none.parity || none.rtu || none.address || none.open);
    const CommandLine c = parse_command_line(
        {QStringLiteral("plx24cfg"), QStringLiteral("--baud=19200"), QStringLiteral("--parity"),
         QStringLiteral("none"), QStringLiteral("--mode"), QStringLiteral("RTU"), QStringLiteral("--address"),
         QStringLiteral("17"), QStringLiteral("--open")});
    ASSERT_EQ(c.action, CommandLine::Action::run) << c.err;
    EXPECT_EQ(c.baud, 19200);
    EXPECT_EQ(c.parity, 'N');
    EXPECT_EQ(c.rtu, true);
    EXPECT_EQ(c.address, 17);
    EXPECT_TRUE(c.open);
}

}  // namespace
}  // namespace plx::app
