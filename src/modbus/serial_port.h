#pragma once
// The serial port as the program uses it: exactly the operations of the communications control.
// Backends: QSerialPort (qt_serial_port.h, real ports and ptys), a TCP connection to a gateway
// (qt_network_port.h), FakeSerialPort (tests), and the simulator's in-process port.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "modbus/diagnostics.h"

namespace plx::modbus {

enum class InputMode {
    text = 0,
    bytes = 1,
};

// Error codes of the backends, shown after "COM-Port not available, ".
namespace port_error {
inline constexpr int invalid_settings = 380;   // the settings text is not baud,parity,data,stop
inline constexpr int invalid_port = 8002;      // no device for the number, or the device does not exist
inline constexpr int port_in_use = 8005;       // busy, or the user may not use the device
inline constexpr int open_failed = 8010;       // any other refusal to open
inline constexpr int settings_refused = 8015;  // the device refused the line settings
inline constexpr int device_gone = 8020;       // the device went away while the port was open
}  // namespace port_error

// What the engineer can do about a refused opening depends on why it was refused.
enum class PortCause {
    other,
    busy,        // another program holds the device
    permission,  // this user may not use it
    gone,        // the device is not there
};

struct PortError {
    int code = 0;                        // shown to the user after "COM-Port not available, "
    std::string device;                  // the device the port number stands for
    std::string reason;                  // the system's words, for the second line of the message
    PortCause cause = PortCause::other;  // the message adds what the user can do
    std::string holder{};                // busy: the program holding it, where the system says
};

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // CommPort: takes effect at the next opening; written only while the port is closed.
    virtual int comm_port() const = 0;
    virtual void set_comm_port(int n) = 0;
    // Settings such as "9600,E,7,1"; also takes effect at once while the port is open.
    virtual std::optional<PortError> set_settings(const std::string& settings) = 0;
    virtual void set_input_mode(InputMode m) = 0;
    virtual InputMode input_mode() const = 0;
    virtual std::optional<PortError> set_port_open(bool open) = 0;
    virtual bool port_open() const = 0;
    // All bytes go on the wire in order, none added or translated.
    virtual void output(std::span<const std::uint8_t> bytes) = 0;
    // Received bytes waiting, not yet taken.
    virtual int in_buffer_count() = 0;
    // All waiting data in arrival order; afterwards the receive buffer is empty.
    virtual std::vector<std::uint8_t> input() = 0;
    // The device that port number n stands for, shown to the user.
    virtual std::string device_name(int n) const = 0;
    // The user's own device for port number n (empty: none), consulted before the defaults.
    virtual void set_device_lookup(std::function<std::string(int n)> lookup) { (void)lookup; }
    // Told once when the device goes away while the port is open (an adapter unplugged, its node
    // gone, a read or write failing): the backend has closed the port by then, and never calls it
    // from inside one of the operations above. A backend whose device cannot go away ignores it.
    virtual void set_lost_handler(std::function<void(const PortError& error)> handler) { (void)handler; }

    // A transport with connections (a gateway over TCP) tells here when one came, went or came
    // back; the engine hands it on to its observer.
    std::function<void(LinkEvent event, const std::string& detail)> on_event;

    // A port that hears the line from an event loop says so, and calls on_arrival whenever bytes have
    // come in; whoever reads them then need not look at the port by the clock.
    virtual bool tells_arrival() const { return false; }
    std::function<void()> on_arrival;

    // How a loop of its own may sleep until this port has news: on a file descriptor (a serial
    // device), on nothing (closed, or holding all it may hold), or only in Qt's event loop (a
    // gateway's connection, and any port that does not say otherwise). When the descriptor is
    // readable or hung up, that loop calls descriptor_ready: the port takes in what came and calls
    // on_arrival, or finds the device gone and tells its lost handler.
    struct Wait {
        bool event_loop = true;
        int descriptor = -1;
    };
    virtual Wait wait_on() const { return {}; }
    virtual void descriptor_ready() {}
};

}  // namespace plx::modbus
