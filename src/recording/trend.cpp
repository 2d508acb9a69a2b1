#include "recording/trend.h"

#include <algorithm>
#include <iterator>

namespace plx::recording {

namespace {

// what the longest span shows, and a little more so that its left edge has a line to start from
constexpr Trend::Ms kKeptMs = 62LL * 60 * 1000;
// the longest poll interval the unit's response time gives is 3.2 s: a longer pause means polling
// was off, and no line should pretend to know what happened meanwhile
constexpr Trend::Ms kPollingStoppedMs = 10'000;

}  // namespace

void Trend::add(const Poll& p) {
    Sample s{p.ended_at.toMSecsSinceEpoch(), std::nullopt};
    if (p.answered()) s.values = p.newest->values;
    samples_.push_back(std::move(s));
    const Ms oldest = samples_.back().at - kKeptMs;
    while (!samples_.empty() && samples_.front().at < oldest) samples_.pop_front();
}

void Trend::set_span_index(int index) {
    span_ = std::clamp(index, 0, static_cast<int>(std::size(kSpans)) - 1);
}

void Trend::zoom(int steps) {
    set_span_index(span_ - steps);
}

void Trend::set_paused(bool paused, Ms now) {
    if (paused) {
        if (!paused_at_) paused_at_ = now;
    } else {
        paused_at_.reset();
    }
}

bool Trend::broken_between(const Sample& a, const Sample& b) const {
    return b.at - a.at > kPollingStoppedMs;
}

std::vector<std::vector<Trend::Point>> Trend::segments(int column, Ms from, Ms to) const {
    std::vector<std::vector<Point>> out;
    if (column < 0 || column >= static_cast<int>(columns().size())) return out;
    const Column& c = columns()[static_cast<std::size_t>(column)];
    std::vector<Point> run;
    const Sample* before = nullptr;
    const auto close_run = [&] {
        if (!run.empty()) out.push_back(std::move(run));
        run.clear();
    };
    for (const Sample& s : samples_) {
        if (s.at > to) {
            // one point beyond the right edge carries the line to it
            if (s.values && !run.empty() && !broken_between(*before, s)) {
                if (const auto v = value_of(*s.values, c)) run.push_back({s.at, *v});
            }
            break;
        }
        if (before != nullptr && broken_between(*before, s)) close_run();
        const std::optional<double> v = s.values ? value_of(*s.values, c) : std::nullopt;
        if (!v) {
            close_run();
        } else if (s.at >= from) {
            // the point before the left edge carries the line to it
            if (run.empty() && before != nullptr && before->values && !broken_between(*before, s) &&
                before->at < from) {
                if (const auto b = value_of(*before->values, c)) run.push_back({before->at, *b});
            }
            run.push_back({s.at, *v});
        }
        before = &s;
    }
    close_run();
    return out;
}

std::vector<Trend::Band> Trend::gaps(Ms from, Ms to) const {
    std::vector<Band> out;
    std::optional<Ms> last_good;
    std::optional<Band> open;
    for (const Sample& s : samples_) {
        if (!s.values) {
            if (!open) open = Band{last_good.value_or(s.at), s.at};
            open->to = s.at;
        } else {
            if (open) {
                open->to = s.at;
                out.push_back(*open);
                open.reset();
            }
            last_good = s.at;
        }
    }
    if (open) out.push_back(*open);
    std::erase_if(out, [&](const Band& b) { return b.to < from || b.from > to; });
    return out;
}

std::optional<std::pair<double, double>> Trend::range(const std::vector<int>& column_positions,
                                                      Ms from,
                                                      Ms to) const {
    std::optional<std::pair<double, double>> r;
    for (int column : column_positions) {
        for (const auto& run : segments(column, from, to)) {
            for (const Point& p : run) {
                if (!r) r.emplace(p.value, p.value);
                r->first = std::min(r->first, p.value);
                r->second = std::max(r->second, p.value);
            }
        }
    }
    return r;
}

}  // namespace plx::recording
