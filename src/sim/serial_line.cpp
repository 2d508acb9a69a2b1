#include "sim/serial_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace plx::sim {

namespace {

std::string system_error(const std::string& what) { return what + ": " + std::strerror(errno); }

bool is_pseudo_terminal(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    // Unix98 pty slaves have majors 136..143, the multiplexer /dev/ptmx is 5:2
    const unsigned m = major(st.st_rdev);
    return (m >= 136 && m <= 143) || (m == 5 && minor(st.st_rdev) == 2);
}

speed_t speed_of(int baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B9600;
    }
}

bool make_raw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

SerialLine::~SerialLine() {
    if (fd_ >= 0) close(fd_);
    if (pty_peer_fd_ >= 0) close(pty_peer_fd_);
}

bool SerialLine::open_pty(std::string& error) {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        error = system_error("posix_openpt");
        return false;
    }
    if (grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
        error = system_error("grantpt/unlockpt");
        return false;
    }
    const char* name = ptsname(fd_);
    if (!name) {
        error = system_error("ptsname");
        return false;
    }
    path_ = name;
    pty_peer_fd_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (pty_peer_fd_ < 0 || !make_raw(pty_peer_fd_) || !make_raw(fd_)) {
        // without raw mode the line discipline would echo and translate CR LF
        error = system_error("raw mode on " + path_);
        return false;
    }
    return true;
}

void SerialLine::close_device() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool SerialLine::reopen(std::string& error) {
    close_device();
    const std::string path = path_;
    if (!open_device(path, settings_, error)) {
        close_device();
        return false;
    }
    return true;
}

bool SerialLine::open_device(const std::string& path, const modbus::LineSettings& settings, std::string& error) {
    path_ = path;
    settings_ = settings;
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        error = system_error("cannot open " + path);
        return false;
    }
    termios t{};
    if (tcgetattr(fd_, &t) != 0) {
        error = system_error(path + " is not a serial line");
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
    t.c_cflag |= settings.framing == modbus::Framing::ascii ? CS7 : CS8;
    if (settings.parity != 'N') t.c_cflag |= PARENB;
    if (settings.parity == 'O') t.c_cflag |= PARODD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed_of(settings.baud));
    cfsetospeed(&t, speed_of(settings.baud));
    const bool pty = is_pseudo_terminal(fd_);
    if (pty) note_ = path + " is a pseudo-terminal: baud, parity and data bits are not applied";
    if (tcsetattr(fd_, TCSANOW, &t) == 0) return true;
    if (!pty) {
        error = system_error("line settings refused by " + path);
        return false;
    }
    if (!make_raw(fd_)) {
        error = system_error("raw mode on " + path);
        return false;
    }
    return true;
}

}  // namespace plx::sim
