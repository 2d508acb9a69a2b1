#pragma once
// Several simulated units on one line, as on a site: each with its own address, factory image and
// response time, each answering only its own requests. Transport-free like the single slave: the pty
// server and the in-process bus port drive it the same way.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sim/slave.h"
#include "sim/unit.h"

namespace plx::sim {

// The image of the unit at `position` (0-based) on a simulated bus: the factory image with its slave
// address as location code and a variant by position, so units on one line differ as real ones do:
// the second is an 8-button unit, the fourth a 12-button and the fifth a 2-button one.
UnitTables bus_unit_tables(std::uint8_t address, std::size_t position);

// The response time of the unit at `position` when none is given: 20 ms, 25 ms, 30 ms, ...
std::chrono::milliseconds default_response_time(std::size_t position);

struct BusUnitSetup {
    std::uint8_t address = 1;
    std::optional<std::chrono::milliseconds> response_time;  // nothing: default_response_time
};

class SimulatedBus {
  public:
    // `common` gives mode, check sum form and fault timing; its address is replaced per unit.
    SimulatedBus(const std::vector<BusUnitSetup>& units, const SlaveSettings& common, std::uint32_t seed = 1);

    void receive(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now);
    // What the units have put on the line by `now`, in the order it went out.
    std::vector<std::uint8_t> take_due(std::chrono::milliseconds now);
    std::optional<std::chrono::milliseconds> next_due() const;
    void set_mode(modbus::Framing mode);

    std::size_t size() const { return units_.size(); }
    SimulatedUnit& unit(std::size_t i) { return units_[i]->unit; }
    SimulatedSlave& slave(std::size_t i) { return units_[i]->slave; }
    // the unit at a slave address, null for an address nobody has
    SimulatedSlave* slave_at(std::uint8_t address);
    // requests addressed to any unit of the bus
    std::size_t requests() const;

  private:
    struct Entry {
        Entry(UnitTables tables, const SlaveSettings& settings, std::uint32_t seed)
            : unit(seed, tables), slave(unit, settings, seed) {}
        SimulatedUnit unit;
        SimulatedSlave slave;
    };
    std::vector<std::unique_ptr<Entry>> units_;
};

}  // namespace plx::sim
