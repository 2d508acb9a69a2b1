#pragma once
// Test helper: a socat pty pair (two linked pseudo-terminals in a fresh temporary folder) and
// plx24-sim serving on one end of it.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"

namespace plx::testing {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Starts socat; false with a reason in error() when it could not.
    bool start();
    const std::string& unit_end() const { return unit_end_; }
    const std::string& master_end() const { return master_end_; }
    const std::string& error() const { return error_; }

private:
    std::filesystem::path dir_;
    std::string unit_end_;
    std::string master_end_;
    std::string error_;
    ChildProcess socat_;
};

// plx24-sim on a device, with the given options; ready once it announces the unit.
class SimOnDevice {
public:
    bool start(const std::string& sim_exe, const std::string& device, const std::vector<std::string>& options);
    ChildProcess& process() { return process_; }

private:
    ChildProcess process_;
};

}  // namespace plx::testing
