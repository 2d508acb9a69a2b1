#pragma once
// The words of plx24ctl's reports in German and English, in one place: how each unit fared, what a
// request was for, and what reception saw (the link's verdicts), so the traffic view can share them.

#include <string>
#include <vector>

#include "bus/scan.h"
#include "bus/unit_job.h"
#include "modbus/diagnostics.h"

namespace plx::cli {

enum class Word {
    scan_columns,
    scan_none,
    scan_count,
    scan_slow,
    scan_refused,
    buttons,
    unit_read,
    unit_verified,
    unit_differs,
    unit_no_answer,
    unit_no_valid_answer,
    unit_exception,
    unit_buttons_changed,
    write_summary,
    diff_line,
    diff_none,
    diff_count,
    diff_file,
    diff_unit,
    file_not_read,
    file_refused,
    file_short,
    file_bad_line,
    file_not_sendable,
    encode_empty,
    encode_not_a_number,
    encode_out_of_range,
    output_not_written,
    device_failed,
    no_device,
    monitor_no_answer,
    monitor_pressed,
};

// The text of `w` in the language of `language_code`, %1 .. %9 replaced by `args`.
std::string say(Word w, const std::string& language_code, const std::vector<std::string>& args = {});

// What reception saw, in the traffic window's words: "check sum wrong", "wrong slave address", ...
std::string verdict_words(modbus::Verdict v, const std::string& language_code);
// "exception 03 (illegal data value)"; a code without a standard meaning by its number only.
std::string exception_words(int code, const std::string& language_code);
// What a request was for, as the traffic window names it: "write configuration registers 30..39".
std::string step_words(const bus::StepRef& step, const std::string& language_code);
// How a unit job failed, after "Unit N: ".
std::string failure_words(const bus::Failure& f, const std::string& language_code);
// A short English name for JSON: "no_answer", "exception", "no_valid_answer".
std::string failure_kind(const bus::Failure& f);

}  // namespace plx::cli
