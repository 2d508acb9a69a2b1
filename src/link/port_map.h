#pragma once
// Which device a port number stands for. The boxes show "COM1" .. "COM40"; the device behind
// entry COMn is found like this, the first match winning:
//
//   Windows     "COMn" itself.
//   elsewhere   1. the environment variable PLX24_PORT_MAP, e.g. "3=/dev/pts/7;4=/dev/ttyUSB1"
//                  (tests and one-off runs);
//               2. the user's own map, [Ports] COMn=/dev/... in the settings store, reached through
//                  the lookup hook the program wires;
//               3. the default: COM1 .. COM20 -> /dev/ttyUSB0 .. /dev/ttyUSB19 (USB-RS485 adapters,
//                  the usual way to reach the bus), COM21 .. COM40 -> /dev/ttyS0 .. /dev/ttyS19
//                  (on-board UARTs).
// A number outside 1 .. 40 stands for no device (empty text), but for the network entry after them,
// which stands for the gateway the user set ("tcp://...", "rtu+tcp://..."; modbus/gateway.h): from
// PLX24_PORT_MAP's entry 41 or the user's own map, and for nothing else.

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace plx::link {

inline constexpr int kMaxPortNumber = 40;
// the port box's entry after "COM40": a gateway over TCP
inline constexpr int kNetworkEntry = kMaxPortNumber + 1;

// The default device of port number n, empty outside 1 .. 40.
std::string default_device(int n);

// "3=/dev/pts/7;4=/dev/ttyUSB1;41=tcp://127.0.0.1:1502": entries with a number outside 1 .. 41, no
// "=" or an empty path are skipped; blanks around numbers and paths are ignored.
std::map<int, std::string> parse_port_map(std::string_view text);

class PortMap {
public:
    // The user's device for n, empty when the user has none.
    std::function<std::string(int n)> user_lookup;

    std::string device(int n) const;
};

}  // namespace plx::link
