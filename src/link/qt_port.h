#pragma once
// The port of the real programs: the serial port behind "COMn" (QSerialPort), or, where the device
// names a gateway ("tcp://...", "rtu+tcp://..."), a TCP connection to it. Which one is chosen at
// each opening, from the device the port number stands for.

#include <string>

#include "link/qt_network_port.h"
#include "link/qt_serial_port.h"

namespace plx::link {

class QtPort : public modbus::SerialPort {
  public:
    QtPort();
    QtPort(const QtPort&) = delete;
    QtPort& operator=(const QtPort&) = delete;

    int comm_port() const override { return serial_.comm_port(); }
    void set_comm_port(int n) override;
    std::optional<modbus::PortError> set_settings(const std::string& settings) override;
    void set_input_mode(modbus::InputMode m) override;
    modbus::InputMode input_mode() const override { return serial_.input_mode(); }
    std::optional<modbus::PortError> set_port_open(bool open) override;
    bool port_open() const override { return active_->port_open(); }
    void output(std::span<const std::uint8_t> bytes) override { active_->output(bytes); }
    int in_buffer_count() override { return active_->in_buffer_count(); }
    std::vector<std::uint8_t> input() override { return active_->input(); }
    std::string device_name(int n) const override { return serial_.device_name(n); }
    bool tells_arrival() const override { return true; }
    Wait wait_on() const override { return active_->wait_on(); }
    void descriptor_ready() override { active_->descriptor_ready(); }
    void set_device_lookup(std::function<std::string(int n)> lookup) override;
    // A serial adapter can go away; a gateway's connection comes back by itself and says so by on_event.
    void set_lost_handler(std::function<void(const modbus::PortError& error)> handler) override {
        serial_.set_lost_handler(std::move(handler));
    }
    // Every port number stands for this device (plx24ctl --device).
    void use_device(std::string device) { serial_.use_device(std::move(device)); }

  private:
    QtSerialPort serial_;
    QtNetworkPort network_;
    modbus::SerialPort* active_ = &serial_;
};

}  // namespace plx::link
