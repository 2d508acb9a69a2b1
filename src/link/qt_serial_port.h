#pragma once
// The serial port on QSerialPort: real ports and pseudo-terminals (socat pairs in tests).

#include <memory>

#include "link/port_map.h"
#include "modbus/serial_port.h"

namespace plx::link {

class QtSerialPort : public modbus::SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    int comm_port() const override { return comm_port_; }
    void set_comm_port(int n) override { comm_port_ = n; }
    std::optional<modbus::PortError> set_settings(const std::string& settings) override;
    void set_input_mode(modbus::InputMode m) override { input_mode_ = m; }
    modbus::InputMode input_mode() const override { return input_mode_; }
    std::optional<modbus::PortError> set_port_open(bool open) override;
    bool port_open() const override;
    void output(std::span<const std::uint8_t> bytes) override;
    int in_buffer_count() override;
    std::vector<std::uint8_t> input() override;
    std::string device_name(int n) const override {
        return fixed_device_.empty() ? map_.device(n) : fixed_device_;
    }
    void set_device_lookup(std::function<std::string(int n)> lookup) override { map_.user_lookup = std::move(lookup); }
    // told from the event loop, so only where one runs
    bool tells_arrival() const override { return true; }
    Wait wait_on() const override;
    void descriptor_ready() override;
    // Every port number stands for this device (plx24ctl --device); empty: the port map again.
    void use_device(std::string device) { fixed_device_ = std::move(device); }
    void set_lost_handler(std::function<void(const modbus::PortError&)> handler) override;

  private:
    // counts the calls under way that may hear the line
    struct InCall {
        explicit InCall(int& depth) : depth_(depth) { ++depth_; }
        ~InCall() { --depth_; }
        InCall(const InCall&) = delete;
        InCall& operator=(const InCall&) = delete;
        int& depth_;
    };
    void arrived();

    // The device went away under the open port: close it now, tell the handler after this turn.
    void lose(const std::string& reason);
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int in_call_ = 0;
    bool told_later_ = false;
    // descriptor_ready is taking bytes in and tells of them itself
    bool taking_in_ = false;
    int comm_port_ = 1;
    std::string settings_ = "9600,N,8,1";
    modbus::InputMode input_mode_ = modbus::InputMode::text;
    PortMap map_;
    std::string fixed_device_;
};

// True when the device (after following links) is the slave side of a pseudo-terminal.
bool is_pseudo_terminal(const std::string& device);

}  // namespace plx::link
