#include "sim/simulated_serial_port.h"

#include "modbus/line_settings.h"

#include <utility>

namespace plx::sim {

SimulatedSerialPort::SimulatedSerialPort(Clock clock, modbus::SerialPort* real_ports, std::uint32_t seed)
    : clock_(std::move(clock)), real_ports_(real_ports), unit_(seed), slave_(unit_, SlaveSettings{}, seed) {}

void SimulatedSerialPort::set_comm_port(int n) {
    comm_port_ = n;
    if (real_ports_) real_ports_->set_comm_port(n);
}

std::optional<modbus::PortError> SimulatedSerialPort::set_settings(const std::string& settings) {
    std::optional<modbus::PortError> real_error;
    if (real_ports_) real_error = real_ports_->set_settings(settings);
    if (!on_simulated_port()) return real_error;
    const auto s = modbus::parse_settings_text(settings);
    if (!s) return modbus::PortError{no_such_port, device_name(comm_port_), "line settings '" + settings + "' refused"};
    // the demo unit speaks whatever the line is set for: ASCII on 7 data bits, RTU on 8
    slave_.set_mode(s->framing);
    return std::nullopt;
}

void SimulatedSerialPort::set_input_mode(modbus::InputMode m) {
    input_mode_ = m;
    if (real_ports_) real_ports_->set_input_mode(m);
}

std::optional<modbus::PortError> SimulatedSerialPort::set_port_open(bool open) {
    if (on_simulated_port()) {
        if (open && !open_) {
            // what the unit still had to say belongs to a line that has been closed since
            slave_.take_due(std::chrono::milliseconds::max());
            received_.clear();
        }
        open_ = open;
        return std::nullopt;
    }
    // a switch to another port number closes the simulated line first
    open_ = false;
    if (real_ports_) return real_ports_->set_port_open(open);
    if (!open) return std::nullopt;
    return modbus::PortError{no_such_port, device_name(comm_port_), "only COM3 is connected in demo mode"};
}

bool SimulatedSerialPort::port_open() const {
    if (on_simulated_port()) return open_;
    return real_ports_ && real_ports_->port_open();
}

void SimulatedSerialPort::output(std::span<const std::uint8_t> bytes) {
    if (!on_simulated_port()) {
        if (real_ports_) real_ports_->output(bytes);
        return;
    }
    if (!open_) return;
    pump();
    slave_.receive(bytes, clock_());
}

void SimulatedSerialPort::pump() {
    const auto due = slave_.take_due(clock_());
    received_.insert(received_.end(), due.begin(), due.end());
}

int SimulatedSerialPort::in_buffer_count() {
    if (!on_simulated_port()) return real_ports_ ? real_ports_->in_buffer_count() : 0;
    if (!open_) return 0;
    pump();
    return static_cast<int>(received_.size());
}

std::vector<std::uint8_t> SimulatedSerialPort::input() {
    if (!on_simulated_port()) return real_ports_ ? real_ports_->input() : std::vector<std::uint8_t>{};
    if (!open_) return {};
    pump();
    return std::exchange(received_, {});
}

std::string SimulatedSerialPort::device_name(int n) const {
    // the same in either language: the program that plays the unit
    if (n == simulated_port) return "plx24-sim (Demo)";
    if (real_ports_) return real_ports_->device_name(n);
    return "COM" + std::to_string(n);
}

}  // namespace plx::sim
