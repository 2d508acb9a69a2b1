#pragma once
// The polls of the output registers as they happen, each ended once: by its valid answer, or without
// values and with the reason the line gives. It keeps the newest valid answer, so a row can tell how
// old the newest values are, and never repeats them for a poll that brought none.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <QDateTime>

#include "recording/rows.h"

namespace plx::recording {

// Clock readings to wall-clock times, anchored at one moment both were read.
std::function<QDateTime(std::chrono::milliseconds)> anchored_wall_clock(std::chrono::milliseconds now,
                                                                        QDateTime wall_now);

class PollLog {
  public:
    explicit PollLog(std::function<QDateTime(std::chrono::milliseconds)> wall) : wall_(std::move(wall)) {}

    // A poll went out; one still awaited is the caller's to end first.
    void sent(std::chrono::milliseconds at);
    // The answer to the poll awaited.
    void answered(std::chrono::milliseconds at, const Values& values);
    // The poll awaited ended without a valid answer.
    void failed(std::chrono::milliseconds at, std::string reason);
    bool awaiting() const { return awaited_.has_value(); }

    // Each ended poll, once, in order.
    std::function<void(const Poll&)> on_poll;

  private:
    void end(std::chrono::milliseconds at, std::string reason);

    std::function<QDateTime(std::chrono::milliseconds)> wall_;
    std::optional<std::chrono::milliseconds> awaited_;
    std::optional<Answer> newest_;
};

}  // namespace plx::recording
