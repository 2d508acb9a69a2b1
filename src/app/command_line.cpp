#include "app/command_line.h"

#include <algorithm>
#include <iterator>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QtGlobal>

#include "modbus/line_settings.h"

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
    "  --baud RATE            the link panel's baud rate for this run: 9600, 19200, 38400, 57600\n"
    "                         or 115200\n"
    "  --parity E|O|N         its parity: even, odd or none\n"
    "  --mode rtu|ascii       its mode\n"
    "  --address N            the unit's Modbus address, 1 to 247\n"
    "  --open                 open the port at start, which reads the unit out at once\n"
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
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("RATE"));
    const QCommandLineOption parity(QStringLiteral("parity"), QString(), QStringLiteral("E|O|N"));
    const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("rtu|ascii"));
    const QCommandLineOption address(QStringLiteral("address"), QString(), QStringLiteral("N"));
    const QCommandLineOption open(QStringLiteral("open"));
    for (const auto& o : {help, version, demo, port, language, baud, parity, mode, address, open})
        parser.addOption(o);
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
    if (parser.isSet(baud)) {
        bool number = false;
        const int rate = parser.value(baud).toInt(&number);
        if (!number || std::find(std::begin(modbus::kBauds), std::end(modbus::kBauds), rate) ==
                           std::end(modbus::kBauds)) {
            return usage_error(program,
                               QStringLiteral("--baud takes 9600, 19200, 38400, 57600 or 115200, not '%1'")
                                   .arg(parser.value(baud)));
        }
        c.baud = rate;
    }
    if (parser.isSet(parity)) {
        const QString p = parser.value(parity).toLower();
        if (p == u"e" || p == u"even") {
            c.parity = 'E';
        } else if (p == u"o" || p == u"odd") {
            c.parity = 'O';
        } else if (p == u"n" || p == u"none") {
            c.parity = 'N';
        } else {
            return usage_error(program, QStringLiteral("--parity takes E, O or N (even, odd, none), not '%1'")
                                            .arg(parser.value(parity)));
        }
    }
    if (parser.isSet(mode)) {
        const QString m = parser.value(mode).toLower();
        if (m != u"rtu" && m != u"ascii")
            return usage_error(program,
                               QStringLiteral("--mode takes rtu or ascii, not '%1'").arg(parser.value(mode)));
        c.rtu = m == u"rtu";
    }
    if (parser.isSet(address)) {
        bool number = false;
        const int a = parser.value(address).toInt(&number);
        if (!number || a < 1 || a > 247) {
            return usage_error(
                program, QStringLiteral("--address takes 1 to 247, not '%1'").arg(parser.value(address)));
        }
        c.address = a;
    }
    c.open = parser.isSet(open);
    return c;
}

}  // namespace plx::app
