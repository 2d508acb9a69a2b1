#pragma once
// A socat pseudo-terminal pair for tests: side a for the program, side b for the test's peer.

#include <cstdint>
#include <string>
#include <vector>

namespace plx::link::testing {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Empty when socat could not be started or its links did not appear.
    const std::string& error() const { return error_; }
    std::string a;  // the program's side
    std::string b;  // the peer's side

    // The peer: raw, non-blocking, opened on b.
    bool peer_write(const std::vector<std::uint8_t>& bytes);
    // Reads until n bytes have come or the line stays quiet for quiet_ms.
    std::vector<std::uint8_t> peer_read(std::size_t n, int quiet_ms = 2000);
    // Ends socat: side a hangs up, as a serial adapter pulled out does.
    void hang_up();

private:
    std::string dir_;
    int pid_ = -1;
    int peer_fd_ = -1;
    std::string error_;
};

// Waits (really) for the line to deliver: calls ready() until true or about two seconds pass.
template <class F>
bool wait_until(F&& ready);
bool sleep_a_moment();

template <class F>
bool wait_until(F&& ready) {
    for (int i = 0; i < 400; ++i) {
        if (ready()) return true;
        sleep_a_moment();
    }
    return ready();
}

}  // namespace plx::link::testing
