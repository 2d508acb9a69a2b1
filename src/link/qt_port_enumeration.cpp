#include "link/qt_port_enumeration.h"

#include <filesystem>
#include <system_error>

#include <QSerialPortInfo>

#include "link/qt_serial_port.h"

namespace plx::link {

namespace {

namespace fs = std::filesystem;

// /dev/serial/by-id holds one stable link per USB adapter, named after maker, model and serial number
std::string by_id_name(const std::string& device) {
    std::error_code ec;
    const fs::path dir("/dev/serial/by-id");
    if (!fs::is_directory(dir, ec)) return {};
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::error_code link_ec;
        if (fs::canonical(entry.path(), link_ec).string() == device && !link_ec) return entry.path().string();
    }
    return {};
}

}  // namespace

std::vector<PortInfo> QtPortEnumeration::ports() const {
    std::vector<PortInfo> out;
    for (const QSerialPortInfo& q : QSerialPortInfo::availablePorts()) {
        PortInfo p;
        p.device = q.systemLocation().toStdString();
        p.description = q.description().toStdString();
        p.manufacturer = q.manufacturer().toStdString();
        p.serial_number = q.serialNumber().toStdString();
        p.usb = q.hasVendorIdentifier();
#ifndef _WIN32
        p.by_id = by_id_name(p.device);
#endif
        out.push_back(std::move(p));
    }
    return out;
}

std::optional<PortInfo> QtPortEnumeration::probe(const std::string& device) const {
#ifdef _WIN32
    (void)device;
    return std::nullopt;
#else
    // only a pseudo-terminal: an on-board UART's node exists whether or not a port is behind it
    if (!is_pseudo_terminal(device)) return std::nullopt;
    PortInfo p;
    p.device = device;
    p.description = "Pseudo-Terminal " + resolve(device);
    return p;
#endif
}

std::string QtPortEnumeration::resolve(const std::string& device) const {
    std::error_code ec;
    const auto real = fs::canonical(device, ec);
    return ec ? device : real.string();
}

}  // namespace plx::link
