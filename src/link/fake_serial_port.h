#pragma once
// In-memory serial port for tests: records what goes out, delivers what a test injects, and can be
// told to refuse opening or settings with a given code and reason.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/port_map.h"
#include "modbus/serial_port.h"

namespace plx::link {

class FakeSerialPort : public modbus::SerialPort {
public:
    int comm_port() const override { return comm_port_; }
    void set_comm_port(int n) override { comm_port_ = n; }
    std::optional<modbus::PortError> set_settings(const std::string& settings) override;
    void set_input_mode(modbus::InputMode m) override { input_mode_ = m; }
    modbus::InputMode input_mode() const override { return input_mode_; }
    std::optional<modbus::PortError> set_port_open(bool open) override;
    bool port_open() const override { return open_; }
    void output(std::span<const std::uint8_t> bytes) override;
    int in_buffer_count() override {
        ++reads_;
        return static_cast<int>(received_.size());
    }
    std::vector<std::uint8_t> input() override;
    std::string device_name(int n) const override { return map_.device(n); }
    void set_device_lookup(std::function<std::string(int n)> lookup) override { map_.user_lookup = std::move(lookup); }
    bool tells_arrival() const override { return tell_arrival; }
    void set_lost_handler(std::function<void(const modbus::PortError&)> handler) override {
        lost_handler_ = std::move(handler);
    }

    // test hooks
    // a port that tells of injected bytes, as one under an event loop does
    bool tell_arrival = false;
    void inject(std::span<const std::uint8_t> bytes);
    void inject(std::string_view text);
    // Everything written since the last call.
    std::vector<std::uint8_t> take_written();
    std::string take_written_text();
    const std::vector<std::uint8_t>& written() const { return written_; }
    // While set, every opening fails with this error (its device is filled in).
    std::optional<modbus::PortError> open_failure;
    // While set, every settings write fails with this error.
    std::optional<modbus::PortError> settings_failure;
    const std::string& settings() const { return settings_; }
    // The settings the line ran with when each frame went out, one entry per output() call.
    const std::vector<std::string>& output_settings() const { return output_settings_; }
    int open_count() const { return open_count_; }
    // The device goes away while open (an adapter unplugged): the port closes and says so.
    void vanish(const std::string& reason = "Input/output error");
    // How often the receive buffer was looked at (in_buffer_count and input).
    int reads() const { return reads_; }

  private:
    int comm_port_ = 1;
    std::string settings_ = "9600,N,8,1";
    modbus::InputMode input_mode_ = modbus::InputMode::text;
    bool open_ = false;
    int open_count_ = 0;
    std::vector<std::uint8_t> written_;
    std::size_t taken_ = 0;
    std::vector<std::string> output_settings_;
    std::deque<std::uint8_t> received_;
    PortMap map_;
    std::function<void(const modbus::PortError&)> lost_handler_;
    int reads_ = 0;
};

}  // namespace plx::link
