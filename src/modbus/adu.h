#pragma once
// The content of one frame, whatever its framing: slave address, function code and the data after
// it, without check sum.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "modbus/framing.h"

namespace plx::modbus {

struct Adu {
    std::uint8_t address = 0;
    std::uint8_t function = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const Adu&) const = default;
};

// The PDU: function code and data.
std::vector<std::uint8_t> pdu_of(const Adu& adu);
// An ADU of this address carrying a PDU (function code and data); an empty PDU gives function 0.
Adu adu_with_pdu(std::uint8_t address, std::span<const std::uint8_t> pdu);

// Address, function and data as they go on the wire.
std::vector<std::uint8_t> adu_bytes(const Adu& adu);
// The first bytes as an ADU: address, function, the rest as data; nothing below two bytes.
std::optional<Adu> adu_from_bytes(std::span<const std::uint8_t> bytes);

// The content of a whole frame as it travels (RTU: the bytes with the CRC last; ASCII: ":", hex
// digits with the LRC last, CR LF); the check sum is not judged. Nothing for what is no frame.
std::optional<Adu> adu_of(std::span<const std::uint8_t> frame, Framing framing);
// The content of a request string (hex text without check sum).
std::optional<Adu> adu_of_request(std::string_view request_string);

// The slave address a whole received frame carries (RTU: its first byte; ASCII: the two digits after
// ":"); nothing when the bytes do not tell.
std::optional<int> frame_slave(std::span<const std::uint8_t> frame, Framing framing);

}  // namespace plx::modbus
