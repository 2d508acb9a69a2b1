#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

extern char** environ;

namespace plx::testing {

namespace {

using Clock = std::chrono::steady_clock;

bool drain_into(int fd, std::string& into) {
    char buf[4096];
    bool any = false;
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        into.append(buf, static_cast<std::size_t>(n));
        any = true;
    }
    return any;
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !status_) stop();
    if (out_fd_ >= 0) close(out_fd_);
    if (err_fd_ >= 0) close(err_fd_);
}

bool ChildProcess::start(const std::vector<std::string>& argv) {
    int out_pipe[2];
    int err_pipe[2];
    if (pipe2(out_pipe, O_CLOEXEC) != 0) return false;
    if (pipe2(err_pipe, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int rc = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    out_fd_ = out_pipe[0];
    err_fd_ = err_pipe[0];
    fcntl(out_fd_, F_SETFL, O_NONBLOCK);
    fcntl(err_fd_, F_SETFL, O_NONBLOCK);
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

void ChildProcess::pump(std::chrono::milliseconds limit) {
    pollfd p[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
    if (poll(p, 2, static_cast<int>(limit.count())) > 0) {
        drain_into(out_fd_, out_);
        drain_into(err_fd_, err_);
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0 || status_) return false;
    int st = 0;
    if (waitpid(pid_, &st, WNOHANG) == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return false;
    }
    return true;
}

std::optional<std::string> ChildProcess::read_line(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        const auto nl = out_.find('\n', out_taken_);
        if (nl != std::string::npos) {
            std::string line = out_.substr(out_taken_, nl - out_taken_);
            out_taken_ = nl + 1;
            return line;
        }
        if (Clock::now() >= deadline) return std::nullopt;
        pump(std::chrono::milliseconds(20));
        if (!running()) {
            drain_into(out_fd_, out_);
            if (out_.find('\n', out_taken_) == std::string::npos) return std::nullopt;
        }
    }
}

bool ChildProcess::wait_for_stderr(const std::string& text, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (err_.find(text) == std::string::npos) {
        if (Clock::now() >= deadline) return false;
        pump(std::chrono::milliseconds(20));
    }
    return true;
}

std::optional<int> ChildProcess::wait_exit(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (running()) {
        if (Clock::now() >= deadline) return std::nullopt;
        pump(std::chrono::milliseconds(20));
    }
    drain_into(out_fd_, out_);
    drain_into(err_fd_, err_);
    return status_;
}

std::optional<int> ChildProcess::stop(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return std::nullopt;
    if (running()) kill(pid_, SIGTERM);
    if (auto st = wait_exit(limit)) return st;
    kill(pid_, SIGKILL);
    wait_exit(std::chrono::milliseconds(2000));
    return std::nullopt;
}

RunResult run_command(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
    ChildProcess p;
    RunResult r;
    if (!p.start(argv)) return r;
    r.status = p.wait_exit(limit);
    if (!r.status) p.stop();
    r.out = p.out();
    r.err = p.err();
    return r;
}

bool have_program(const std::string& name) {
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    }
    return false;
}

}  // namespace plx::testing
