#include "paramfile/file_io.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QString>

namespace plx::paramfile {

namespace {

// Qt's long time formats of some locales end in the time zone ("t"), which a clock time on the
// screen of the unit's engineer does not carry.
QString without_time_zone(const QString& format) {
    QString out;
    bool quoted = false;
    for (const QChar ch : format) {
        if (ch == u'\'') quoted = !quoted;
        if (!quoted && ch == u't') continue;
        out += ch;
    }
    return out.trimmed();
}

}  // namespace

FileRead read_file(const std::string& path, std::size_t limit) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {{}, file.errorString().toStdString()};
    const QByteArray data = file.read(static_cast<qint64>(limit) + 1);
    if (file.error() != QFileDevice::NoError) return {{}, file.errorString().toStdString()};
    return {data.toStdString(), {}};
}

std::optional<std::string> save_file(const std::string& path, const std::string& bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

Stamp local_stamp() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return {
        locale.toString(now.date(), locale.dateFormat(QLocale::ShortFormat)).toStdString(),
        locale.toString(now.time(), without_time_zone(locale.timeFormat(QLocale::LongFormat))).toStdString()};
}

}  // namespace plx::paramfile
