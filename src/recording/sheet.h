#pragma once
// The CSV file of a recording: the header when it opens, then one row per poll, each written through at
// once, so that whatever stops the recording (the user, a write error, Ctrl+C, a crash) leaves every row
// before it whole in the file; a QSaveFile would keep nothing of a recording that fails. Standard output
// takes the same lines without the BOM.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QFile>

#include "recording/rows.h"

namespace plx::recording {

class Sheet {
  public:
    // Creates or empties the file and writes the BOM and the header; the system's reason on failure.
    std::optional<std::string> open(const std::string& path,
                                    const std::vector<std::string>& header,
                                    Dialect d);
    // A stream such as standard output: a reader at the other end of a pipe wants no BOM.
    std::optional<std::string> open(std::ostream& out, const std::vector<std::string>& header, Dialect d);
    // One row; on a write error the sheet closes and the system's reason comes back.
    std::optional<std::string> add(const std::vector<std::string>& fields);
    void close();

    bool is_open() const { return file_ != nullptr || stream_ != nullptr; }
    const Dialect& dialect() const { return dialect_; }
    // rows written after the header
    long rows() const { return rows_; }

  private:
    std::optional<std::string> put(const std::string& bytes);

    std::unique_ptr<QFile> file_;
    std::ostream* stream_ = nullptr;
    Dialect dialect_;
    long rows_ = 0;
};

}  // namespace plx::recording
