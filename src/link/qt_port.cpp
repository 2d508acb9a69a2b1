#include "link/qt_port.h"

#include "modbus/gateway.h"

namespace plx::link {

QtPort::QtPort() {
    network_.on_event = [this](modbus::LinkEvent event, const std::string& detail) {
        if (on_event) on_event(event, detail);
    };
}

void QtPort::set_comm_port(int n) {
    serial_.set_comm_port(n);
    network_.set_comm_port(n);
}

std::optional<modbus::PortError> QtPort::set_settings(const std::string& settings) {
    // checked and kept by the serial port; a gateway keeps its own
    return modbus::names_gateway(device_name(comm_port())) ? network_.set_settings(settings)
                                                             : serial_.set_settings(settings);
}

void QtPort::set_input_mode(modbus::InputMode m) {
    serial_.set_input_mode(m);
    network_.set_input_mode(m);
}

void QtPort::set_device_lookup(std::function<std::string(int n)> lookup) {
    serial_.set_device_lookup(std::move(lookup));
}

std::optional<modbus::PortError> QtPort::set_port_open(bool open) {
    if (!open) return active_->set_port_open(false);
    if (active_->port_open()) return std::nullopt;
    const std::string device = device_name(comm_port());
    if (modbus::names_gateway(device)) {
        network_.use_device(device);
        active_ = &network_;
    } else {
        active_ = &serial_;
    }
    return active_->set_port_open(true);
}

}  // namespace plx::link
