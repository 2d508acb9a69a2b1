// plx24ctl: the command-line program for many units on one line; the real serial port and clock under
// the commands of cli/.

#include <cstdio>
#include <iostream>
#include <memory>
#include <signal.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>

#ifdef PLX24_RECORD_PDF
#include <QGuiApplication>

#include "commission/print.h"
#endif

#include "cli/commands.h"
#include "cli/options.h"
#include "link/qt_port.h"
#include "settings/overlay_store.h"
#include "settings/store.h"

namespace {

volatile sig_atomic_t interrupted = 0;

void on_interrupt(int) {
    interrupted = 1;
}

// A plan's row on another line: a port of its own, serial or a gateway as the device says, that wakes
// the loop while it lives.
class LinePort final : public plx::link::QtPort {
  public:
    LinePort(plx::cli::RealTimeLoop& loop, const std::string& device) : loop_(loop) {
        use_device(device);
        loop_.watch(*this);
    }
    ~LinePort() override { loop_.unwatch(*this); }
    LinePort(const LinePort&) = delete;
    LinePort& operator=(const LinePort&) = delete;

  private:
    plx::cli::RealTimeLoop& loop_;
};

}  // namespace

int main(int argc, char* argv[]) {
    using namespace plx;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cli::Parsed parsed = cli::parse_command_line(args);
    if (!parsed.options) {
        std::cerr << "plx24ctl: " << parsed.error << "\nTry 'plx24ctl --help' for more information.\n";
        return cli::kExitUsage;
    }
    const cli::Options& o = *parsed.options;
    if (o.help) {
        std::cout << cli::help_text(o.command);
        return cli::kExitOk;
    }
    if (o.version) {
        std::cout << "plx24ctl " << PLX24_VERSION << " (Qt " << qVersion() << ")\n";
        return cli::kExitOk;
    }

    // Qt's own event dispatcher: a turn of the loop costs a poll and no more, where the glib main
    // context adds wake-ups of its own to every timer and byte
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
#ifdef PLX24_RECORD_PDF
    // a record's PDF lays text out with Qt's fonts, which want a GUI application; it never shows a
    // window, so it needs no display either
    if (!o.record.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = o.record.empty() ? std::make_unique<QCoreApplication>(argc, argv)
                                                             : std::make_unique<QGuiApplication>(argc, argv);
#else
    auto app = std::make_unique<QCoreApplication>(argc, argv);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("plx24ctl"));
    // the window's settings: the same language, decimal separator, version and port assignments
    std::unique_ptr<settings::Store> store = std::make_unique<settings::QSettingsStore>(
        settings::QSettingsStore::for_program(QCoreApplication::applicationDirPath()));
    if (!o.language_code.empty()) {
        auto overlay = std::make_unique<settings::OverlayStore>(std::move(store));
        overlay->set(settings::Root::machine, QString::fromLatin1(settings::kProgramKey),
                     QStringLiteral("Language"), QString::fromStdString(o.language_code));
        store = std::move(overlay);
    }
    const std::string device = cli::resolve_device(o.device, *store);
    if (device.empty()) {
        std::cerr << "plx24ctl: " << o.device << " stands for no device\n";
        return cli::kExitUsage;
    }
    link::QtPort port;
    port.use_device(device);

    struct sigaction sa {};
    sa.sa_handler = on_interrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    // a line's time of day at the offset from UTC the run began with, as the recording's rows have
    // it: no look at the time zone for every line
    const qint64 utc_offset_ms = static_cast<qint64>(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
    const auto time_of_day = [utc_offset_ms] {
        constexpr qint64 kDay = 86'400'000;
        const qint64 ms = ((QDateTime::currentMSecsSinceEpoch() + utc_offset_ms) % kDay + kDay) % kDay;
        char text[16];
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", ms / 3'600'000, ms / 60'000 % 60,
                      ms / 1000 % 60, ms % 1000);
        return std::string(text);
    };
    cli::RealTimeLoop loop;
    loop.watch(port);
    cli::Environment env{
        port,
        loop,
        *store,
        std::cout,
        std::cerr,
        isatty(STDERR_FILENO) == 1,
        plx::paramfile::local_stamp,
        [] { return interrupted != 0; },
        time_of_day,
        PLX24_VERSION,
        {},
        [&loop](const std::string& other) -> std::unique_ptr<modbus::SerialPort> {
            return std::make_unique<LinePort>(loop, other);
        }};
#ifdef PLX24_RECORD_PDF
    env.document = {"pdf", commission::write_pdf};
#endif
    return cli::run(o, env);
}
