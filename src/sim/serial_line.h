#pragma once
// The POSIX side of plx24-sim: a pseudo-terminal it creates, or a serial device it opens, in raw mode.

#include <string>

#include "modbus/line_settings.h"

namespace plx::sim {

class SerialLine {
public:
    SerialLine() = default;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;
    ~SerialLine();

    // A new pseudo-terminal; path() is the end a master opens. Line settings do not apply to it.
    bool open_pty(std::string& error);
    // A serial device. A pseudo-terminal's refusal of line settings is harmless (it carries none);
    // a real line's refusal is an error.
    bool open_device(const std::string& path, const modbus::LineSettings& settings, std::string& error);
    // Closes the device and opens it again with the same settings: a line whose far end went away
    // (a socat pair that ended, an adapter pulled out) may be back under the same name.
    bool reopen(std::string& error);
    void close_device();
    // true for a pseudo-terminal this program created (open_pty)
    bool own_pty() const { return pty_peer_fd_ >= 0; }

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    // set when the line settings could not be applied because the device is a pseudo-terminal
    const std::string& note() const { return note_; }

private:
    int fd_ = -1;
    int pty_peer_fd_ = -1;  // our own handle on the pty's far end, so it survives a master's close
    std::string path_;
    std::string note_;
    modbus::LineSettings settings_;
};

}  // namespace plx::sim
