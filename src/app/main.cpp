// plx24cfg: the real platform (serial port, window timers, dialogs, shell) under the headless
// program, and the Qt window bound to its controls.

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include "app/program.h"
#include "gui/binders.h"
#include "gui/fabout_view.h"
#include "gui/frm_config_view.h"
#include "gui/frm_state_view.h"
#include "gui/qt_platform.h"
#include "gui/qt_timer_engine.h"
#include "link/qt_serial_port.h"
#include "sim/simulated_serial_port.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plx24cfg"));
    QApplication::setApplicationVersion(QStringLiteral("1.5"));
    // the demo switch runs the tool against a simulated unit instead of a real line
    const bool demo = QApplication::arguments().contains(QStringLiteral("--demo"));

    plx::gui::QtTimerEngine timers;
    plx::gui::QtMessageBox messages(&timers);
    plx::gui::QtFileDialog files(&timers);
    plx::gui::QtShell shell;
    plx::link::QtSerialPort serial_port;
    plx::link::SerialPort* port = &serial_port;
    // demo: COM3 is the simulated unit, on the clock of the program's own timers
    QElapsedTimer demo_clock;
    demo_clock.start();
    plx::sim::SimulatedSerialPort demo_port(
        [&demo_clock] { return std::chrono::milliseconds(demo_clock.elapsed()); }, &serial_port,
        static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    if (demo) port = &demo_port;

    plx::Program program(plx::Platform{*port, timers, messages, files, shell});
    program.state.demo = demo;

    plx::gui::FrmConfigView view(program.form);
    messages.set_parent(&view);
    files.set_parent(&view);

    auto& editor = *program.editor;
    editor.screen_size = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return plx::editor::ScreenSize{};
        const QRect area = screen->availableGeometry();
        return plx::editor::ScreenSize{area.width() * plx::gui::kTwipsPerPixel,
                                       area.height() * plx::gui::kTwipsPerPixel};
    };
    editor.show_about = [&] { plx::gui::show_about(program.state, shell, &view); };
    // the status window opens over the main window while a transfer runs
    plx::gui::attach_status_view(*program.frm_state, &view);
    // "&Beenden" and the end of the last window leave the event loop; with unsent edits both ask first
    editor.quit = [] { QCoreApplication::exit(0); };
    editor.end_program = [] { QCoreApplication::exit(0); };
    view.may_close = [&] { return editor.Form_QueryUnload(); };
    view.on_close = [&] { editor.Form_Unload(); };

    program.start();
    view.show();
    return QApplication::exec();
}
