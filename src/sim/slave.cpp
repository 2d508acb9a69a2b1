#include "sim/slave.h"

#include <algorithm>

namespace plx::sim {

namespace {

constexpr char hex_digits[] = "0123456789ABCDEF";

}  // namespace

namespace {

modbus::Framing other(modbus::Framing mode) {
    return mode == modbus::Framing::rtu ? modbus::Framing::ascii : modbus::Framing::rtu;
}

}  // namespace

SimulatedSlave::SimulatedSlave(SimulatedUnit& unit, SlaveSettings settings, std::uint32_t seed)
    : unit_(unit),
      settings_(settings),
      parser_(settings.mode, settings.lrc_form),
      other_parser_(other(settings.mode), settings.lrc_form),
      faults_(seed) {}

void SimulatedSlave::set_mode(modbus::Framing mode) {
    settings_.mode = mode;
    parser_.set_mode(mode);
    other_parser_.set_mode(other(mode));
}

void SimulatedSlave::receive(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now) {
    parser_.feed(bytes, now);
    if (settings_.any_framing) other_parser_.feed(bytes, now);
    const auto next = [this]() -> std::optional<modbus::Adu> {
        if (auto r = parser_.next()) return r;
        if (settings_.any_framing) return other_parser_.next();
        return std::nullopt;
    };
    while (auto request = next()) {
        if (request->address == 0) {
            // broadcast: writes are carried out, nobody answers
            ++counters_.broadcasts;
            unit_.advance_to(now);
            if (request->function == regmap::fn_write_coils || request->function == regmap::fn_write_registers) {
                unit_.handle(modbus::pdu_of(*request));
            }
            continue;
        }
        if (request->address != settings_.address) {
            ++counters_.other_address;
            continue;
        }
        answer(*request, now);
    }
}

void SimulatedSlave::answer(const modbus::Adu& request, std::chrono::milliseconds now) {
    ++counters_.requests;
    unit_.advance_to(now);
    const std::optional<FaultKind> fault =
        faults_.draw(counters_.requests, request.function);
    if (fault) {
        ++counters_.faults;
        applied_.push_back(*fault);
    }
    if (fault == FaultKind::no_answer) return;

    const std::vector<std::uint8_t> pdu = fault == FaultKind::exception
                                              ? exception_pdu(request.function, faults_.exception_code())
                                              : unit_.handle(modbus::pdu_of(request));
    if (fault != FaultKind::exception && !pdu.empty() && (pdu[0] & 0x80) != 0) ++counters_.exceptions;
    modbus::Adu response = modbus::adu_with_pdu(settings_.address, pdu);
    if (fault == FaultKind::wrong_address) response.address = static_cast<std::uint8_t>(settings_.address % 247 + 1);

    std::vector<std::uint8_t> frame = encode(response, settings_.mode, settings_.lrc_form);
    auto& rng = faults_.rng();
    auto pick = [&rng](std::size_t lo, std::size_t hi) {
        return std::uniform_int_distribution<std::size_t>(lo, hi)(rng);
    };

    if (fault == FaultKind::bad_checksum) {
        if (settings_.mode == modbus::Framing::rtu) {
            // a data byte after the function code, or the function code of a two-byte answer
            const std::size_t last = frame.size() - 3;
            const std::size_t at = last >= 2 ? pick(2, last) : 1;
            frame[at] ^= static_cast<std::uint8_t>(pick(1, 255));
        } else {
            // one hex digit of the data (after ':', address and function) becomes another digit
            const std::size_t last = frame.size() - 5;
            const std::size_t at = last >= 5 ? pick(5, last) : 3;
            const char old = static_cast<char>(frame[at]);
            char now_digit = old;
            while (now_digit == old) now_digit = hex_digits[pick(0, 15)];
            frame[at] = static_cast<std::uint8_t>(now_digit);
        }
    }
    if (fault == FaultKind::truncated) frame.resize(pick(1, frame.size() - 1));
    if (fault == FaultKind::noise) {
        auto stray = stray_bytes();
        frame.insert(frame.begin(), stray.begin(), stray.end());
    }

    std::chrono::milliseconds due = now + unit_.min_response_time();
    if (fault == FaultKind::slow) due += settings_.slow_delay;
    ++counters_.answers;
    if (fault == FaultKind::split && frame.size() >= 3) {
        const std::size_t a = pick(1, frame.size() - 2);
        const std::size_t b = pick(a + 1, frame.size() - 1);
        schedule({frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(a)}, due);
        schedule({frame.begin() + static_cast<std::ptrdiff_t>(a), frame.begin() + static_cast<std::ptrdiff_t>(b)},
                 due + settings_.split_gap);
        schedule({frame.begin() + static_cast<std::ptrdiff_t>(b), frame.end()}, due + 2 * settings_.split_gap);
        return;
    }
    schedule(std::move(frame), due);
}

std::vector<std::uint8_t> SimulatedSlave::stray_bytes() {
    // never the own address or ':', which a master would take for the start of a frame
    auto& rng = faults_.rng();
    const std::size_t n = std::uniform_int_distribution<std::size_t>(1, 3)(rng);
    std::vector<std::uint8_t> out;
    while (out.size() < n) {
        const auto b = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng));
        if (b == settings_.address || b == ':') continue;
        out.push_back(b);
    }
    return out;
}

void SimulatedSlave::schedule(std::vector<std::uint8_t> bytes, std::chrono::milliseconds due) {
    // one line: a later answer never overtakes an earlier one
    if (!queue_.empty()) due = std::max(due, queue_.back().due);
    queue_.push_back({due, std::move(bytes)});
}

std::vector<std::uint8_t> SimulatedSlave::take_due(std::chrono::milliseconds now) {
    std::vector<std::uint8_t> out;
    while (!queue_.empty() && queue_.front().due <= now) {
        out.insert(out.end(), queue_.front().bytes.begin(), queue_.front().bytes.end());
        queue_.pop_front();
    }
    return out;
}

std::optional<std::chrono::milliseconds> SimulatedSlave::next_due() const {
    if (queue_.empty()) return std::nullopt;
    return queue_.front().due;
}

}  // namespace plx::sim
