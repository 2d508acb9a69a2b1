#pragma once
// A gateway over TCP as the program's serial port (QTcpSocket): Modbus TCP or RTU frames through a
// TCP stream, the device a "tcp://" or "rtu+tcp://" text (modbus/gateway.h). Opening connects with a
// time-out; a connection the gateway closed (many close idle ones after a minute) is made anew
// before the next request goes out, once per request at most; every connect, close and reconnect
// is told through on_event.

#include <chrono>
#include <memory>
#include <string>

#include "modbus/gateway.h"
#include "modbus/serial_port.h"

namespace plx::link {

class QtNetworkPort : public modbus::SerialPort {
  public:
    // how long a connection may take to come about
    static constexpr std::chrono::milliseconds kConnectTimeout{3000};

    QtNetworkPort();
    ~QtNetworkPort() override;
    QtNetworkPort(const QtNetworkPort&) = delete;
    QtNetworkPort& operator=(const QtNetworkPort&) = delete;

    int comm_port() const override { return comm_port_; }
    void set_comm_port(int n) override { comm_port_ = n; }
    // a gateway's line settings are its own: the text is taken and changes nothing
    std::optional<modbus::PortError> set_settings(const std::string&) override { return std::nullopt; }
    void set_input_mode(modbus::InputMode m) override { input_mode_ = m; }
    modbus::InputMode input_mode() const override { return input_mode_; }
    std::optional<modbus::PortError> set_port_open(bool open) override;
    bool port_open() const override { return open_; }
    void output(std::span<const std::uint8_t> bytes) override;
    int in_buffer_count() override;
    std::vector<std::uint8_t> input() override;
    std::string device_name(int) const override { return device_; }
    // The gateway to talk to ("tcp://host:port"); taken at the next opening.
    void use_device(std::string device) { device_ = std::move(device); }

  private:
    std::optional<modbus::PortError> connect_now(bool again);
    // Takes in what came and notices a connection the far end has closed.
    void pump();
    void tell(modbus::LinkEvent event, const std::string& detail);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    int comm_port_ = 1;
    modbus::InputMode input_mode_ = modbus::InputMode::bytes;
    std::string device_;
    bool open_ = false;
    bool closed_told_ = false;
};

}  // namespace plx::link
