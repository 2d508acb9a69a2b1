#pragma once
// The words of the Monitor's recording and trend, in both languages: the columns of the CSV file,
// the Monitor tab's record button and trend, and what a failed file says. One row per text.

#include <string>
#include <vector>

namespace plx::lang {

enum class RecordingText {
    // CSV columns besides the values; %1: the offset of local time from UTC ("UTC+01:00")
    column_time,
    column_age,
    column_reason,
    // %1: the register number, %2: its meaning
    input_column,
    // the Monitor tab
    record,
    stop,
    dialog_title,
    dialog_filter,
    // %1: the file, %2: rows written
    recording_to,
    recorded_to,
    // %1: the file, %2: the system's reason
    not_opened,
    // %1: the file, %2: the system's reason, %3: rows written before
    write_failed,
    trend_title,
    span,
    // %1: minutes
    span_minutes,
    paused_note,
    gap_legend,
    trend_hint,
};

// The text of `id` in the language of `language_code`, %1 .. %9 replaced by `args`.
std::string recording_text(RecordingText id,
                           const std::string& language_code,
                           const std::vector<std::string>& args = {});

}  // namespace plx::lang
