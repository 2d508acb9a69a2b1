// The traffic window and the status bar's fields, offscreen: the menu entry opens the window, its
// table follows the recorder while shown, the buttons pause, clear, copy and save, the status bar
// shows the link and the counters.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "program/program.h"
#include "gui/frm_config_view.h"
#include "gui/traffic_view.h"
#include "link/fake_serial_port.h"
#include "modbus/frame.h"
#include "qt_test_app.h"

namespace plx::gui {
namespace {

// the program started on a fake port, with its window's view
class TrafficView : public ::testing::Test {
  protected:
    void SetUp() override {
        test::app();
        program.settings = std::make_unique<settings::MemoryStore>();
        view = std::make_unique<FrmConfigView>(program.form);
        program.start();
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    plx::test::RecordingMessages messages;
    plx::test::ScriptedFiles files;
    plx::test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    std::unique_ptr<FrmConfigView> view;

    LineParts parts() {
        return {program.state, *program.traffic, clock, files, messages, port, *program.link, program.remembered,
                *program.monitor_freshness, program.form.chk_read_out, program.form.Timer7};
    }
};

TEST_F(TrafficView, TheWindowFollowsTheRecorderAndTheStatusBarTheLink) {
    LineView line(*view, parts());
    EXPECT_EQ(line.link_label()->text(), QStringLiteral("COM3 → /dev/ttyUSB2: geschlossen"));

    program.form.Combo_Port[5].user_select(1);
    program.form.Combo_Port[6].user_select(1);
    line.traffic_action()->trigger();
    TrafficWindow* window = line.traffic_window();
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(window->model()->rowCount(), 1) << "the opening's request";
    EXPECT_EQ(
        window->model()->data(window->model()->index(0, traffic::column_meaning), Qt::DisplayRole).toString(),
        QStringLiteral("Konfigurationsregister 33 (minimale Antwortzeit des Geräts, ms) lesen"));

    // the unit answers; rows come in after the short delay that gathers a burst
    port.inject(modbus::rtu_frame("0103020032"));
    clock.advance(program.form.Timer4.interval());
    QTest::qWait(120);
    EXPECT_EQ(window->model()->rowCount(), 2) << "and the answer";
    line.refresh();
    EXPECT_TRUE(
        line.counters_label()->text().startsWith(QStringLiteral("Anfragen 1 · gültige Antworten 1 ·")))
        << line.counters_label()->text().toStdString();
    EXPECT_TRUE(line.link_label()->text().endsWith(QStringLiteral("115200,E,8,1 RTU: geöffnet")))
        << line.link_label()->text().toStdString();

    window->view()->selectRow(1);
    window->copy_selected();
    EXPECT_TRUE(
        QApplication::clipboard()->text().contains(QStringLiteral("\tRX\t01 03 02 00 32 39 91\t33=50\tok")))
        << QApplication::clipboard()->text().toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("traffic.txt"));
    files.answers.push_back(path.toStdString());
    window->save();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()).count(u'\n'), 3) << "the header and the two rows";

    window->findChild<QPushButton*>(QStringLiteral("traffic_pause"))->click();
    EXPECT_TRUE(program.traffic->paused());
    window->findChild<QPushButton*>(QStringLiteral("traffic_clear"))->click();
    QTest::qWait(120);
    EXPECT_EQ(window->model()->rowCount(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TrafficView, RowsReadAfterScrollingUpStayInPlaceWhenTheRingDropsItsOldest) {
    // a small ring, so that it fills quickly
    program.traffic = std::make_unique<traffic::Recorder>(60);
    LineView line(*view, parts());
    const auto send = [&](int n) {
        for (int i = 0; i < n; ++i) {
            clock.advance_ms(1000);
            program.traffic->frame_sent(modbus::SentFrame{clock.now(), modbus::rtu_frame("010300000001"), "010300000001"});
        }
    };
    send(60);
    line.traffic_action()->trigger();
    TrafficWindow* window = line.traffic_window();
    window->resize(700, 300);
    QApplication::processEvents();
    QTableView* table = window->view();
    const auto top_time = [&] {
        return table->model()->data(table->model()->index(table->rowAt(0), traffic::column_time)).toString();
    };
    table->verticalScrollBar()->setValue(30);
    const QString reading = top_time();
    send(10);
    QTest::qWait(120);
    EXPECT_EQ(window->model()->rowCount(), 60);
    EXPECT_EQ(top_time(), reading) << "the ten oldest rows went, the rows being read stayed";
    // at the bottom, the newest row is followed
    table->scrollToBottom();
    send(5);
    QTest::qWait(120);
    EXPECT_EQ(table->verticalScrollBar()->value(), table->verticalScrollBar()->maximum());
}

}  // namespace
}  // namespace plx::gui
