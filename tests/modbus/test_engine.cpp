// The request engine against a unit that answers late: whatever the unit does, what reaches the
// caller is exactly the answer to the request it made, or a failure. The chain reads the six
// blocks of ten configuration registers, whose answers all have the same shape.

#include <chrono>
#include <optional>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "modbus/engine.h"
#include "scripted_unit.h"

namespace plx::modbus {
namespace {

using std::chrono::milliseconds;
using testing::ScriptedUnit;

struct LateCase {
    const char* name;
    ScriptedUnit::Delay delay;
    std::set<int> lost;
    int retries;
    // the blocks the caller gets (by first register); the others fail
    std::vector<int> read;
    // how often the unit sends each answer, with what time between its bytes
    int copies = 1;
    milliseconds byte_gap{0};
};

void PrintTo(const LateCase& c, std::ostream* os) {
    *os << c.name;
}

class LateAnswers : public ::testing::TestWithParam<std::tuple<LateCase, Framing>> {};

TEST_P(LateAnswers, NoAnswerIsTakenForAnotherRequest) {
    const auto& [c, framing] = GetParam();
    controls::VirtualClock clock;
    ScriptedUnit::Script script;
    script.delay = c.delay;
    script.lost = [lost = c.lost](int n) { return lost.contains(n); };
    script.copies = [copies = c.copies](int) { return copies; };
    script.byte_gap = [gap = c.byte_gap](int) { return gap; };
    ScriptedUnit unit(clock, framing, script);
    Engine engine(unit, clock);
    ASSERT_FALSE(engine.open({9600, 'E', framing}));

    Policy policy;
    policy.timeout = milliseconds(300);
    policy.retries = c.retries;
    policy.turnaround = milliseconds(1000);
    policy.pace = milliseconds(50);

    // the caller goes on to the next block after a failure, as a monitor goes on polling
    std::vector<int> read;
    int first = 0;
    bool done = false;
    std::function<void()> next = [&] {
        if (first >= 60) {
            done = true;
            return;
        }
        Request r;
        r.request_string = "01030" + std::string(1, "0123456789ABCDEF"[(first >> 4) & 0xF]) +
                           std::string(1, "0123456789ABCDEF"[first & 0xF]) + "000A";
        r.request_string.insert(4, "0");
        r.policy = policy;
        engine.request(std::move(r), [&, block = first](const Outcome& o) {
            if (o.verdict == Verdict::ok) {
                for (int i = 0; i < 10; ++i) {
                    const auto hi = hex_pair_to_byte(o.response_text.substr(6 + 4 * i, 2));
                    const auto lo = hex_pair_to_byte(o.response_text.substr(8 + 4 * i, 2));
                    EXPECT_EQ((hi << 8) | lo, testing::word_of(block + i))
                        << "block " << block << " word " << i;
                }
                read.push_back(block);
            }
            first = block + 10;
            next();
        });
    };
    next();
    for (int t = 0; t < 60'000 && !done; ++t) clock.advance(milliseconds(1));
    ASSERT_TRUE(done);
    EXPECT_EQ(read, c.read);
}

milliseconds always(int ms) {
    return milliseconds(ms);
}

const std::vector<int> kAll{0, 10, 20, 30, 40, 50};

INSTANTIATE_TEST_SUITE_P(
    Engine,
    LateAnswers,
    ::testing::Combine(
        ::testing::Values(
            LateCase{"InTime", [](int) { return always(20); }, {}, 1, kAll},
            // within the turnaround: each answer is waited for and is its request's own
            LateCase{"EveryAnswerLate", [](int) { return always(450); }, {}, 1, kAll},
            LateCase{"FirstLost", [](int) { return always(20); }, {1}, 1, kAll},
            // later than any unit may be: it arrives while the retry is outstanding, and the retry's
            // own answer comes after it
            LateCase{
                "FirstBeyondTheTurnaround", [](int n) { return always(n == 1 ? 1100 : 20); }, {}, 1, kAll},
            // given up without a retry: its answer arrives while the next block of the same shape is
            // outstanding, and that block's own answer follows
            LateCase{"GivenUpAnswerDuringTheNextBlock",
                     [](int n) { return always(n == 1 ? 1100 : 20); },
                     {},
                     0,
                     {10, 20, 30, 40, 50}},
            LateCase{"NeverAnswers", [](int) { return always(5000); }, {}, 1, {}},
            // late at the edge of the turnaround and sent twice, slowly: the second copy is still on
            // the line when the first has been taken, and the next request waits until it has passed
            LateCase{"AnswerSentTwiceAtTheTurnaround", [](int) { return always(1000); }, {}, 0, kAll, 2,
                     milliseconds(3)}),
        ::testing::Values(Framing::rtu, Framing::ascii, Framing::tcp)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + std::string(mode_text(std::get<1>(info.param)));
    });

}  // namespace
}  // namespace plx::modbus
