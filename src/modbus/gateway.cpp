#include "modbus/gateway.h"

#include <array>
#include <utility>

namespace plx::modbus {

namespace {

struct Scheme {
    std::string_view prefix;
    Framing framing;
    bool port_required;
};

constexpr std::array kSchemes{
    Scheme{"tcp://", Framing::tcp, false},
    Scheme{"rtu+tcp://", Framing::rtu, true},
    Scheme{"ascii+tcp://", Framing::ascii, true},
};

const Scheme* scheme_of(std::string_view device) {
    for (const Scheme& s : kSchemes) {
        if (device.substr(0, s.prefix.size()) == s.prefix) return &s;
    }
    return nullptr;
}

std::string_view scheme_text(Framing f) {
    for (const Scheme& s : kSchemes) {
        if (s.framing == f) return s.prefix;
    }
    return "tcp://";
}

}  // namespace

bool names_gateway(std::string_view device) {
    return scheme_of(device) != nullptr;
}

std::optional<Gateway> gateway_of(std::string_view device) {
    const Scheme* s = scheme_of(device);
    if (s == nullptr) return std::nullopt;
    std::string_view rest = device.substr(s->prefix.size());
    Gateway g;
    g.framing = s->framing;
    // an IPv6 address goes in brackets, as in a URL
    std::string_view port_text;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        g.host = std::string(rest.substr(1, close - 1));
        rest = rest.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port_text = rest.substr(1);
        }
    } else {
        const auto colon = rest.find(':');
        g.host = std::string(rest.substr(0, colon));
        if (colon != std::string_view::npos) port_text = rest.substr(colon + 1);
    }
    if (g.host.empty() || g.host.find_first_of("/ ") != std::string::npos) return std::nullopt;
    if (port_text.empty()) {
        if (s->port_required || rest.find(':') != std::string_view::npos) return std::nullopt;
        g.port = kModbusTcpPort;
        return g;
    }
    if (port_text.size() > 5) return std::nullopt;
    int port = 0;
    for (char c : port_text) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    g.port = port;
    return g;
}

std::string host_port(const Gateway& g) {
    const bool v6 = g.host.find(':') != std::string::npos;
    return (v6 ? "[" + g.host + "]" : g.host) + ":" + std::to_string(g.port);
}

std::string device_text(const Gateway& g) {
    return std::string(scheme_text(g.framing)) + host_port(g);
}

}  // namespace plx::modbus
