#pragma once
// A Modbus TCP gateway in front of the simulated line, as the RS485-to-Ethernet gateways in a
// building's cabinets work: each MBAP request becomes an RTU request to the unit id on the line, one
// at a time; the unit's answer goes back under the request's transaction id; a unit that gives no
// valid answer within the gateway's wait gets exception 0B (gateway target device failed to
// respond). Transport-free: the TCP server and the tests drive it.

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "modbus/adu.h"
#include "sim/bus.h"

namespace plx::sim {

class MbapGateway {
  public:
    // the gateway's wait for a unit's answer, then 0B
    static constexpr std::chrono::milliseconds kDefaultWait{1000};

    MbapGateway(SimulatedBus& bus, std::chrono::milliseconds wait = kDefaultWait) : bus_(bus), wait_(wait) {}

    // Bytes from the client on `connection`.
    void receive(int connection, std::span<const std::uint8_t> bytes, std::chrono::milliseconds now);
    struct Out {
        int connection = 0;
        std::vector<std::uint8_t> bytes;
    };
    // The answers ready by `now`, each for the connection its request came on.
    std::vector<Out> take_due(std::chrono::milliseconds now);
    std::optional<std::chrono::milliseconds> next_due() const;
    // The connection has gone: its requests are dropped, an answer to it goes nowhere.
    void forget(int connection);

  private:
    struct Request {
        int connection = 0;
        std::uint16_t transaction = 0;
        modbus::Adu adu;
    };
    void forward(std::chrono::milliseconds now);
    void answer(const Request& r, const modbus::Adu& adu, std::vector<Out>& out);

    SimulatedBus& bus_;
    std::chrono::milliseconds wait_;
    std::map<int, std::vector<std::uint8_t>> inbound_;
    std::deque<Request> queue_;
    std::optional<Request> on_line_;
    std::chrono::milliseconds deadline_{0};
    std::vector<std::uint8_t> line_bytes_;
    std::uint16_t last_transaction_ = 0;
    std::size_t faults_before_ = 0;
};

}  // namespace plx::sim
