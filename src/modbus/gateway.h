#pragma once
// A gateway named as a device: "tcp://HOST[:PORT]" for Modbus TCP (the gateway converts: MBAP header,
// unit id = the serial address, no check sum; port 502 unless given), "rtu+tcp://HOST:PORT" for RTU
// frames passed through a TCP stream as they are (and "ascii+tcp://HOST:PORT" likewise).

#include <optional>
#include <string>
#include <string_view>

#include "modbus/framing.h"

namespace plx::modbus {

struct Gateway {
    Framing framing = Framing::tcp;  // tcp: Modbus TCP; rtu or ascii: those frames passed through
    std::string host;
    int port = 502;
    bool operator==(const Gateway&) const = default;
};

inline constexpr int kModbusTcpPort = 502;

// Nothing for a text that names no gateway (a serial device, say); a text with a gateway scheme but
// no host, a port out of 1..65535 or anything after the port is no gateway either.
std::optional<Gateway> gateway_of(std::string_view device);
// True when the text starts with a gateway's scheme, well-formed or not: it is not a serial device.
bool names_gateway(std::string_view device);
// The device text: "tcp://10.0.0.5:502", "rtu+tcp://gw:4001".
std::string device_text(const Gateway& g);
// "10.0.0.5:502"
std::string host_port(const Gateway& g);

}  // namespace plx::modbus
