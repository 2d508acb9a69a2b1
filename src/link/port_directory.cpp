#include "link/port_directory.h"

#include <algorithm>

#include "link/port_map.h"

namespace plx::link {

std::optional<PortInfo> FakePortEnumeration::probe(const std::string& device) const {
    const auto it = extra.find(resolve(device));
    if (it == extra.end()) return std::nullopt;
    return it->second;
}

std::string FakePortEnumeration::resolve(const std::string& device) const {
    const auto it = links.find(device);
    return it == links.end() ? device : it->second;
}

std::string port_summary(const PortInfo& p) {
    std::string s = p.description;
    auto add = [&s](const std::string& part) {
        if (part.empty() || s.find(part) != std::string::npos) return;
        s += (s.empty() ? "" : ", ") + part;
    };
    add(p.manufacturer);
    if (!p.serial_number.empty()) add("S/N " + p.serial_number);
    return s;
}

void PortDirectory::set_run_device(int n, const std::string& device) {
    if (n < 1 || n > kMaxPortNumber) return;
    if (device.empty()) {
        run_map_.erase(n);
    } else {
        run_map_[n] = device;
    }
}

void PortDirectory::refresh() {
    present_ = enumeration_ ? enumeration_->ports() : std::vector<PortInfo>{};
    user_entries_.clear();
    if (!user_map) return;
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        std::string device = user_map(n);
        if (!device.empty()) user_entries_[n] = std::move(device);
    }
}

bool PortDirectory::same_port(const std::string& device, const PortInfo& port) const {
    if (device.empty()) return false;
    if (device == port.device || (!port.by_id.empty() && device == port.by_id)) return true;
    if (!enumeration_) return false;
    const std::string real = enumeration_->resolve(device);
    return real == port.device || real == enumeration_->resolve(port.device);
}

std::optional<PortInfo> PortDirectory::one_adapter() const {
    const PortInfo* adapter = nullptr;
    for (const PortInfo& p : present_) {
        if (!p.usb) continue;
        if (adapter) return std::nullopt;  // two or more: the engineer has to say which
        adapter = &p;
    }
    if (!adapter) return std::nullopt;
    // an adapter the user has put on an entry of their own stays there
    for (const auto& [n, device] : user_entries_) {
        if (same_port(device, *adapter)) return std::nullopt;
    }
    return *adapter;
}

std::string PortDirectory::assigned(int n) const {
    // the network entry has no run map and no adapter: the user's gateway alone
    if (n == kNetworkEntry) return user_map ? user_map(n) : std::string{};
#ifdef _WIN32
    (void)n;
    return {};
#else
    if (const auto it = run_map_.find(n); it != run_map_.end()) return it->second;
    if (user_map) {
        std::string user = user_map(n);
        if (!user.empty()) return user;
    }
    if (n == kStartupEntry) {
        if (const auto adapter = one_adapter()) return adapter->device;
    }
    return {};
#endif
}

std::optional<PortInfo> PortDirectory::present_port(const std::string& device) const {
    if (device.empty()) return std::nullopt;
    for (const PortInfo& p : present_) {
        if (same_port(device, p)) return p;
    }
    if (enumeration_) return enumeration_->probe(device);
    return std::nullopt;
}

std::vector<int> PortDirectory::entries_of(const PortInfo& port,
                                           const std::function<std::string(int n)>& device_of) const {
    std::vector<int> out;
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        if (same_port(device_of(n), port)) out.push_back(n);
    }
    return out;
}

bool PortDirectory::assign(int n, const PortInfo& port) {
    if (n < 1 || n > kMaxPortNumber || !store_user_map) return false;
    const std::string& device = port.by_id.empty() ? port.device : port.by_id;
    if (device.empty() || !store_user_map(n, device)) return false;
    // an entry chosen in this run on the command line gives way to the engineer's choice
    run_map_.erase(n);
    refresh();
    return true;
}

}  // namespace plx::link
