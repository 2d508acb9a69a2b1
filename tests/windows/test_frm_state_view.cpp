// The Qt status dialog follows its model: opened, shown in front, cancel usable while the main
// window is disabled, gone after the model unloads.
#include <QApplication>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "gui/binders.h"
#include "gui/frm_state_view.h"
#include "windows/frm_state.h"

namespace plx {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_frm_state_view";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

QWidget* status_dialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("frmState") && w->isVisible()) return w;
    }
    return nullptr;
}

// the application must exist before the fixture's widgets
struct WithApplication {
    WithApplication() { app(); }
};

class StatusView : public ::testing::Test, private WithApplication {
  protected:
    void SetUp() override {
        main.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
        gui::bind(main.frm_config, &owner);
        owner.show();
        gui::attach_status_view(window, &owner);
    }
    void TearDown() override {
        main.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    controls::VirtualClock clock;
    ProgramState state;
    FrmConfig main;
    windows::FrmState window{state, main, clock};
    QMainWindow owner;
};

TEST_F(StatusView, CancelStaysUsableWhileTheMainWindowIsDisabled) {
    state.comm_state = write_cfg_registers;
    window.ShowMsgWindow();
    QWidget* dialog = status_dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(owner.isEnabled());
    auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("Abbruch"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_TRUE(cancel->isEnabled());
    cancel->click();
    EXPECT_FALSE(window.loaded());
    EXPECT_TRUE(owner.isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(status_dialog(), nullptr);
}

TEST_F(StatusView, BarFollowsTheModelUntilTheDialogClosesItself) {
    state.comm_state = read_registers;
    window.ShowMsgWindow();
    QWidget* dialog = status_dialog();
    ASSERT_NE(dialog, nullptr);
    auto* bar = dialog->findChild<QProgressBar*>(QStringLiteral("ProgressFile"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 10);
    EXPECT_FALSE(dialog->findChild<QPushButton*>(QStringLiteral("Abbruch"))->isVisible());
    clock.advance_ms(1000);
    EXPECT_EQ(bar->value(), 5);
    clock.advance_ms(1000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(status_dialog(), nullptr);
    EXPECT_TRUE(owner.isEnabled());
}

}  // namespace
}  // namespace plx
