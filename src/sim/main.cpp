// plx24-sim: the simulated PLX24 unit on a pseudo-terminal or a serial device.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "modbus/line_settings.h"
#include "modbus/gateway.h"
#include "sim/bus.h"
#include "sim/gateway.h"
#include "sim/options.h"
#include "sim/serial_line.h"
#include "sim/slave.h"
#include "sim/tcp_listener.h"

namespace {

volatile sig_atomic_t stop_requested = 0;

void on_stop_signal(int) { stop_requested = 1; }

bool write_all(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, 100);
    }
    return true;
}

void log_bytes(const char* what, const std::vector<std::uint8_t>& bytes) {
    std::cerr << "plx24-sim: " << what << ' ' << plx::sim::to_hex(bytes) << '\n';
}

// Serves the bus to TCP clients until a stop is requested: as a Modbus TCP gateway (MBAP in, RTU on
// the line), or passing the line's frames through. Connections without a request for --close-idle
// are closed, as gateways do.
int serve_tcp(const plx::sim::SimOptions& o, plx::sim::TcpListener& listener, plx::sim::SimulatedBus& bus,
              const std::function<std::chrono::milliseconds()>& now, const sigset_t& during_wait,
              const std::function<bool()>& stop_pending) {
    using namespace std::chrono;
    const bool mbap = o.tcp_framing == plx::modbus::Framing::tcp;
    plx::sim::MbapGateway gateway(bus);
    std::map<int, milliseconds> connections;  // fd -> last request
    int last_sender = -1;
    std::vector<std::uint8_t> buffer(512);
    const auto drop = [&](int fd, const char* why) {
        if (o.verbose) std::cerr << "plx24-sim: connection " << fd << " " << why << '\n';
        ::close(fd);
        connections.erase(fd);
        gateway.forget(fd);
        if (last_sender == fd) last_sender = -1;
    };
    while (!stop_requested) {
        milliseconds wait{250};
        const auto due = mbap ? gateway.next_due() : bus.next_due();
        if (due) wait = std::max(milliseconds(0), std::min(wait, *due - now()));
        std::vector<pollfd> fds{{listener.fd(), POLLIN, 0}};
        for (const auto& [fd, last] : connections) fds.push_back({fd, POLLIN, 0});
        const timespec ts{0, static_cast<long>(wait.count()) * 1'000'000L};
        const int r = ppoll(fds.data(), fds.size(), &ts, &during_wait);
        if (r < 0 && errno != EINTR) {
            std::cerr << "plx24-sim: poll: " << std::strerror(errno) << '\n';
            return 1;
        }
        if (stop_pending()) break;
        if (r > 0 && (fds[0].revents & POLLIN) != 0) {
            while (const auto fd = listener.accept()) {
                connections[*fd] = now();
                if (o.verbose) std::cerr << "plx24-sim: connection " << *fd << " accepted\n";
            }
        }
        for (std::size_t i = 1; r > 0 && i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
            const int fd = fds[i].fd;
            const ssize_t n = read(fd, buffer.data(), buffer.size());
            if (n <= 0) {
                if (n == 0 || (errno != EAGAIN && errno != EINTR)) drop(fd, "closed by the client");
                continue;
            }
            const std::vector<std::uint8_t> got(buffer.begin(), buffer.begin() + n);
            if (o.verbose) log_bytes("<-", got);
            connections[fd] = now();
            if (mbap) {
                gateway.receive(fd, got, now());
            } else {
                last_sender = fd;
                bus.receive(got, now());
            }
        }
        std::vector<plx::sim::MbapGateway::Out> out;
        if (mbap) {
            out = gateway.take_due(now());
        } else if (auto bytes = bus.take_due(now()); !bytes.empty() && last_sender >= 0) {
            out.push_back({last_sender, std::move(bytes)});
        }
        for (const auto& o_ : out) {
            if (!connections.contains(o_.connection)) continue;
            if (o.verbose) log_bytes("->", o_.bytes);
            if (!write_all(o_.connection, o_.bytes)) drop(o_.connection, "lost on writing");
        }
        if (o.close_idle.count() > 0) {
            std::vector<int> idle;
            for (const auto& [fd, last] : connections) {
                if (now() - last >= o.close_idle) idle.push_back(fd);
            }
            for (int fd : idle) drop(fd, "closed after being idle");
        }
    }
    for (const auto& [fd, last] : connections) ::close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace plx::sim;
    const ParsedOptions parsed = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "plx24-sim: " << parsed.error << '\n';
        return 2;
    }
    const SimOptions& o = *parsed.options;
    if (o.help) {
        std::cout << usage_text();
        return 0;
    }

    SerialLine line;
    TcpListener listener;
    std::string error;
    const plx::modbus::LineSettings settings{o.baud, o.parity, o.mode};
    if (o.tcp) {
        if (!listener.listen(o.tcp_host, o.tcp_port, error)) {
            std::cerr << "plx24-sim: " << error << '\n';
            return 1;
        }
        const plx::modbus::Gateway g{o.tcp_framing, o.tcp_host.empty() ? "127.0.0.1" : o.tcp_host, listener.port()};
        std::cout << plx::modbus::device_text(g) << std::endl;
    } else {
        const bool opened = o.device ? line.open_device(*o.device, settings, error) : line.open_pty(error);
        if (!opened) {
            std::cerr << "plx24-sim: " << error << '\n';
            return 1;
        }
        if (!o.device) std::cout << line.path() << std::endl;
        if (!line.note().empty()) std::cerr << "plx24-sim: " << line.note() << '\n';
    }

    SlaveSettings common;
    // behind a Modbus TCP gateway the line is an RTU line
    common.mode = o.tcp && o.tcp_framing == plx::modbus::Framing::tcp ? plx::modbus::Framing::rtu
                  : o.tcp                                            ? o.tcp_framing
                                                                     : o.mode;
    common.lrc_form = o.lrc_form;
    common.slow_delay = o.slow_delay;
    common.split_gap = o.split_gap;
    common.any_framing = o.any_framing;
    std::vector<BusUnitSetup> setups;
    for (std::size_t n = 0; n < o.addresses.size(); ++n) {
        BusUnitSetup setup{o.addresses[n], {}};
        if (o.response_times.size() == 1) setup.response_time = o.response_times.front();
        if (o.response_times.size() == o.addresses.size()) setup.response_time = o.response_times[n];
        setups.push_back(setup);
    }
    SimulatedBus bus(setups, common, o.seed);
    // a unit's own faults before those of the whole line: the first rule that hits wins
    for (const auto& f : o.unit_faults) bus.slave_at(f.address)->faults().add(f.rule);
    for (std::size_t n = 0; n < bus.size(); ++n) {
        for (const auto& rule : o.faults) bus.slave(n).faults().add(rule);
    }
    const std::string_view mode_name = plx::modbus::mode_text(o.tcp ? o.tcp_framing : o.mode);
    const std::string where = o.tcp ? "TCP port " + std::to_string(listener.port()) : line.path();
    for (std::size_t n = 0; n < bus.size(); ++n) {
        std::cerr << "plx24-sim: unit " << int{bus.slave(n).settings().address} << ", " << mode_name << " on "
                  << where;
        if (bus.size() > 1) {
            const auto& c = bus.unit(n).tables().cfg_registers;
            std::cerr << " (" << c[2] << " buttons, response time " << bus.unit(n).min_response_time().count()
                      << " ms)";
        }
        std::cerr << '\n';
    }

    // signals arrive only inside ppoll, so a stop request is never lost between check and wait
    struct sigaction sa {};
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigset_t during_wait;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, &during_wait);
    sigdelset(&during_wait, SIGINT);
    sigdelset(&during_wait, SIGTERM);

    const auto start = std::chrono::steady_clock::now();
    auto now = [&start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    };
    // ppoll puts the blocking mask back before a signal is taken when it also reports a ready line,
    // so a stop request may wait as pending: look for it after every wait
    auto stop_pending = [] {
        sigset_t pending;
        sigpending(&pending);
        return sigismember(&pending, SIGINT) == 1 || sigismember(&pending, SIGTERM) == 1;
    };
    if (o.tcp) {
        const int rc = serve_tcp(o, listener, bus, now, during_wait, stop_pending);
        std::cerr << "plx24-sim: stopped after " << bus.requests() << " requests\n";
        return rc;
    }
    std::vector<std::uint8_t> buffer(512);
    while (!stop_requested) {
        if (line.fd() < 0) {
            // the far end is gone: look for the device again four times a second until it is back
            const timespec pause{0, 250'000'000L};
            ppoll(nullptr, 0, &pause, &during_wait);
            if (stop_requested || stop_pending()) break;
            std::string ignored;
            if (line.reopen(ignored)) std::cerr << "plx24-sim: " << line.path() << " is back\n";
            continue;
        }
        std::chrono::milliseconds wait{250};
        if (const auto due = bus.next_due()) wait = std::max(std::chrono::milliseconds(0), std::min(wait, *due - now()));
        const timespec ts{0, static_cast<long>(wait.count()) * 1'000'000L};
        pollfd p{line.fd(), POLLIN, 0};
        const int r = ppoll(&p, 1, &ts, &during_wait);
        if (r < 0 && errno != EINTR) {
            std::cerr << "plx24-sim: poll: " << std::strerror(errno) << '\n';
            return 1;
        }
        if (stop_pending()) break;
        bool far_end_gone =
            r > 0 && (p.revents & POLLIN) == 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
        if (r > 0 && (p.revents & POLLIN) != 0) {
            const ssize_t n = read(line.fd(), buffer.data(), buffer.size());
            if (n > 0) {
                const std::vector<std::uint8_t> got(buffer.begin(), buffer.begin() + n);
                if (o.verbose) log_bytes("<-", got);
                bus.receive(got, now());
            } else if (n == 0 || errno == EIO || errno == ENXIO || errno == ENODEV) {
                // end of file on a terminal: its far end was closed, or the device went away
                far_end_gone = true;
            } else if (errno != EAGAIN && errno != EINTR) {
                std::cerr << "plx24-sim: read from " << line.path() << ": " << std::strerror(errno) << '\n';
                return 1;
            }
        }
        if (far_end_gone) {
            if (line.own_pty()) {
                // a pty this program made cannot come back once it is gone: nothing more to serve
                std::cerr << "plx24-sim: " << line.path() << " was closed\n";
                break;
            }
            std::cerr << "plx24-sim: " << line.path() << " was closed; waiting for it to return\n";
            line.close_device();
            continue;
        }
        const auto out = bus.take_due(now());
        if (!out.empty()) {
            if (o.verbose) log_bytes("->", out);
            if (!write_all(line.fd(), out)) {
                std::cerr << "plx24-sim: write to " << line.path() << ": " << std::strerror(errno) << '\n';
                return 1;
            }
        }
    }
    std::cerr << "plx24-sim: stopped after " << bus.requests() << " requests\n";
    return 0;
}
