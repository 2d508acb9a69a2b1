#pragma once
// The POSIX side of plx24-sim --tcp: a listening TCP socket and the connections it accepts.

#include <optional>
#include <string>

namespace plx::sim {

class TcpListener {
  public:
    TcpListener() = default;
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;
    ~TcpListener();

    // Listens on HOST:PORT (all addresses when HOST is empty; PORT 0: one the system picks).
    bool listen(const std::string& host, int port, std::string& error);
    int fd() const { return fd_; }
    // the port listened on, the one picked included
    int port() const { return port_; }
    // A waiting connection, non-blocking; nothing when none waits.
    std::optional<int> accept();

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace plx::sim
