#include "link/port_failure.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <signal.h>
#include <unistd.h>
#endif

#include "lang/texts.h"

namespace plx::link {

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

std::string first_line_of(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return std::string(s);
}

bool alive(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// "minicom, PID 4711": the name the process gave itself, else the one the system knows it by
std::string named(long pid, std::string name) {
    if (name.empty()) name = trimmed(first_line_of(fs::path("/proc") / std::to_string(pid) / "comm"));
    const std::string id = "PID " + std::to_string(pid);
    return name.empty() ? id : name + ", " + id;
}

// The lock file names the serial libraries use: Qt's (the path as given, without "/dev/", slashes
// as underscores) and the UUCP one of the device's own name.
std::vector<std::string> lock_names(const std::string& device) {
    std::vector<std::string> names;
    const auto add = [&names](std::string path) {
        if (path.rfind("/dev/", 0) == 0) path.erase(0, 5);
        for (char& c : path) {
            if (c == '/') c = '_';
        }
        names.push_back("LCK.." + path);
    };
    add(device);
    std::error_code ec;
    const fs::path real = fs::canonical(device, ec);
    if (!ec && real.string() != device) add(real.string());
    if (!ec) names.push_back("LCK.." + real.filename().string());
    return names;
}

// A lock file (first line the process id, a Qt lock's second line the program's name) whose process
// still runs.
std::string lock_holder(const std::string& device) {
    std::vector<fs::path> folders = {"/var/lock",       "/run/lock", "/etc/locks", "/var/spool/locks",
                                     "/var/spool/uucp", "/tmp",      "/var/tmp",   "/var/lock/lockdev"};
    if (const char* tmp = std::getenv("TMPDIR")) folders.emplace_back(tmp);
    for (const fs::path& folder : folders) {
        for (const std::string& name : lock_names(device)) {
            std::ifstream in(folder / name);
            if (!in) continue;
            std::string pid_line;
            std::string program;
            std::getline(in, pid_line);
            std::getline(in, program);
            char* end = nullptr;
            const std::string pid_text = trimmed(pid_line);
            const long pid = std::strtol(pid_text.c_str(), &end, 10);
            if (end == pid_text.c_str() || !alive(pid)) continue;
            return named(pid, trimmed(program));
        }
    }
    return {};
}

// A process of this user (all of them for root) with the device open.
std::string descriptor_holder(const std::string& device) {
    std::error_code ec;
    const fs::path real = fs::canonical(device, ec);
    if (ec) return {};
    const long self = static_cast<long>(getpid());
    for (const auto& process : fs::directory_iterator("/proc", ec)) {
        const std::string pid_text = process.path().filename().string();
        if (pid_text.empty() || pid_text.find_first_not_of("0123456789") != std::string::npos) continue;
        const long pid = std::strtol(pid_text.c_str(), nullptr, 10);
        if (pid == self) continue;
        std::error_code fd_ec;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", fd_ec)) {
            std::error_code link_ec;
            if (fs::read_symlink(fd.path(), link_ec) == real && !link_ec) return named(pid, {});
        }
    }
    return {};
}

#endif

}  // namespace

modbus::PortCause refusal_cause(const std::string& device, std::string& holder) {
    holder.clear();
#ifdef _WIN32
    // Windows refuses a port another program holds with "access denied"; it knows no groups for them
    (void)device;
    return modbus::PortCause::busy;
#else
    std::error_code ec;
    if (device.empty() || !fs::exists(device, ec)) return modbus::PortCause::gone;
    holder = lock_holder(device);
    if (holder.empty()) holder = descriptor_holder(device);
    if (!holder.empty()) return modbus::PortCause::busy;
    if (access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) return modbus::PortCause::permission;
    return modbus::PortCause::busy;
#endif
}

TypedDevice check_typed_device(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (path.empty() || ec || !fs::exists(st)) return TypedDevice::missing;
#ifdef _WIN32
    return TypedDevice::device;
#else
    return fs::is_character_file(st) ? TypedDevice::device : TypedDevice::not_a_device;
#endif
}

std::string port_failure_advice(const modbus::PortError& e, const std::string& language_code) {
    using lang::Message;
    switch (e.cause) {
        case modbus::PortCause::other:
            return {};
        case modbus::PortCause::busy:
            return e.holder.empty() ? lang::message(Message::port_busy_unknown, language_code, {e.device})
                                    : lang::message(Message::port_busy, language_code, {e.device, e.holder});
        case modbus::PortCause::permission:
            return lang::message(Message::port_permission_hint, language_code);
        case modbus::PortCause::gone:
            return lang::message(Message::port_gone, language_code, {e.device});
    }
    return {};
}

}  // namespace plx::link
