#pragma once
// Test helper: a child process (plx24-sim, socat, mbpoll, a pymodbus server) with its output
// captured, bounded waits for what it prints, and a clean stop by SIGTERM.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace plx::testing {

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts argv[0] (looked up on PATH) with stdout and stderr captured apart.
    bool start(const std::vector<std::string>& argv);
    bool running();

    // Waits at most `limit` for a whole line on stdout; nothing if none came.
    std::optional<std::string> read_line(std::chrono::milliseconds limit);
    // Waits at most `limit` for stderr to contain `text`.
    bool wait_for_stderr(const std::string& text, std::chrono::milliseconds limit);
    // Waits at most `limit` for the process to end; its exit status, or nothing if it still runs.
    std::optional<int> wait_exit(std::chrono::milliseconds limit);
    // SIGTERM, then the exit status (SIGKILL after `limit`).
    std::optional<int> stop(std::chrono::milliseconds limit = std::chrono::milliseconds(5000));

    // everything read so far
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }
    pid_t pid() const { return pid_; }

private:
    void pump(std::chrono::milliseconds limit);

    pid_t pid_ = -1;
    int out_fd_ = -1;
    int err_fd_ = -1;
    std::string out_;
    std::string err_;
    std::size_t out_taken_ = 0;
    std::optional<int> status_;
};

// The run of a command to its end (bounded): exit status and output.
struct RunResult {
    std::optional<int> status;  // nothing: it did not end in time and was killed
    std::string out;
    std::string err;
};
RunResult run_command(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

// Whether an executable is on PATH (or at this path).
bool have_program(const std::string& name);

}  // namespace plx::testing
