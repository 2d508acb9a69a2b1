#pragma once
// The file side of parameter files: a bounded read, and a write that is complete or not at all.

#include <optional>
#include <string>

namespace plx::paramfile {

struct FileRead {
    std::string bytes;
    std::string error;  // the system's reason when the file could not be read; bytes are empty then
    bool ok() const { return error.empty(); }
};

// At most `limit` + 1 bytes, so that the caller can tell a file over the limit without holding it.
FileRead read_file(const std::string& path, std::size_t limit);

// Through a temporary file in the same folder that replaces the old file only once it is complete.
// nullopt on success, else the system's reason; an existing file is then left as it was.
std::optional<std::string> save_file(const std::string& path, const std::string& bytes);

// Today's date in the user's short date format and the time in the user's time format.
struct Stamp {
    std::string date;
    std::string time;
};
Stamp local_stamp();

}  // namespace plx::paramfile
