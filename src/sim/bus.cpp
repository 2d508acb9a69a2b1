#include "sim/bus.h"

namespace plx::sim {

namespace {

constexpr std::size_t kButtonCount = 2;
constexpr std::size_t kLocationCode = 3;
constexpr std::size_t kFirstButtonFunction = 8;
constexpr std::size_t kFirstLedFunction = 20;

}  // namespace

UnitTables bus_unit_tables(std::uint8_t address, std::size_t position) {
    UnitTables t = factory_tables();
    auto& c = t.cfg_registers;
    c[kLocationCode] = address;
    c[regmap::response_time_register] = static_cast<std::uint16_t>(default_response_time(position).count());
    switch (position % 5) {
        case 1:
            // T5 .. T8 switch their own LEDs through the input bits
            c[kButtonCount] = 8;
            for (std::size_t n = 0; n < 4; ++n) {
                c[kFirstButtonFunction + 4 + n] = static_cast<std::uint16_t>(3 + n);
                c[kFirstLedFunction + n] = 0;
            }
            break;
        case 3:
            c[kButtonCount] = 12;
            for (std::size_t n = 0; n < 8; ++n)
                c[kFirstButtonFunction + 4 + n] = static_cast<std::uint16_t>(3 + n);
            break;
        case 4:
            c[kButtonCount] = 2;
            c[kFirstButtonFunction + 2] = 0;
            c[kFirstButtonFunction + 3] = 0;
            break;
        default:
            break;
    }
    return t;
}

std::chrono::milliseconds default_response_time(std::size_t position) {
    return std::chrono::milliseconds(20 + 5 * static_cast<long>(position % 50));
}

SimulatedBus::SimulatedBus(const std::vector<BusUnitSetup>& units,
                           const SlaveSettings& common,
                           std::uint32_t seed) {
    for (std::size_t n = 0; n < units.size(); ++n) {
        const BusUnitSetup& setup = units[n];
        UnitTables tables = bus_unit_tables(setup.address, n);
        if (setup.response_time) {
            tables.cfg_registers[regmap::response_time_register] =
                static_cast<std::uint16_t>(setup.response_time->count());
        }
        SlaveSettings settings = common;
        settings.address = setup.address;
        // each unit its own random walk and fault draws
        units_.push_back(std::make_unique<Entry>(tables, settings, seed + static_cast<std::uint32_t>(n)));
    }
}

void SimulatedBus::receive(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now) {
    // every unit hears the whole line and keeps what is addressed to it
    for (auto& e : units_) e->slave.receive(bytes, now);
}

std::vector<std::uint8_t> SimulatedBus::take_due(std::chrono::milliseconds now) {
    std::vector<std::uint8_t> out;
    for (;;) {
        Entry* first = nullptr;
        auto due = std::chrono::milliseconds::max();
        for (auto& e : units_) {
            const auto d = e->slave.next_due();
            if (d && *d <= now && *d < due) {
                due = *d;
                first = e.get();
            }
        }
        if (first == nullptr) return out;
        const auto bytes = first->slave.take_due(due);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
}

std::optional<std::chrono::milliseconds> SimulatedBus::next_due() const {
    std::optional<std::chrono::milliseconds> due;
    for (const auto& e : units_) {
        const auto d = e->slave.next_due();
        if (d && (!due || *d < *due)) due = d;
    }
    return due;
}

void SimulatedBus::set_mode(modbus::Framing mode) {
    for (auto& e : units_) e->slave.set_mode(mode);
}

SimulatedSlave* SimulatedBus::slave_at(std::uint8_t address) {
    for (auto& e : units_) {
        if (e->slave.settings().address == address) return &e->slave;
    }
    return nullptr;
}

std::size_t SimulatedBus::requests() const {
    std::size_t n = 0;
    for (const auto& e : units_) n += e->slave.counters().requests;
    return n;
}

}  // namespace plx::sim
