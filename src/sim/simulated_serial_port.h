#pragma once
// The serial port of demo mode: port number 3 (COM3, the tool's start-up choice) is wired to an
// in-process simulated unit; every other number goes to the real port behind it, if one is given.
// Time comes from a clock that the port reads whenever the program looks at the receive buffer, so
// the program's own reception poll drives the unit (a virtual clock in tests).

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modbus/serial_port.h"
#include "sim/slave.h"
#include "sim/unit.h"

namespace plx::sim {

class SimulatedSerialPort : public modbus::SerialPort {
public:
    using Clock = std::function<std::chrono::milliseconds()>;
    static constexpr int simulated_port = 3;
    // the code a failed opening reports for a port that has no device behind it
    static constexpr int no_such_port = 8002;

    explicit SimulatedSerialPort(Clock clock, modbus::SerialPort* real_ports = nullptr, std::uint32_t seed = 1);

    int comm_port() const override { return comm_port_; }
    void set_comm_port(int n) override;
    std::optional<modbus::PortError> set_settings(const std::string& settings) override;
    void set_input_mode(modbus::InputMode m) override;
    modbus::InputMode input_mode() const override { return input_mode_; }
    std::optional<modbus::PortError> set_port_open(bool open) override;
    bool port_open() const override;
    void output(std::span<const std::uint8_t> bytes) override;
    int in_buffer_count() override;
    std::vector<std::uint8_t> input() override;
    std::string device_name(int n) const override;

    SimulatedUnit& unit() { return unit_; }
    SimulatedSlave& slave() { return slave_; }

private:
    bool on_simulated_port() const { return comm_port_ == simulated_port; }
    void pump();

    Clock clock_;
    modbus::SerialPort* real_ports_;
    SimulatedUnit unit_;
    SimulatedSlave slave_;
    int comm_port_ = 1;
    modbus::InputMode input_mode_ = modbus::InputMode::text;
    bool open_ = false;
    std::vector<std::uint8_t> received_;
};

}  // namespace plx::sim
