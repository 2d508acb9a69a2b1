#include "sim/simulated_serial_port.h"

#include <charconv>
#include <sstream>
#include <utility>

namespace plx::sim {

namespace {

std::optional<int> number(const std::string& s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

std::optional<PortSettings> parse_port_settings(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) parts.push_back(part);
    if (parts.size() != 4 || parts[1].size() != 1) return std::nullopt;
    PortSettings s;
    const auto baud = number(parts[0]);
    const auto data = number(parts[2]);
    const auto stop = number(parts[3]);
    if (!baud || *baud <= 0 || !data || (*data != 7 && *data != 8) || !stop || (*stop != 1 && *stop != 2)) {
        return std::nullopt;
    }
    const char p = parts[1][0];
    if (p != 'E' && p != 'O' && p != 'N') return std::nullopt;
    s.baud = *baud;
    s.parity = p;
    s.data_bits = *data;
    s.stop_bits = *stop;
    return s;
}

SimulatedSerialPort::SimulatedSerialPort(Clock clock, link::SerialPort* real_ports, std::uint32_t seed)
    : clock_(std::move(clock)), real_ports_(real_ports), unit_(seed), slave_(unit_, SlaveSettings{}, seed) {}

void SimulatedSerialPort::set_comm_port(int n) {
    comm_port_ = n;
    if (real_ports_) real_ports_->set_comm_port(n);
}

std::optional<link::PortError> SimulatedSerialPort::set_settings(const std::string& settings) {
    std::optional<link::PortError> real_error;
    if (real_ports_) real_error = real_ports_->set_settings(settings);
    if (!on_simulated_port()) return real_error;
    const auto s = parse_port_settings(settings);
    if (!s) return link::PortError{no_such_port, device_name(comm_port_), "line settings '" + settings + "' refused"};
    // the demo unit speaks whatever the line is set for: ASCII on 7 data bits, RTU on 8
    slave_.set_mode(s->data_bits == 7 ? FrameMode::ascii : FrameMode::rtu);
    return std::nullopt;
}

void SimulatedSerialPort::set_input_mode(link::InputMode m) {
    input_mode_ = m;
    if (real_ports_) real_ports_->set_input_mode(m);
}

std::optional<link::PortError> SimulatedSerialPort::set_port_open(bool open) {
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
    return link::PortError{no_such_port, device_name(comm_port_), "only COM3 is connected in demo mode"};
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
