#include "bus/unit_job.h"

#include <algorithm>
#include <utility>

#include "device/requests.h"
#include "device/transactions.h"
#include "device/word_codec.h"
#include "link/wandeln.h"

namespace plx::bus {

namespace {

namespace requests = device::requests;
using std::chrono::milliseconds;

constexpr int kBlock = regmap::cfg_register_group.read_count;
constexpr int kOutputs = regmap::output_register_group.count;
// the longest a unit may wait before it answers: the upper bound of register 33
constexpr int kLongestResponseTime = 3000;
// on top of the unit's own time: its work and the adapter's latency
constexpr milliseconds kAnswerMargin{500};
// the longest frame of a unit job both ways, in characters (an ASCII block write and its answer)
constexpr std::size_t kLongestExchange = 120;

int signed_word(std::uint16_t w) {
    return static_cast<std::int16_t>(w);
}

}  // namespace

std::vector<Mismatch> compare(const Target& wanted, const UnitImage& found) {
    std::vector<Mismatch> out;
    for (int k = kFirstWrittenRegister; k < kRegisterCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (wanted.registers[i] != found.registers[i])
            out.push_back({false, k, wanted.registers[i], found.registers[i]});
    }
    for (int j = 0; j < kBitCount; ++j) {
        const auto i = static_cast<std::size_t>(j);
        if (wanted.bits[i] != found.bits[i]) out.push_back({true, j, wanted.bits[i], found.bits[i]});
    }
    return out;
}

milliseconds pacing(int response_time_ms) {
    return device::block_interval(response_time_ms, 200);
}

milliseconds answer_timeout(const LineSettings& line, std::optional<int> response_time_ms) {
    const int rt = std::clamp(response_time_ms.value_or(kLongestResponseTime), 0, kLongestResponseTime);
    // a unit known to be quick still gets the whole margin: a late answer costs more than a wait
    return milliseconds(response_time_ms ? 2 * rt : rt) + kAnswerMargin +
           transfer_time(line, kLongestExchange);
}

UnitJob::UnitJob(Master& master, int address)
    : master_(master), address_(address), slave_(link::byte_to_hex(static_cast<std::uint8_t>(address))) {}

void UnitJob::stop() {
    stopped_ = true;
    master_.cancel();
}

void UnitJob::run(std::vector<Request> steps, std::function<void(const std::optional<Failure>&)> done) {
    stopped_ = false;
    steps_ = std::move(steps);
    at_ = 0;
    done_ = std::move(done);
    next();
}

void UnitJob::next() {
    if (at_ < steps_.size()) return send(false);
    auto done = std::exchange(done_, nullptr);
    if (done) done(std::nullopt);
}

void UnitJob::send(bool retry) {
    // the first request goes at once; every later one keeps the unit's pace, as the window's timers do
    const milliseconds not_before = !response_time_ ? milliseconds::min()
                                    : retry         ? master_.now()
                                                    : master_.last_sent() + pacing(*response_time_);
    master_.request(
        steps_[at_].make(), answer_timeout(master_.line(), response_time_),
        [this, retry](const Answer& a) {
            if (stopped_) return;
            const Request& r = steps_[at_];
            if (a.verdict == link::Verdict::ok && r.take(a.response_text)) {
                ++at_;
                return next();
            }
            if (a.verdict == link::Verdict::time_out && !retry) return send(true);
            Failure f{r.what, a.verdict == link::Verdict::ok ? link::Verdict::misfit : a.verdict,
                      a.exception_code, a.seen};
            auto done = std::exchange(done_, nullptr);
            if (done) done(f);
        },
        not_before);
}

UnitJob::Request UnitJob::read_response_time_step() {
    return {{Step::read_response_time, regmap::response_time_register},
            [this] { return requests::read_response_time(slave_); },
            [this](const std::string& text) {
                const auto w = device::word_at(text, 0);
                if (!w) return false;
                response_time_ = std::max(0, signed_word(*w));
                return true;
            }};
}

std::vector<UnitJob::Request> UnitJob::read_image_steps(UnitImage& into) {
    std::vector<Request> steps;
    for (int first = 0; first < kRegisterCount; first += kBlock) {
        steps.push_back({{Step::read_cfg_block, first},
                         [this, first] { return requests::read_cfg_block(slave_, first); },
                         [&into, first](const std::string& text) {
                             for (int i = 0; i < kBlock; ++i) {
                                 const auto w = device::word_at(text, i);
                                 if (!w) return false;
                                 into.registers[static_cast<std::size_t>(first + i)] = *w;
                             }
                             return true;
                         }});
    }
    steps.push_back({{Step::read_cfg_bits, 0},
                     [this] { return requests::read_cfg_bits(slave_); },
                     [&into](const std::string& text) {
                         for (int b = 0; b < kBitCount / 8; ++b) {
                             const auto v = device::byte_at(text, b);
                             if (!v) return false;
                             for (int p = 0; p < 8; ++p)
                                 into.bits[static_cast<std::size_t>(8 * b + p)] = (*v >> p) & 1;
                         }
                         return true;
                     }});
    return steps;
}

void UnitJob::read_out(std::function<void(const ReadResult&)> done) {
    image_ = std::make_unique<UnitImage>();
    std::vector<Request> steps{read_response_time_step()};
    for (Request& r : read_image_steps(*image_)) steps.push_back(std::move(r));
    run(std::move(steps), [this, done](const std::optional<Failure>& failure) {
        ReadResult r;
        r.failure = failure;
        if (!failure) r.image = *image_;
        r.response_time_ms = response_time_.value_or(0);
        done(r);
    });
}

void UnitJob::write_and_verify(const Target& target, std::function<void(const WriteResult&)> done) {
    write_ = std::make_unique<WriteResult>();
    WriteResult& w = *write_;
    std::vector<Request> steps{read_response_time_step()};
    // registers 0 and 1 go back as the unit has them, as the window writes what it read
    steps.push_back({{Step::read_identification, 0},
                     [this] { return requests::read_identification(slave_); },
                     [&w](const std::string& text) {
                         for (int i = 0; i < regmap::identification_register_count; ++i) {
                             const auto word = device::word_at(text, i);
                             if (!word) return false;
                             w.read_back.registers[static_cast<std::size_t>(i)] = *word;
                         }
                         w.buttons_before = w.read_back.registers[2];
                         return true;
                     }});
    for (int first = 0; first < kRegisterCount; first += kBlock) {
        steps.push_back({{Step::write_cfg_block, first},
                         [this, &w, target, first] {
                             std::vector<std::string> words;
                             for (int k = first; k < first + kBlock; ++k) {
                                 const auto i = static_cast<std::size_t>(k);
                                 words.push_back(device::hex4(k < kFirstWrittenRegister
                                                                  ? w.read_back.registers[i]
                                                                  : target.registers[i]));
                             }
                             return requests::write_cfg_block(slave_, first, words);
                         },
                         [this, target, first](const std::string&) {
                             constexpr int rt = regmap::response_time_register;
                             // the unit answers at its new pace from now on: keep the slower of both
                             if (rt >= first && rt < first + kBlock) {
                                 const int now = std::max(0, signed_word(target.registers[rt]));
                                 response_time_ = std::max(response_time_.value_or(0), now);
                             }
                             return true;
                         }});
    }
    steps.push_back({{Step::write_cfg_bits, 0},
                     [this, target] {
                         std::array<int, kBitCount> values{};
                         for (std::size_t j = 0; j < values.size(); ++j) values[j] = target.bits[j] ? 1 : 0;
                         return requests::write_cfg_bits(slave_, device::pack_bits(values));
                     },
                     [](const std::string&) { return true; }});
    for (Request& r : read_image_steps(w.read_back)) steps.push_back(std::move(r));
    run(std::move(steps), [this, target, done](const std::optional<Failure>& failure) {
        WriteResult& r = *write_;
        r.failure = failure;
        if (!failure) r.mismatches = compare(target, r.read_back);
        done(r);
    });
}

void UnitJob::monitor(milliseconds interval, Poll on_poll) {
    auto poll = std::make_shared<Poll>(std::move(on_poll));
    run({read_response_time_step()}, [this, interval, poll](const std::optional<Failure>& failure) {
        if (failure) (*poll)(std::nullopt, failure);
        poll_outputs(interval, poll);
    });
}

void UnitJob::poll_outputs(milliseconds interval, std::shared_ptr<Poll> on_poll) {
    if (stopped_) return;
    const int rt = response_time_.value_or(0);
    const milliseconds pace = std::max(interval, device::poll_interval(rt, 200));
    master_.request(
        requests::read_output_registers(slave_), answer_timeout(master_.line(), response_time_),
        [this, interval, on_poll](const Answer& a) {
            if (stopped_) return;
            std::array<std::uint16_t, kOutputs> words{};
            bool whole = a.verdict == link::Verdict::ok;
            for (int i = 0; whole && i < kOutputs; ++i) {
                const auto w = device::word_at(a.response_text, i);
                whole = w.has_value();
                if (whole) words[static_cast<std::size_t>(i)] = *w;
            }
            if (whole) {
                (*on_poll)(words, std::nullopt);
            } else {
                (*on_poll)(std::nullopt,
                           Failure{{Step::read_output_registers, 0}, a.verdict, a.exception_code, a.seen});
            }
            poll_outputs(interval, on_poll);
        },
        master_.last_sent() + pace);
}

}  // namespace plx::bus
