#include "pty_pair.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace plx::testing {

using std::chrono::milliseconds;

PtyPair::PtyPair() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "plx24-pty-XXXXXX").string();
    if (mkdtemp(tmpl.data())) dir_ = tmpl;
}

PtyPair::~PtyPair() {
    socat_.stop();
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

bool PtyPair::start() {
    if (dir_.empty()) {
        error_ = "no temporary folder";
        return false;
    }
    unit_end_ = (dir_ / "unit").string();
    master_end_ = (dir_ / "master").string();
    if (!socat_.start({"socat", "-d", "-d", "pty,raw,echo=0,link=" + unit_end_,
                       "pty,raw,echo=0,link=" + master_end_})) {
        error_ = "socat did not start";
        return false;
    }
    if (!socat_.wait_for_stderr("starting data transfer loop", milliseconds(10'000))) {
        error_ = "socat did not come up: " + socat_.err();
        return false;
    }
    return true;
}

bool SimOnDevice::start(const std::string& sim_exe, const std::string& device,
                        const std::vector<std::string>& options) {
    std::vector<std::string> argv{sim_exe, "--device", device};
    argv.insert(argv.end(), options.begin(), options.end());
    if (!process_.start(argv)) return false;
    return process_.wait_for_stderr("plx24-sim: unit ", milliseconds(10'000));
}

}  // namespace plx::testing
