#pragma once
// A serial port wired to an in-process simulated bus, on a clock the caller hands in: tests and
// benchmarks drive a whole site on a virtual clock. The bus keeps its own line settings; a master
// whose baud rate, parity or data bits differ hears nothing and is heard by no unit, as on a real line.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modbus/serial_port.h"
#include "modbus/line_settings.h"
#include "sim/bus.h"
#include "sim/simulated_serial_port.h"

namespace plx::sim {

class SimulatedBusPort : public modbus::SerialPort {
  public:
    using Clock = std::function<std::chrono::milliseconds()>;

    // `line`: the settings every unit of the bus uses, e.g. {9600, 'E', RTU} for RTU at 9600 8E1.
    SimulatedBusPort(SimulatedBus& bus, modbus::LineSettings line, Clock clock);

    int comm_port() const override { return comm_port_; }
    void set_comm_port(int n) override { comm_port_ = n; }
    std::optional<modbus::PortError> set_settings(const std::string& settings) override;
    void set_input_mode(modbus::InputMode m) override { input_mode_ = m; }
    modbus::InputMode input_mode() const override { return input_mode_; }
    std::optional<modbus::PortError> set_port_open(bool open) override;
    bool port_open() const override { return open_; }
    void output(std::span<const std::uint8_t> bytes) override;
    int in_buffer_count() override;
    std::vector<std::uint8_t> input() override;
    std::string device_name(int n) const override;

    // every byte the master wrote, in order
    const std::vector<std::uint8_t>& written() const { return written_; }

  private:
    bool matches() const;
    void pump();

    SimulatedBus& bus_;
    modbus::LineSettings line_;
    Clock clock_;
    std::optional<modbus::LineSettings> settings_;
    int comm_port_ = 1;
    modbus::InputMode input_mode_ = modbus::InputMode::text;
    bool open_ = false;
    std::vector<std::uint8_t> received_;
    std::vector<std::uint8_t> written_;
};

}  // namespace plx::sim
