#include "link/fake_serial_port.h"

#include "modbus/line_settings.h"

namespace plx::link {

std::optional<modbus::PortError> FakeSerialPort::set_settings(const std::string& settings) {
    if (settings_failure) return settings_failure;
    if (!modbus::parse_settings_text(settings)) {
        return modbus::PortError{modbus::port_error::invalid_settings, map_.device(comm_port_), "invalid settings " + settings};
    }
    settings_ = settings;
    return std::nullopt;
}

std::optional<modbus::PortError> FakeSerialPort::set_port_open(bool open) {
    if (open == open_) return std::nullopt;
    if (open) {
        const std::string device = map_.device(comm_port_);
        if (device.empty()) return modbus::PortError{modbus::port_error::invalid_port, device, "no device for this port number"};
        if (open_failure) {
            modbus::PortError e = *open_failure;
            e.device = device;
            return e;
        }
        ++open_count_;
    }
    open_ = open;
    // the line's buffer does not outlive the opening
    received_.clear();
    return std::nullopt;
}

void FakeSerialPort::output(std::span<const std::uint8_t> bytes) {
    if (!open_) return;
    written_.insert(written_.end(), bytes.begin(), bytes.end());
    output_settings_.push_back(settings_);
}

std::vector<std::uint8_t> FakeSerialPort::input() {
    ++reads_;
    std::vector<std::uint8_t> out(received_.begin(), received_.end());
    received_.clear();
    return out;
}

void FakeSerialPort::vanish(const std::string& reason) {
    if (!open_) return;
    open_ = false;
    received_.clear();
    if (lost_handler_)
        lost_handler_(modbus::PortError{modbus::port_error::device_gone, map_.device(comm_port_), reason,
                                        modbus::PortCause::gone});
}

void FakeSerialPort::inject(std::span<const std::uint8_t> bytes) {
    if (!open_) return;
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    if (tell_arrival && on_arrival) on_arrival();
}

void FakeSerialPort::inject(std::string_view text) {
    if (!open_) return;
    for (char c : text) received_.push_back(static_cast<std::uint8_t>(c));
    if (tell_arrival && on_arrival) on_arrival();
}

std::vector<std::uint8_t> FakeSerialPort::take_written() {
    std::vector<std::uint8_t> out(written_.begin() + static_cast<std::ptrdiff_t>(taken_), written_.end());
    taken_ = written_.size();
    return out;
}

std::string FakeSerialPort::take_written_text() {
    const auto bytes = take_written();
    return {bytes.begin(), bytes.end()};
}

}  // namespace plx::link
