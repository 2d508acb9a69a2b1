// The window's recording on the composed program: each poll of the Monitor is a row of the file, a
// poll the unit leaves unanswered and one it refuses are rows without values, with what the line saw.
#include <string>
#include <vector>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../transfer/unit_rig.h"
#include "../support/null_platform.h"
#include "../support/text_lines.h"
#include "program/program.h"
#include "recording/monitor_recording.h"
#include "settings/store.h"

namespace plx {
namespace {

using test::split;

class WindowRecording : public ::testing::Test {
  protected:
    void SetUp() override {
        program.settings = std::make_unique<settings::MemoryStore>();
        program.start();
        unit.holding[0x102] = 215;
        program.form.Combo_Port[5].user_select(1);
        program.form.Combo_Port[6].user_select(1);
        run_ms(6000);
        ASSERT_FALSE(program.frm_state->loaded()) << "the read-out after opening has ended";
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) step();
    }
    void step() {
        transfer::testing::serve_unit(port, unit, clock.now().count());
        clock.advance_ms(5);
    }
    // until the next request reaches the unit
    void run_to_next_request() {
        const std::size_t before = unit.seen.size();
        while (unit.seen.size() == before) step();
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    transfer::testing::RecordingMessageBox messages;
    test::NoFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    transfer::testing::ScriptedUnit unit;
};

TEST_F(WindowRecording, EveryPollIsARowAndAPollWithoutAnswerHasNoValuesButItsReason) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("monitor.csv")).toStdString();
    recording::MonitorRecording rec(
        {*program.transactions, *program.traffic, clock, program.state, files, messages},
        [] { return QDateTime::currentDateTime(); });
    ASSERT_TRUE(rec.start(path));
    program.form.chk_read_out.user_toggle();
    run_ms(1000);
    unit.silent = true;
    run_to_next_request();
    run_to_next_request();
    unit.silent = false;
    run_ms(1000);
    unit.refuse = [](const std::string& r) { return r.substr(2, 2) == "03" ? 4 : 0; };
    run_ms(1000);
    rec.stop();

    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    ASSERT_EQ(text.rfind("\xEF\xBB\xBFZeit (UTC", 0), 0u) << text.substr(0, 80);
    std::vector<std::string> lines = split(text, "\r\n");
    ASSERT_EQ(lines.back(), "") << "every row ends with CR LF";
    lines.pop_back();
    std::vector<std::string> reasons;
    int valid = 0;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const auto f = split(lines[n], ";");
        ASSERT_EQ(f.size(), split(lines[0], ";").size()) << lines[n];
        if (f[2].empty()) {
            EXPECT_EQ(f[5], "21,5") << "room temperature as the Monitor shows it";
            ++valid;
        } else {
            EXPECT_EQ(f[5], "") << "never an old value again";
            reasons.push_back(f[2]);
        }
    }
    EXPECT_GE(valid, 4);
    ASSERT_EQ(reasons.size(), 3u) << text;
    EXPECT_EQ(reasons[0], "Kein Byte empfangen: Gerät aus, nicht angeschlossen, A/B vertauscht?");
    EXPECT_EQ(reasons[1], reasons[0]);
    EXPECT_EQ(reasons[2].rfind("Das Gerät lehnt die Anfrage ab: Ausnahme 04", 0), 0u) << reasons[2];
    EXPECT_EQ(rec.trend().gaps(0, INT64_MAX).size(), 2u) << "the silent polls and the refused one";
    EXPECT_EQ(rec.rows(), static_cast<long>(lines.size()) - 1);
}

}  // namespace
}  // namespace plx
