#include "link/port_map.h"

#include <cstdlib>

#include "modbus/gateway.h"

namespace plx::link {

namespace {
std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}
}  // namespace

std::string default_device(int n) {
    if (n < 1 || n > kMaxPortNumber) return {};
#ifdef _WIN32
    return "COM" + std::to_string(n);
#else
    if (n <= 20) return "/dev/ttyUSB" + std::to_string(n - 1);
    return "/dev/ttyS" + std::to_string(n - 21);
#endif
}

std::map<int, std::string> parse_port_map(std::string_view text) {
    std::map<int, std::string> out;
    while (!text.empty()) {
        const auto end = text.find(';');
        const std::string_view entry = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

        const auto eq = entry.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view number = trim(entry.substr(0, eq));
        const std::string_view path = trim(entry.substr(eq + 1));
        if (number.empty() || number.size() > 2 || path.empty()) continue;
        int n = 0;
        bool digits = true;
        for (char c : number) {
            if (c < '0' || c > '9') digits = false;
            n = n * 10 + (c - '0');
        }
        if (!digits || n < 1 || n > kNetworkEntry) continue;
        out[n] = std::string(path);
    }
    return out;
}

std::string PortMap::device(int n) const {
    if (n == kNetworkEntry) {
        // the gateway, wherever the system: nothing else stands behind this entry
        std::string gateway;
        if (const char* env = std::getenv("PLX24_PORT_MAP")) {
            const auto map = parse_port_map(env);
            if (auto it = map.find(n); it != map.end()) gateway = it->second;
        }
        if (gateway.empty() && user_lookup) gateway = user_lookup(n);
        return modbus::names_gateway(gateway) ? gateway : std::string{};
    }
    if (n < 1 || n > kMaxPortNumber) return {};
#ifndef _WIN32
    if (const char* env = std::getenv("PLX24_PORT_MAP")) {
        const auto map = parse_port_map(env);
        if (auto it = map.find(n); it != map.end()) return it->second;
    }
    if (user_lookup) {
        std::string user = user_lookup(n);
        if (!user.empty()) return user;
    }
#endif
    return default_device(n);
}

}  // namespace plx::link
