#include "recording/poll_log.h"

#include <utility>

namespace plx::recording {

std::function<QDateTime(std::chrono::milliseconds)> anchored_wall_clock(std::chrono::milliseconds now,
                                                                        QDateTime wall_now) {
    return [now, wall_now](std::chrono::milliseconds at) { return wall_now.addMSecs((at - now).count()); };
}

void PollLog::sent(std::chrono::milliseconds at) {
    awaited_ = at;
}

void PollLog::answered(std::chrono::milliseconds at, const Values& values) {
    if (!awaited_) return;
    newest_ = Answer{*awaited_, values};
    end(at, {});
}

void PollLog::failed(std::chrono::milliseconds at, std::string reason) {
    if (!awaited_) return;
    end(at, std::move(reason));
}

void PollLog::end(std::chrono::milliseconds at, std::string reason) {
    const Poll p{*awaited_, at, wall_(at), newest_, std::move(reason)};
    awaited_.reset();
    if (on_poll) on_poll(p);
}

}  // namespace plx::recording
