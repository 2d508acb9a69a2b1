#include "sim/tcp_listener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plx::sim {

TcpListener::~TcpListener() {
    if (fd_ >= 0) ::close(fd_);
}

bool TcpListener::listen(const std::string& host, int port, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        error = "cannot listen on " + host + ":" + service + ": " + gai_strerror(rc);
        return false;
    }
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 8) == 0) {
            fd_ = fd;
            sockaddr_storage bound{};
            socklen_t len = sizeof bound;
            getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
            port_ = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                                : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
            break;
        }
        error = std::strerror(errno);
        ::close(fd);
    }
    freeaddrinfo(found);
    if (fd_ < 0) {
        error = "cannot listen on " + (host.empty() ? std::string("*") : host) + ":" + service + ": " + error;
        return false;
    }
    return true;
}

std::optional<int> TcpListener::accept() {
    const int fd = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    return fd;
}

}  // namespace plx::sim
