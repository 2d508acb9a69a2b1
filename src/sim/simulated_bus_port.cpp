#include "sim/simulated_bus_port.h"

#include <utility>

namespace plx::sim {

SimulatedBusPort::SimulatedBusPort(SimulatedBus& bus, modbus::LineSettings line, Clock clock)
    : bus_(bus), line_(line), clock_(std::move(clock)) {}

std::optional<modbus::PortError> SimulatedBusPort::set_settings(const std::string& settings) {
    const auto s = modbus::parse_settings_text(settings);
    if (!s)
        return modbus::PortError{modbus::port_error::invalid_settings, device_name(comm_port_),
                               "invalid settings " + settings};
    pump();
    settings_ = s;
    return std::nullopt;
}

std::optional<modbus::PortError> SimulatedBusPort::set_port_open(bool open) {
    if (open && !open_) {
        // what the units said while the port was closed is gone
        bus_.take_due(clock_());
        received_.clear();
    }
    open_ = open;
    return std::nullopt;
}

bool SimulatedBusPort::matches() const {
    return settings_ == line_;
}

void SimulatedBusPort::output(std::span<const std::uint8_t> bytes) {
    if (!open_) return;
    written_.insert(written_.end(), bytes.begin(), bytes.end());
    pump();
    if (matches()) bus_.receive(bytes, clock_());
}

void SimulatedBusPort::pump() {
    const auto due = bus_.take_due(clock_());
    if (open_ && matches()) received_.insert(received_.end(), due.begin(), due.end());
}

int SimulatedBusPort::in_buffer_count() {
    if (!open_) return 0;
    pump();
    return static_cast<int>(received_.size());
}

std::vector<std::uint8_t> SimulatedBusPort::input() {
    if (!open_) return {};
    pump();
    return std::exchange(received_, {});
}

std::string SimulatedBusPort::device_name(int n) const {
    return "simulated bus (COM" + std::to_string(n) + ")";
}

}  // namespace plx::sim
