#include "recording/sheet.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <QString>

namespace plx::recording {

std::optional<std::string> Sheet::open(const std::string& path, const std::vector<std::string>& header, Dialect d) {
    close();
    auto file = std::make_unique<QFile>(QString::fromStdString(path));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) return file->errorString().toStdString();
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
        const auto n = file_->write(bytes.data(), static_cast<qint64>(bytes.size()));
        // the flush is where a full disk shows
        if (n != static_cast<qint64>(bytes.size()) || !file_->flush()) error = file_->errorString().toStdString();
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
