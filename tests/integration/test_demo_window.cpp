// The real Qt window (offscreen) in demo mode: choosing "open" reads the simulated unit into the
// widgets of every tab, and the poll box makes the Monitor tab live. Real Qt timers run here, so
// the test waits on the event loop, bounded, and asserts only what has arrived.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "program/program.h"
#include "gui/frm_config_view.h"
#include "gui/qt_timer_engine.h"
#include "settings/store.h"
#include "sim/simulated_serial_port.h"

#include "../support/null_platform.h"

namespace plx {
namespace {

namespace regmap = device::regmap;

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_e2e_window";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *instance;
}

using QuietMessages = test::RecordingMessages;
using test::NoFiles;
using test::NoShell;
using test::shown;


class DemoWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        clock.start();
        timers = std::make_unique<gui::QtTimerEngine>();
        port = std::make_unique<sim::SimulatedSerialPort>([this] { return std::chrono::milliseconds(clock.elapsed()); });
        program = std::make_unique<Program>(Platform{*port, *timers, messages, files, shell});
        program->settings = std::make_unique<settings::MemoryStore>();
        program->state.demo = true;
        view = std::make_unique<gui::FrmConfigView>(program->form);
        program->start();
        view->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        view.reset();
        program.reset();
    }

    template <class W = QWidget>
    W* widget(const std::string& name) {
        return view->findChild<W*>(QString::fromStdString(name));
    }
    std::string text_of(const std::string& name) {
        auto* e = widget<QLineEdit>(name);
        return e ? e->text().toStdString() : "<no widget " + name + ">";
    }
    // Runs the event loop until `done` holds or `limit_ms` of real time have passed.
    bool wait_until(const std::function<bool()>& done, int limit_ms = 30'000) {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (waited.elapsed() > limit_ms) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    void choose(const std::string& combo, int entry) {
        auto* c = widget<QComboBox>(combo);
        ASSERT_NE(c, nullptr) << combo;
        c->setCurrentIndex(entry);
        emit c->activated(entry);
    }
    const sim::UnitTables& unit() { return port->unit().tables(); }

    // Every field a read-out fills, as its widget shows it, against what the unit holds.
    std::vector<std::string> field_mismatches() {
        std::vector<std::string> out;
        const std::string& sep = program->state.decimal_separator;
        auto text_field = [&](const std::string& name, const std::string& expected, bool widget_text) {
            const std::string got = widget_text ? text_of(name) : expected;
            if (got != expected) out.push_back(name + " shows '" + got + "', the unit holds '" + expected + "'");
        };
        for (int k = 0; k < regmap::cfg_register_group.count; ++k) {
            const std::string expected =
                shown(unit().cfg_registers[static_cast<std::size_t>(k)], regmap::is_tenths_cfg(k), sep,
                      regmap::cfg_registers[static_cast<std::size_t>(k)].sign == regmap::Sign::unsigned16);
            // the holders behind lists and the identity labels are checked on the control
            const bool visible_field = !regmap::has_cfg_combo(k) && k >= 3;
            if (!visible_field && program->form.txt_data_cfg[k].text() != expected) {
                out.push_back("txt_data_cfg " + std::to_string(k) + " holds '" + program->form.txt_data_cfg[k].text() +
                              "', the unit '" + expected + "'");
            }
            if (visible_field) text_field("txt_data_cfg(" + std::to_string(k) + ")", expected, true);
        }
        for (int j = 0; j < regmap::cfg_bit_group.count; ++j) {
            auto* b = widget<QCheckBox>("chk_cfg(" + std::to_string(j) + ")");
            if (!b || b->isChecked() != unit().cfg_bits[static_cast<std::size_t>(j)]) {
                out.push_back("chk_cfg(" + std::to_string(j) + ")");
            }
        }
        for (int j = 0; j < regmap::input_bit_group.count; ++j) {
            auto* b = widget<QCheckBox>("chk_input(" + std::to_string(j) + ")");
            if (!b || b->isChecked() != unit().input_bits[static_cast<std::size_t>(j)]) {
                out.push_back("chk_input(" + std::to_string(j) + ")");
            }
        }
        for (int k = regmap::input_register_group.read_first; k <= regmap::input_register_last_shown; ++k) {
            text_field("txt_data_in(" + std::to_string(k) + ")",
                       shown(unit().input_registers[static_cast<std::size_t>(k)], regmap::is_tenths_in(k), sep), true);
        }
        return out;
    }

    QElapsedTimer clock;
    std::unique_ptr<gui::QtTimerEngine> timers;
    std::unique_ptr<sim::SimulatedSerialPort> port;
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    std::unique_ptr<Program> program;
    std::unique_ptr<gui::FrmConfigView> view;
};

TEST_F(DemoWindow, OpenFillsEveryTabFromTheUnit) {
    EXPECT_NE(view->windowTitle().toStdString().find("Demo: simulierte Einheit"), std::string::npos);
    choose("Combo_Port(6)", 1);
    std::vector<std::string> differ;
    const bool filled = wait_until([&] {
        differ = field_mismatches();
        return differ.empty();
    });
    EXPECT_TRUE(filled) << differ.size() << " fields differ, the first: " << (differ.empty() ? "" : differ[0]);
    for (const auto& d : differ) ADD_FAILURE() << d;
    for (int k : {2, 8, 9, 10, 11, 28, 29, 30, 31, 59}) {
        auto* c = widget<QComboBox>("cmb_cfg(" + std::to_string(k) + ")");
        ASSERT_NE(c, nullptr) << k;
        EXPECT_GE(c->currentIndex(), 0) << "cmb_cfg(" << k << ") shows a choice";
    }
    EXPECT_EQ(widget<QComboBox>("cmb_cfg(2)")->currentText().toStdString(), "4T");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DemoWindow, PollBoxMakesTheMonitorLive) {
    choose("Combo_Port(6)", 1);
    // the status window closes by itself after the read-out and gives the main window back
    ASSERT_TRUE(wait_until([&] {
        return field_mismatches().empty() && program->state.link_ready && program->form.frm_config.enabled() &&
               program->form.chk_read_out.enabled();
    })) << "the read-out did not end";
    auto* poll = widget<QCheckBox>("chk_read_out");
    ASSERT_NE(poll, nullptr);
    poll->click();
    std::set<std::string> temperatures;
    std::set<std::string> buttons;
    // about a minute of the unit's life at most: the temperature moves by tenths within seconds
    ASSERT_TRUE(wait_until(
        [&] {
            temperatures.insert(text_of("txt_data_out(2)"));
            buttons.insert(text_of("txt_data_out(0)"));
            return temperatures.size() >= 3 && buttons.size() >= 2;
        },
        90'000))
        << "temperatures seen: " << temperatures.size() << ", button words seen: " << buttons.size();
    EXPECT_EQ(text_of("txt_data_out(4)"), shown(unit().output_registers[4], true, program->state.decimal_separator));
}

// The engineer's round: fields only passed through change nothing, values typed within their range
// stay and reach the unit, a value beyond its range goes back with a note naming the range.
TEST_F(DemoWindow, PassingThroughChangesNothingAndTypedValuesReachTheUnit) {
    choose("Combo_Port(6)", 1);
    const auto read_out_ended = [&] {
        return field_mismatches().empty() && program->state.link_ready &&
               program->form.frm_config.enabled() && !program->frm_state->loaded();
    };
    ASSERT_TRUE(wait_until(read_out_ended)) << "the read-out did not end";
    view->activateWindow();
    QTabWidget* tabs = view->tabs();
    auto* away = widget("txt_Modbus_adress");
    auto settle = [] { QApplication::processEvents(QEventLoop::AllEvents, 20); };
    int passed = 0;
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        settle();
        for (QLineEdit* e : tabs->widget(t)->findChildren<QLineEdit*>()) {
            if (!e->isVisible() || e->isReadOnly()) continue;
            e->setFocus(Qt::TabFocusReason);
            settle();
            passed += QApplication::focusWidget() == e;
        }
    }
    away->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_GT(passed, 40) << "the fields did not take the focus";
    for (const auto& [k, t] : program->form.txt_data_cfg) EXPECT_FALSE(t.pending()) << "txt_data_cfg " << k;
    for (const auto& [k, t] : program->form.txt_data_in) EXPECT_FALSE(t.pending()) << "txt_data_in " << k;
    EXPECT_FALSE(program->form.set_parameter.enabled());

    auto type_into = [&](const std::string& name, const QString& text) {
        auto* e = widget<QLineEdit>(name);
        for (int t = 0; t < tabs->count(); ++t) {
            if (tabs->widget(t)->isAncestorOf(e)) tabs->setCurrentIndex(t);
        }
        settle();
        e->setFocus(Qt::TabFocusReason);
        e->selectAll();
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, ch.unicode(), Qt::NoModifier, QString(ch));
            QApplication::sendEvent(e, &press);
        }
        away->setFocus(Qt::TabFocusReason);
        settle();
    };
    type_into("txt_data_cfg(3)", QStringLiteral("40000"));
    type_into("txt_data_cfg(33)", QStringLiteral("1000"));
    EXPECT_EQ(text_of("txt_data_cfg(3)"), "40000");
    EXPECT_EQ(text_of("txt_data_cfg(33)"), "1000");
    EXPECT_TRUE(program->form.txt_data_cfg[3].pending());
    EXPECT_TRUE(program->form.txt_data_cfg[33].pending());
    EXPECT_TRUE(view->tabs()->tabBar()->tabText(0).endsWith(QStringLiteral(" *")));

    widget<QPushButton>("set_parameter")->click();
    ASSERT_TRUE(wait_until(
        [&] {
            return unit().cfg_registers[3] == 40000 && unit().cfg_registers[33] == 1000 &&
                   !program->form.txt_data_cfg[3].pending() && read_out_ended();
        },
        120'000))
        << "the unit holds " << unit().cfg_registers[3] << " and " << unit().cfg_registers[33] << "; "
        << field_mismatches().size() << " fields differ from it";
    EXPECT_EQ(text_of("txt_data_cfg(3)"), "40000");
    EXPECT_EQ(text_of("txt_data_cfg(33)"), "1000");

    const std::string before = text_of("txt_data_in(8)");
    type_into("txt_data_in(8)", QStringLiteral("999"));
    EXPECT_EQ(text_of("txt_data_in(8)"), before);
    const std::string note = widget<QLabel>("status_line")->text().toStdString();
    EXPECT_NE(note.find("-100 bis 100"), std::string::npos) << note;
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace plx
