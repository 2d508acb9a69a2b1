// The bus layer against several simulated units on one line, on a virtual clock: the scan finds
// exactly the units there are, a batch write reports each unit as it fared, a read-out compares equal
// to the unit it came from, and no unit gets requests faster than its response time allows.

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "bus/scan.h"
#include "bus/unit_job.h"
#include "controls/timer.h"
#include "sim/bus.h"
#include "sim/faults.h"
#include "sim/simulated_bus_port.h"

namespace plx::bus {
namespace {

using std::chrono::milliseconds;

struct Rig : modbus::Observer {
    Rig(modbus::Framing mode, std::vector<sim::BusUnitSetup> units)
        : bus(units, sim::SlaveSettings{mode}),
          port(bus, {9600, 'E', mode}, [this] { return clock.now(); }),
          engine(port, clock) {
        engine.observe(this);
    }
    // Runs the clock until `finished` says so, at most `limit` of virtual time.
    template <class F>
    void run_until(F finished, milliseconds limit = milliseconds(600'000)) {
        for (milliseconds t{0}; t < limit && !finished(); t += milliseconds(10))
            clock.advance(milliseconds(10));
        ASSERT_TRUE(finished()) << "did not finish within " << limit.count() << " ms of virtual time";
    }
    void frame_sent(const modbus::SentFrame& f) override { sent[f.bytes[0]].push_back(f.at); }
    void received(const modbus::Reception&) override {}

    controls::VirtualClock clock;
    sim::SimulatedBus bus;
    sim::SimulatedBusPort port;
    modbus::Engine engine;
    std::map<int, std::vector<milliseconds>> sent;  // RTU: by slave address
};

modbus::LineSettings line_of(modbus::Framing mode) {
    return {9600, 'E', mode};
}

// One row per way a unit shows itself: in the first byte's window, or outside it for the second look.
struct ScanCase {
    const char* name;
    std::vector<sim::BusUnitSetup> units;
    // the fault on the first answer of the first unit, if any (then only the right line is probed)
    std::optional<sim::FaultKind> first_answer;
    std::map<int, bool> found;  // address -> found by the second look only
    std::size_t second_looks;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class Scan : public ::testing::TestWithParam<std::tuple<ScanCase, modbus::Framing>> {};

TEST_P(Scan, FindsExactlyTheUnitsOnTheLine) {
    const auto& [c, mode] = GetParam();
    Rig rig(mode, c.units);
    if (c.first_answer) rig.bus.slave(0).faults().inject_next(*c.first_answer);
    Scanner scanner(rig.engine);
    ScanPlan plan;
    const modbus::LineSettings right = line_of(mode);
    modbus::LineSettings wrong = right;
    wrong.parity = 'N';
    plan.lines = {wrong, right};
    if (c.first_answer) plan.lines = {right};
    for (int a = 1; a <= 247; ++a) plan.addresses.push_back(a);
    std::optional<ScanOutcome> outcome;
    scanner.start(plan, [&](const ScanOutcome& o) { outcome = o; });
    rig.run_until([&] { return outcome.has_value(); });

    std::map<int, bool> found;
    for (const FoundUnit& u : outcome->units) {
        EXPECT_EQ(u.line, right) << u.address;
        EXPECT_TRUE(found.emplace(u.address, u.slow).second) << "found twice: " << u.address;
    }
    EXPECT_EQ(found, c.found);
    if (found.contains(1)) {
        const FoundUnit& first = outcome->units.front();
        EXPECT_EQ(first.buttons, 4);
        EXPECT_EQ(first.device_coding, 24);
        EXPECT_EQ(first.firmware, 112);
    }
    EXPECT_FALSE(outcome->cancelled);
    EXPECT_EQ(outcome->probes, plan.lines.size() * 247u + c.second_looks);
}

const ScanCase kScanCases[] = {
    // 5 has 8 buttons; 247 is the last address probed
    {"in_the_window", {{1, {}}, {5, {}}, {247, {}}}, {}, {{1, false}, {5, false}, {247, false}}, 0},
    // 17's answer comes during a later probe: a frame under its address
    {"late_answer", {{1, {}}, {17, milliseconds(400)}}, {}, {{1, false}, {17, true}}, 1},
    // 9's answer, late and cut short, is only bytes after its silent probe; they fell into 10's
    // window, so 10 gets a second look as well
    {"bytes_after_silence", {{9, milliseconds(80)}}, sim::FaultKind::truncated, {{9, true}}, 2},
    // 30's answer comes just after its window, whole, while 31 is probed
    {"frame_from_another_address", {{30, milliseconds(60)}, {120, {}}}, {}, {{30, true}, {120, false}}, 1},
};

INSTANTIATE_TEST_SUITE_P(Cases,
                         Scan,
                         ::testing::Combine(::testing::ValuesIn(kScanCases),
                                            ::testing::Values(modbus::Framing::rtu, modbus::Framing::ascii)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == modbus::Framing::rtu ? "_rtu" : "_ascii");
                         });

Target target_from(const UnitImage& image) {
    Target t;
    t.registers = image.registers;
    t.bits = image.bits;
    return t;
}

TEST(UnitJobs, ReadOutComparesEqualToItsUnit) {
    Rig rig(modbus::Framing::rtu, {{3, {}}, {9, {}}});
    ASSERT_FALSE(rig.engine.open(line_of(modbus::Framing::rtu)));
    UnitJob job(rig.engine, 9);
    std::optional<UnitJob::ReadResult> read;
    job.read_out([&](const UnitJob::ReadResult& r) { read = r; });
    rig.run_until([&] { return read.has_value(); });
    ASSERT_TRUE(read->image) << "failed at step " << static_cast<int>(read->failure->at.step);
    const auto& tables = rig.bus.unit(1).tables();
    EXPECT_EQ(read->image->registers, tables.cfg_registers);
    EXPECT_TRUE(std::equal(tables.cfg_bits.begin(), tables.cfg_bits.end(), read->image->bits.begin()));
    UnitImage other_unit;
    other_unit.registers = rig.bus.unit(0).tables().cfg_registers;
    EXPECT_TRUE(compare(target_from(*read->image), *read->image).empty());
    // unit 9 has 8 buttons (register 2), unit 3 four
    const auto differ = compare(target_from(*read->image), other_unit);
    ASSERT_FALSE(differ.empty());
    EXPECT_EQ(differ.front().index, 2);
    EXPECT_EQ(differ.front().wanted, 8);
}

TEST(UnitJobs, BatchWriteReportsEachUnitAsItFaredAndKeepsEachUnitsPace) {
    Rig rig(modbus::Framing::rtu, {{1, {}}, {2, {}}, {3, {}}});
    rig.bus.slave_at(2)->faults().add({sim::FaultKind::no_answer, 1.0, std::nullopt});
    // the third request to unit 3 is its first block write
    rig.bus.slave_at(3)->faults().add({sim::FaultKind::exception, 1.0, 3});
    ASSERT_FALSE(rig.engine.open(line_of(modbus::Framing::rtu)));

    Target target = target_from({rig.bus.unit(0).tables().cfg_registers, {}});
    target.registers[4] = 99;
    target.registers[33] = 60;  // the unit's pace changes with the block that holds it
    target.bits[5] = true;

    std::map<int, UnitJob::WriteResult> results;
    std::vector<std::unique_ptr<UnitJob>> jobs;
    std::function<void(int)> write = [&](int address) {
        jobs.push_back(std::make_unique<UnitJob>(rig.engine, address));
        jobs.back()->write_and_verify(target, [&, address](const UnitJob::WriteResult& r) {
            results[address] = r;
            if (address < 3) write(address + 1);
        });
    };
    write(1);
    rig.run_until([&] { return results.size() == 3; });

    EXPECT_FALSE(results[1].failure);
    EXPECT_TRUE(results[1].mismatches.empty());
    EXPECT_EQ(rig.bus.unit(0).tables().cfg_registers[4], 99);
    EXPECT_TRUE(rig.bus.unit(0).tables().cfg_bits[5]);
    // device coding and firmware stay the unit's own
    EXPECT_EQ(results[1].read_back.registers[0], 24);

    ASSERT_TRUE(results[2].failure);
    EXPECT_EQ(results[2].failure->verdict, modbus::Verdict::time_out);
    EXPECT_EQ(results[2].failure->at.step, Step::read_response_time);

    ASSERT_TRUE(results[3].failure);
    EXPECT_EQ(results[3].failure->verdict, modbus::Verdict::exception);
    EXPECT_EQ(results[3].failure->exception_code, 4);
    EXPECT_EQ(results[3].failure->at.step, Step::write_cfg_block);
    EXPECT_EQ(results[3].failure->at.first, 0);
    EXPECT_EQ(rig.bus.unit(2).tables().cfg_registers[4], rig.bus.unit(1).tables().cfg_registers[4]);

    // unit 1: 20 ms until its block 30 .. 39 set 60 ms, so requests at least 240 ms, later 320 ms apart
    const auto& times = rig.sent[1];
    ASSERT_EQ(times.size(), 1u + 1u + 6u + 1u + 6u + 1u);
    for (std::size_t n = 1; n < times.size(); ++n) {
        EXPECT_GE(times[n] - times[n - 1], n > 5 ? pacing(60) : pacing(20)) << "request " << n;
    }
}

}  // namespace
}  // namespace plx::bus
