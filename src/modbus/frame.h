#pragma once
// Framing of a request string (hex text without check sum) for the wire.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/framing.h"

namespace plx::modbus {

// ":" + request + LRC over the request's characters as two hex digits + CR LF.
std::string ascii_frame(std::string_view request_string);

// The request's digit pairs as bytes, then the CRC-16 low byte, then the high byte.
std::vector<std::uint8_t> rtu_frame(std::string_view request_string);

// The MBAP header (transaction, protocol 0, length) and the request's bytes, the unit id first.
std::vector<std::uint8_t> tcp_frame(std::string_view request_string, std::uint16_t transaction);

// The request as it goes on the wire in this framing; `transaction` is Modbus TCP's only.
std::vector<std::uint8_t> request_frame(std::string_view request_string, Framing framing,
                                        std::uint16_t transaction = 0);

}  // namespace plx::modbus
