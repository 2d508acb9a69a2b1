#pragma once
// The traffic window's rows as a table over the recorder's ring: which rows a view shows, what
// changed since it last looked (so it can announce removals and insertions), and the words of each
// cell, made only when asked. The Qt model binds to this; tests drive it headless.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "traffic/meaning.h"
#include "traffic/recorder.h"

namespace plx::traffic {

enum Column : int {
    column_time = 0,
    column_direction,
    column_frame,
    column_meaning,
    column_verdict,
    column_count,
};

class Table {
  public:
    explicit Table(const Recorder& recorder)
        : recorder_(recorder), generation_(recorder.generation()), first_(recorder.first_seq()) {}

    // Words and numbers in the user's language and decimal separator.
    Style style;
    // Added to a row's time stamp (the program's clock) to give the time of day it is shown with.
    std::chrono::milliseconds time_of_day_offset{0};

    // What changed in the ring since the rows shown were last brought up to date.
    struct Change {
        bool reset = false;        // cleared: every row shown is gone
        std::size_t dropped = 0;   // rows gone from the front (the ring was full)
        std::size_t appended = 0;  // new rows at the back
    };
    Change pending() const;
    // Takes the change in the view's steps: first the drop, then the append (or the reset).
    void accept_reset();
    void accept_drop();
    void accept_append();

    std::size_t row_count() const { return shown_; }
    // Null for a row no longer in the ring (a view may still ask while it learns of the drop).
    const Row* row(std::size_t i) const;

    static std::string header(Column c, const std::string& language_code);
    std::string cell(const Row& r, Column c) const;
    // A row that is not a request or an ok answer: the view marks it.
    static bool is_failure(const Row& r);
    // The header line, or one row: the cells separated by tabs, for copying and saving.
    std::string header_line() const;
    std::string line(const Row& r) const;

  private:
    const Recorder& recorder_;
    std::uint64_t generation_;
    std::uint64_t first_;  // seq of row 0 shown
    std::size_t shown_ = 0;
};

}  // namespace plx::traffic
