#pragma once
// The trend of the Monitor: the polls of the last hour as samples, and what the view shows of them
// (the values ticked, the span, paused or following). Polls without a valid answer are gaps: no line
// crosses them, and they are drawn as bands of their own.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "recording/rows.h"

namespace plx::recording {

class Trend {
  public:
    // wall-clock milliseconds since the epoch
    using Ms = std::int64_t;

    struct Sample {
        Ms at = 0;
        std::optional<Values> values;  // none: the poll brought no valid answer
    };
    struct Point {
        Ms at;
        double value;
    };
    struct Band {
        Ms from;
        Ms to;
    };

    // the spans the zoom steps through; 10 minutes at first
    static constexpr std::chrono::minutes kSpans[] = {
        std::chrono::minutes(1),  std::chrono::minutes(2),  std::chrono::minutes(5),
        std::chrono::minutes(10), std::chrono::minutes(30), std::chrono::minutes(60),
    };
    static constexpr int kDefaultSpan = 3;

    void add(const Poll& p);
    const std::deque<Sample>& samples() const { return samples_; }

    // columns() positions of the values shown
    std::vector<int> ticked{2, 4};

    int span_index() const { return span_; }
    std::chrono::milliseconds span() const { return kSpans[span_]; }
    void set_span_index(int index);
    // positive: a shorter span (closer), negative: a longer one
    void zoom(int steps);

    // Paused, the view keeps the time it was paused at as its right edge; the samples go on coming.
    void set_paused(bool paused, Ms now);
    bool paused() const { return paused_at_.has_value(); }
    Ms right_edge(Ms now) const { return paused_at_.value_or(now); }

    // The lines of one column between two times: runs of valid samples, broken at every failed poll
    // and wherever polling stopped for a while.
    std::vector<std::vector<Point>> segments(int column, Ms from, Ms to) const;
    // The stretches of failed polls, from the last good sample before to the first good one after.
    std::vector<Band> gaps(Ms from, Ms to) const;
    // The lowest and highest value of the ticked columns between two times.
    std::optional<std::pair<double, double>> range(const std::vector<int>& column_positions,
                                                   Ms from,
                                                   Ms to) const;

  private:
    bool broken_between(const Sample& a, const Sample& b) const;

    std::deque<Sample> samples_;
    int span_ = kDefaultSpan;
    std::optional<Ms> paused_at_;
};

}  // namespace plx::recording
