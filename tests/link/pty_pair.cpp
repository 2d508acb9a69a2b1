#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace plx::link::testing {

bool sleep_a_moment() {
    ::usleep(5000);
    return true;
}

PtyPair::PtyPair() {
    char tmpl[] = "/tmp/plx24-pty-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) {
        error_ = "mkdtemp failed";
        return;
    }
    dir_ = tmpl;
    a = dir_ + "/a";
    b = dir_ + "/b";
    const std::string side_a = "pty,raw,echo=0,link=" + a;
    const std::string side_b = "pty,raw,echo=0,link=" + b;
    std::vector<std::string> args = {"socat", side_a, side_b};
    std::vector<char*> argv;
    for (auto& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);
    if (::posix_spawnp(&pid_, "socat", nullptr, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
        error_ = "socat could not be started";
        return;
    }
    const bool up = wait_until([&] { return std::filesystem::exists(a) && std::filesystem::exists(b); });
    if (!up) {
        error_ = "socat links did not appear";
        return;
    }
    peer_fd_ = ::open(b.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (peer_fd_ < 0) {
        error_ = "peer side could not be opened";
        return;
    }
    termios t{};
    ::tcgetattr(peer_fd_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(peer_fd_, TCSANOW, &t);
}

void PtyPair::hang_up() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

PtyPair::~PtyPair() {
    if (peer_fd_ >= 0) ::close(peer_fd_);
    hang_up();
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

bool PtyPair::peer_write(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(peer_fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::vector<std::uint8_t> PtyPair::peer_read(std::size_t n, int quiet_ms) {
    std::vector<std::uint8_t> out;
    while (out.size() < n) {
        pollfd p{peer_fd_, POLLIN, 0};
        if (::poll(&p, 1, quiet_ms) <= 0) break;
        std::uint8_t buf[512];
        const ssize_t got = ::read(peer_fd_, buf, sizeof buf);
        if (got <= 0) break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

}  // namespace plx::link::testing
