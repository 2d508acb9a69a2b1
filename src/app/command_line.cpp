#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QtGlobal>

namespace plx::app {

namespace {

const char* const kUsage =
    "Usage: %1 [options]\n"
    "Configuration and commissioning tool for the PLX24 room operating unit (Modbus RTU/ASCII).\n"
    "\n"
    "Options:\n"
    "  --demo                 talk to a built-in simulated unit on COM3 instead of a serial line\n"
    "  --port DEVICE          COM3, the entry chosen at start-up, stands for DEVICE in this run\n"
    "                         (for example /dev/ttyUSB1 or /dev/serial/by-id/usb-...)\n"
    "  --language de|en       German or English for this run, whatever the installation says\n"
    "  -h, --help             show this help and end\n"
    "  -v, --version          show the version and end\n"
    "\n"
    "The window system's own options (-platform, -style, -display, ...) are passed on to Qt.\n";

CommandLine answer(int code, std::string out, std::string err = {}) {
    CommandLine c;
    c.action = CommandLine::Action::answer;
    c.exit_code = code;
    c.out = std::move(out);
    c.err = std::move(err);
    return c;
}

CommandLine usage_error(const QString& program, const QString& reason) {
    return answer(kUsageError, {},
                  (program + QStringLiteral(": ") + reason + QStringLiteral("\nTry '") + program +
                   QStringLiteral(" --help' for more information.\n"))
                      .toStdString());
}

}  // namespace

CommandLine parse_command_line(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("plx24cfg") : QFileInfo(arguments.first()).fileName();

    QCommandLineParser parser;
    // "-platform offscreen" is one option, as Qt's own options are written
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(
        QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption demo(QStringLiteral("demo"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("DEVICE"));
    const QCommandLineOption language(QStringLiteral("language"), QString(), QStringLiteral("de|en"));
    for (const auto& o : {help, version, demo, port, language}) parser.addOption(o);
    // Qt's own options reach QApplication untouched
    for (const char* name : {"platform", "style", "stylesheet", "display", "qwindowgeometry", "qwindowtitle",
                             "qwindowicon", "platformpluginpath", "platformtheme", "session"}) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    }
    for (const char* name : {"reverse", "nograb", "dograb", "sync"}) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }

    if (!parser.parse(arguments)) return usage_error(program, parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return usage_error(
            program, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(help)) return answer(0, QString::fromLatin1(kUsage).arg(program).toStdString());
    if (parser.isSet(version)) {
        return answer(0, QStringLiteral("plx24cfg %1 (Qt %2)\n")
                             .arg(QStringLiteral(PLX24_VERSION), QString::fromLatin1(qVersion()))
                             .toStdString());
    }

    CommandLine c;
    c.demo = parser.isSet(demo);
    if (parser.isSet(port)) {
        const QString device = parser.value(port).trimmed();
        if (device.isEmpty())
            return usage_error(program, QStringLiteral("--port needs a device, e.g. /dev/ttyUSB0"));
        c.port = device.toStdString();
    }
    if (parser.isSet(language)) {
        const QString l = parser.value(language).toLower();
        if (l == u"de") {
            c.language_code = "1031";
        } else if (l == u"en") {
            c.language_code = "1033";
        } else {
            return usage_error(
                program, QStringLiteral("--language takes de or en, not '%1'").arg(parser.value(language)));
        }
    }
    return c;
}

}  // namespace plx::app
