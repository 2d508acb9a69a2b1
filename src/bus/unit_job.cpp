#include "bus/unit_job.h"

#include <algorithm>
#include <utility>

#include "device/pacing.h"
#include "device/word_codec.h"
#include "modbus/wandeln.h"

namespace plx::bus {

namespace {

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

WriteRules own_registers_kept(bool all_registers) {
    WriteRules rules;
    if (all_registers) return rules;
    rules.keep[regmap::button_count_register] = true;
    rules.keep[regmap::location_code_register] = true;
    rules.same_buttons_only = true;
    return rules;
}

milliseconds pacing(int response_time_ms) {
    return device::block_interval(response_time_ms, 200);
}

milliseconds answer_timeout(const modbus::LineSettings& line, std::optional<int> response_time_ms) {
    const int rt = std::clamp(response_time_ms.value_or(kLongestResponseTime), 0, kLongestResponseTime);
    // a unit known to be quick still gets the whole margin: a late answer costs more than a wait
    return milliseconds(response_time_ms ? 2 * rt : rt) + kAnswerMargin +
           modbus::transfer_time(line, kLongestExchange);
}

milliseconds longest_answer_time(const modbus::LineSettings& line) {
    return answer_timeout(line, std::nullopt);
}

modbus::Policy unit_policy(const modbus::LineSettings& line, std::optional<int> response_time_ms, int retries) {
    modbus::Policy p;
    p.timeout = answer_timeout(line, response_time_ms);
    p.retries = retries;
    p.turnaround = std::max(p.timeout, longest_answer_time(line));
    // the first request goes at once; every later one keeps the unit's pace, as the window's timers do
    if (response_time_ms) p.pace = pacing(*response_time_ms);
    return p;
}

UnitJob::UnitJob(modbus::Engine& engine, int address)
    : engine_(engine), address_(address), slave_(modbus::byte_to_hex(static_cast<std::uint8_t>(address))) {}

void UnitJob::stop() {
    stopped_ = true;
    engine_.cancel();
}

void UnitJob::run(std::vector<Request> steps, std::function<void(const std::optional<Failure>&)> done) {
    stopped_ = false;
    finish_early_ = false;
    steps_ = std::move(steps);
    at_ = 0;
    done_ = std::move(done);
    next();
}

void UnitJob::next() {
    if (at_ >= steps_.size() || finish_early_) {
        auto done = std::exchange(done_, nullptr);
        if (done) done(std::nullopt);
        return;
    }
    modbus::Request request;
    request.request_string = steps_[at_].make();
    // a time-out is tried once more: the engine waits out a late answer first
    request.policy = unit_policy(engine_.line(), response_time_, 1);
    engine_.request(std::move(request), [this](const modbus::Outcome& a) {
        if (stopped_) return;
        const Request& r = steps_[at_];
        if (a.verdict == modbus::Verdict::ok && r.take(a.response_text)) {
            ++at_;
            return next();
        }
        Failure f{r.what, a.verdict == modbus::Verdict::ok ? modbus::Verdict::misfit : a.verdict,
                  a.exception_code, a.seen};
        auto done = std::exchange(done_, nullptr);
        if (done) done(f);
    });
}

UnitJob::Request UnitJob::read_response_time_step() {
    const StepRef step{Step::read_response_time, regmap::response_time_register};
    return {step, [this, step] { return device::read_request(step, slave_); },
            [this, step](const std::string& text) {
                const auto w = device::answer_words(step, text);
                if (!w) return false;
                response_time_ = std::max(0, signed_word(w->front()));
                return true;
            }};
}

std::vector<UnitJob::Request> UnitJob::read_image_steps(UnitImage& into) {
    std::vector<Request> steps;
    for (const StepRef step : device::read_out_chain(false)) {
        if (step.step == Step::read_cfg_block) {
            steps.push_back({step, [this, step] { return device::read_request(step, slave_); },
                             [&into, step](const std::string& text) {
                                 const auto words = device::answer_words(step, text);
                                 if (!words) return false;
                                 std::copy(words->begin(), words->end(), into.registers.begin() + step.first);
                                 return true;
                             }});
        } else {
            steps.push_back({step, [this, step] { return device::read_request(step, slave_); },
                             [&into, step](const std::string& text) {
                                 const auto bits = device::answer_bits(step, text);
                                 if (!bits) return false;
                                 for (std::size_t j = 0; j < into.bits.size(); ++j) into.bits[j] = (*bits)[j] != 0;
                                 return true;
                             }});
        }
    }
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
    write_and_verify(target, WriteRules{}, std::move(done));
}

void UnitJob::write_and_verify(const Target& target, const WriteRules& rules,
                               std::function<void(const WriteResult&)> done) {
    write_ = std::make_unique<WriteResult>();
    WriteResult& w = *write_;
    w.written = target;
    std::vector<Request> steps{read_response_time_step()};
    // registers 0 and 1 go back as the unit has them, as the window writes what it read; the first
    // block also holds what a rule keeps
    const StepRef first{Step::read_cfg_block, 0};
    steps.push_back({first, [this, first] { return device::read_request(first, slave_); },
                     [this, &w, rules, target, first](const std::string& text) {
                         const auto words = device::answer_words(first, text);
                         if (!words) return false;
                         std::copy(words->begin(), words->end(), w.read_back.registers.begin());
                         w.buttons_before = w.read_back.registers[regmap::button_count_register];
                         for (int k = 0; k < kBlock; ++k) {
                             const auto i = static_cast<std::size_t>(k);
                             if (rules.keep[i]) w.written.registers[i] = w.read_back.registers[i];
                         }
                         constexpr auto buttons = static_cast<std::size_t>(regmap::button_count_register);
                         if (rules.same_buttons_only && target.registers[buttons] != w.read_back.registers[buttons]) {
                             w.skipped = true;
                             finish_early_ = true;
                         }
                         return true;
                     }});
    for (const StepRef step : device::write_chain({true, {}, false})) {
        if (step.step == Step::write_cfg_block) {
            steps.push_back({step,
                             [this, &w, step] {
                                 std::vector<std::string> words;
                                 for (int k = step.first; k < step.first + kBlock; ++k) {
                                     const auto i = static_cast<std::size_t>(k);
                                     words.push_back(device::hex4(k < kFirstWrittenRegister ? w.read_back.registers[i]
                                                                                            : w.written.registers[i]));
                                 }
                                 return device::write_request(step, slave_, words);
                             },
                             [this, &w, step](const std::string&) {
                                 constexpr int rt = regmap::response_time_register;
                                 // the unit answers at its new pace from now on: keep the slower of both
                                 if (rt >= step.first && rt < step.first + kBlock) {
                                     const int now = std::max(0, signed_word(w.written.registers[rt]));
                                     response_time_ = std::max(response_time_.value_or(0), now);
                                 }
                                 return true;
                             }});
        } else {
            steps.push_back({step,
                             [this, target, step] {
                                 std::array<int, kBitCount> values{};
                                 for (std::size_t j = 0; j < values.size(); ++j) values[j] = target.bits[j] ? 1 : 0;
                                 return device::write_request(step, slave_, std::span<const int>(values));
                             },
                             [](const std::string&) { return true; }});
        }
    }
    for (Request& r : read_image_steps(w.read_back)) steps.push_back(std::move(r));
    run(std::move(steps), [this, done](const std::optional<Failure>& failure) {
        WriteResult& r = *write_;
        r.failure = failure;
        if (!failure && !r.skipped) r.mismatches = compare(r.written, r.read_back);
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
    const StepRef step{Step::read_output_registers, 0};
    modbus::Request request;
    request.request_string = device::read_request(step, slave_);
    // a failed poll is reported, and the next poll follows at the interval
    request.policy = unit_policy(engine_.line(), response_time_, 0);
    request.policy.pace = std::max(interval, device::poll_interval(rt, 200));
    engine_.request(std::move(request), [this, interval, on_poll, step](const modbus::Outcome& a) {
        if (stopped_) return;
        const auto words = a.verdict == modbus::Verdict::ok ? device::answer_words(step, a.response_text)
                                                            : std::nullopt;
        if (words) {
            std::array<std::uint16_t, kOutputs> values{};
            std::copy(words->begin(), words->end(), values.begin());
            (*on_poll)(values, std::nullopt);
        } else {
            (*on_poll)(std::nullopt, Failure{{Step::read_output_registers, 0},
                                             a.verdict == modbus::Verdict::ok ? modbus::Verdict::misfit : a.verdict,
                                             a.exception_code, a.seen});
        }
        poll_outputs(interval, on_poll);
    });
}

}  // namespace plx::bus
