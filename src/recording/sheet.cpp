#include "recording/sheet.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <QString>

namespace plx::recording {

std::optional<std::string> Sheet::open(const std::string& path,
                                       const std::vector<std::string>& header,
                                       Dialect d) {
    close();
    auto file = std::make_unique<QFile>(QString::fromStdString(path));
    // unbuffered: a row is on its way to the disk when add() returns, and a failed one can be cut off
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file->errorString().toStdString();
    file_ = std::move(file);
    dialect_ = d;
    rows_ = 0;
    return put(std::string(kBom) + csv_line(header, d));
}

std::optional<std::string> Sheet::open(std::ostream& out, const std::vector<std::string>& header, Dialect d) {
    close();
    stream_ = &out;
    dialect_ = d;
    rows_ = 0;
    return put(csv_line(header, d));
}

std::optional<std::string> Sheet::add(const std::vector<std::string>& fields) {
    if (!is_open()) return std::nullopt;
    auto error = put(csv_line(fields, dialect_));
    if (!error) ++rows_;
    return error;
}

std::optional<std::string> Sheet::put(const std::string& bytes) {
    std::optional<std::string> error;
    if (file_) {
        const qint64 whole = file_->size();
        errno = 0;
        const auto n = file_->write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (n != static_cast<qint64>(bytes.size())) {
            // the system's words ("No space left on device"); QFile has none for a short write
            error = std::strerror(errno != 0 ? errno : EIO);
            // what stays is whole rows only
            file_->resize(whole);
        }
    } else if (stream_ != nullptr) {
        *stream_ << bytes << std::flush;
        if (!*stream_) error = std::strerror(errno);
    }
    if (error) close();
    return error;
}

void Sheet::close() {
    if (file_) file_->close();
    file_.reset();
    stream_ = nullptr;
}

}  // namespace plx::recording
