// plx24cfg: the real platform (serial port, window timers, dialogs, shell) under the headless
// program, and the Qt window bound to its controls.

#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStringList>
#include <QTranslator>

#include "app/command_line.h"
#include "program/program.h"
#include "gui/binders.h"
#include "gui/fabout_view.h"
#include "gui/frm_config_view.h"
#include "gui/frm_state_view.h"
#include "gui/help_view.h"
#include "gui/network_view.h"
#include "gui/port_view.h"
#include "gui/qt_platform.h"
#include "gui/qt_timer_engine.h"
#include "gui/record_view.h"
#include "gui/scan_view.h"
#include "gui/traffic_view.h"
#include "gui/trend_view.h"
#include "gui/unit_pictures.h"
#include "lang/texts.h"
#include "link/qt_port_enumeration.h"
#include "link/qt_port.h"
#include "settings/overlay_store.h"
#include "sim/simulated_serial_port.h"

int main(int argc, char* argv[]) {
    // read before QApplication, which needs a display: --help and --version answer without one
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const plx::app::CommandLine cli = plx::app::parse_command_line(arguments);
    if (cli.action == plx::app::CommandLine::Action::answer) {
        std::fputs(cli.out.c_str(), stdout);
        std::fputs(cli.err.c_str(), stderr);
        return cli.exit_code;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plx24cfg"));
    QApplication::setApplicationVersion(QStringLiteral(PLX24_VERSION));
    // the demo switch runs the tool against a simulated unit instead of a real line
    const bool demo = cli.demo;

    plx::gui::QtTimerEngine timers;
    plx::gui::QtMessageBox messages(&timers);
    plx::gui::QtFileDialog files(&timers);
    plx::gui::QtShell shell;
    plx::link::QtPort serial_port;
    plx::modbus::SerialPort* port = &serial_port;
    // demo: COM3 is the simulated unit, on the clock of the program's own timers
    QElapsedTimer demo_clock;
    demo_clock.start();
    plx::sim::SimulatedSerialPort demo_port(
        [&demo_clock] { return std::chrono::milliseconds(demo_clock.elapsed()); }, &serial_port,
        static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    if (demo) port = &demo_port;

    plx::Program program(plx::Platform{*port, timers, messages, files, shell});
    program.state.demo = demo;
    program.startup_entry_fixed = demo || !cli.port.empty();
    plx::link::QtPortEnumeration system_ports;
    program.ports.set_enumeration(&system_ports);
    if (!cli.port.empty()) program.ports.set_run_device(plx::link::kStartupEntry, cli.port);
    if (!cli.language_code.empty()) {
        // this run's language, in place of the installed one; nothing is written
        auto overlay = std::make_unique<plx::settings::OverlayStore>(std::move(program.settings));
        overlay->set(plx::settings::Root::machine, QString::fromLatin1(plx::settings::kProgramKey),
                     QStringLiteral("Language"), QString::fromStdString(cli.language_code));
        program.settings = std::move(overlay);
    }

    plx::gui::FrmConfigView view(program.form);
    messages.set_parent(&view);
    files.set_parent(&view);

    auto& editor = *program.editor;
    editor.screen_size = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return plx::editor::ScreenSize{};
        const QRect area = screen->availableGeometry();
        // the window's size is its inside: leave room for the frame and title bar the desktop adds
        constexpr int frame_width = 16;
        constexpr int frame_height = 48;
        constexpr int t = plx::gui::kTwipsPerPixel;
        return plx::editor::ScreenSize{(area.width() - frame_width) * t, (area.height() - frame_height) * t,
                                       area.x() * t, area.y() * t};
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
    // Qt's own texts (file dialogs, standard buttons, context menus) in the program's language
    QTranslator qt_texts;
    if (!plx::lang::is_english(program.state.language_code)) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (qt_texts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qt_texts);
    }
    QApplication::setWindowIcon(plx::gui::window_icon());
    // the traffic window in the menu, the link's state and counters in the status bar
    plx::gui::LineView line_view(view, {program.state, *program.traffic, program.platform.timers, program.platform.files,
                                  program.platform.messages, program.platform.port, *program.link, program.remembered,
                                  *program.monitor_freshness, program.form.chk_read_out, program.form.Timer7});
    plx::gui::PortView port_view(view, {program.state, program.platform.port, program.ports, program.settings, program.platform.messages,
                                  program.form.Combo_Port[0], *program.link});
    plx::gui::NetworkView network_view(view, program.form, program.state, program.ports, *program.link,
                                       program.platform.messages);
    network_view.on_gateway_set = [&port_view] { port_view.refresh(); };
    plx::gui::ScanView scan_view(view, *program.bus_scan, program.state);
    // "Protokoll drucken…" and "Mit Datei vergleichen…"
    plx::gui::RecordView record_view(view, *program.unit_record, program.state);
    // "Aufzeichnen…" and the trend on the Monitor tab
    plx::gui::TrendView trend_view(view, {*program.transactions, *program.traffic, program.platform.timers,
                                          program.state, program.platform.files, program.platform.messages});
    plx::gui::HelpView help_view(view, {program.state, program.platform.shell, program.platform.messages},
                                 program.editor->show_help);
    line_view.scanning_line = [&program] { return program.bus_scan->scanning_line(); };

    // where the window lay last time, on the screen it has now
    const QScreen* screen = QGuiApplication::primaryScreen();
    const auto last = program.remembered->place(plx::editor::Place::main_window);
    if (screen != nullptr && last) {
        const QRect a = screen->availableGeometry();
        const auto r = plx::editor::fit_on_screen(*last, {a.x(), a.y(), a.width(), a.height()});
        view.resize(r.width, r.height);
        view.move(r.left, r.top);
    }
    view.show();
    // the link panel as the command line sets it for this run, "open" last: straight onto a unit; the
    // remembered settings stay for the next run
    plx::link::LinkChoice choice{cli.baud, cli.parity, std::nullopt, cli.address, cli.open};
    if (cli.rtu) choice.framing = *cli.rtu ? plx::modbus::Framing::rtu : plx::modbus::Framing::ascii;
    program.remembered->hold(true);
    program.link->choose(choice);
    program.remembered->hold(false);
    const int status = QApplication::exec();
    program.remembered->remember(plx::editor::Place::main_window,
                                 {view.pos().x(), view.pos().y(), view.width(), view.height()});
    if (const auto traffic = line_view.traffic_place())
        program.remembered->remember(plx::editor::Place::traffic_window, *traffic);
    return status;
}
