#include "traffic/table.h"

#include <cstdio>

#include "lang/line_texts.h"

namespace plx::traffic {

namespace {

using lang::LineText;

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

std::string time_of_day(std::chrono::milliseconds at) {
    std::int64_t ms = at.count() % kDayMs;
    if (ms < 0) ms += kDayMs;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3'600'000),
                  static_cast<int>(ms / 60'000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    return text;
}

// The frame a received row holds is a whole one for these verdicts.
bool whole_frame(modbus::Verdict v) {
    return v == modbus::Verdict::ok || v == modbus::Verdict::exception || v == modbus::Verdict::check_sum_wrong ||
           v == modbus::Verdict::wrong_slave_address || v == modbus::Verdict::misfit || v == modbus::Verdict::echo;
}

}  // namespace

Table::Change Table::pending() const {
    Change c;
    if (recorder_.generation() != generation_) {
        c.reset = true;
        return c;
    }
    const std::uint64_t first = recorder_.first_seq();
    const std::uint64_t end = first + recorder_.size();
    const std::uint64_t shown_end = first_ + shown_;
    c.dropped =
        static_cast<std::size_t>(std::min<std::uint64_t>(first > first_ ? first - first_ : 0, shown_));
    c.appended = static_cast<std::size_t>(end > shown_end ? end - std::max(shown_end, first) : 0);
    return c;
}

void Table::accept_reset() {
    generation_ = recorder_.generation();
    first_ = recorder_.first_seq();
    shown_ = recorder_.size();
}

void Table::accept_drop() {
    const Change c = pending();
    first_ += c.dropped;
    shown_ -= c.dropped;
    // rows that came and went while the view was not looking leave no gap
    if (shown_ == 0) first_ = recorder_.first_seq();
}

void Table::accept_append() {
    const Change c = pending();
    if (shown_ == 0) first_ = recorder_.first_seq();
    shown_ += c.appended;
}

const Row* Table::row(std::size_t i) const {
    const std::uint64_t seq = first_ + i;
    const std::uint64_t first = recorder_.first_seq();
    if (i >= shown_ || seq < first || seq >= first + recorder_.size()) return nullptr;
    return &recorder_.row(static_cast<std::size_t>(seq - first));
}

std::string Table::header(Column c, const std::string& language_code) {
    static constexpr LineText titles[] = {LineText::column_time, LineText::column_direction,
                                          LineText::column_frame, LineText::column_meaning,
                                          LineText::column_verdict};
    return lang::line_text(titles[c], language_code);
}

std::string Table::cell(const Row& r, Column c) const {
    const bool sent = r.direction == Direction::sent;
    if (r.direction == Direction::event) {
        if (c == column_time) return time_of_day(r.at + time_of_day_offset);
        if (c == column_direction) return lang::line_text(LineText::direction_event, style.language_code);
        if (c == column_meaning) return link_event_text(r.event, r.detail, style.language_code);
        return {};
    }
    switch (c) {
        case column_time:
            return time_of_day(r.at + time_of_day_offset);
        case column_direction:
            if (sent) return "TX";
            return r.verdict == modbus::Verdict::time_out ? "–" : "RX";
        case column_frame:
            return r.verdict == modbus::Verdict::time_out && !sent ? std::string{}
                                                                 : raw_text(r.bytes, r.framing);
        case column_meaning: {
            const auto request = r.request ? modbus::adu_of_request(*r.request) : std::nullopt;
            if (sent) return request ? request_meaning(*request, style) : std::string{};
            if (r.verdict == modbus::Verdict::time_out) {
                return request ? lang::line_text(LineText::no_answer_to, style.language_code,
                                                 {request_meaning(*request, style)})
                               : std::string{};
            }
            if (!whole_frame(r.verdict)) {
                return lang::line_text(LineText::bytes, style.language_code,
                                       {std::to_string(r.bytes.size())});
            }
            const auto adu = modbus::adu_of(r.bytes, r.framing);
            if (!adu)
                return lang::line_text(LineText::bytes, style.language_code,
                                       {std::to_string(r.bytes.size())});
            if (r.verdict == modbus::Verdict::echo && request) return request_meaning(*request, style);
            const std::string meaning = answer_meaning(*adu, request ? &*request : nullptr, style);
            if (r.verdict == modbus::Verdict::wrong_slave_address) {
                return lang::line_text(LineText::from_slave, style.language_code,
                                       {std::to_string(adu->address), meaning});
            }
            return meaning;
        }
        case column_verdict:
            return sent ? std::string{} : verdict_text(r.verdict, r.exception_code, style.language_code);
        case column_count:
            break;
    }
    return {};
}

bool Table::is_failure(const Row& r) {
    if (r.direction == Direction::event)
        return r.event == modbus::LinkEvent::closed || r.event == modbus::LinkEvent::connect_failed;
    return r.direction == Direction::received && r.verdict != modbus::Verdict::ok;
}

std::string Table::header_line() const {
    std::string out;
    for (int c = 0; c < column_count; ++c)
        out += (c == 0 ? "" : "\t") + header(static_cast<Column>(c), style.language_code);
    return out;
}

std::string Table::line(const Row& r) const {
    std::string out;
    for (int c = 0; c < column_count; ++c) out += (c == 0 ? "" : "\t") + cell(r, static_cast<Column>(c));
    return out;
}

}  // namespace plx::traffic
