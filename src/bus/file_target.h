#pragma once
// A parameter file as what goes to a unit: every register from 3 on and every bit, checked whole
// before any byte is sent. The rule is the window's: a file it would refuse, or a value Apply could
// not send, stops everything; a file that ends early is not half-written to a unit.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "bus/unit_job.h"
#include "device/value_rules.h"
#include "device/word_codec.h"
#include "paramfile/parameter_file.h"

namespace plx::bus {

enum class FileProblem {
    none,
    refused,       // not a parameter file at all (size, line length, binary): `refusal`
    incomplete,    // fewer than 106 complete lines: `complete_lines`
    bad_line,      // a line without its value field, or a bit that is not 0 or 1: `line`, `key`
    not_sendable,  // a register value that cannot travel as a word: `line`, `key`, `text`, `encode_error`
    refused_value,  // a register value the window's field refuses: `line`, `key`, `text`, `register_index`,
                    // `verdict`
};

struct FileCheck {
    FileProblem problem = FileProblem::none;
    paramfile::Refusal refusal = paramfile::Refusal::none;
    int line = 0;  // 1-based
    std::string key;
    std::string text;
    device::EncodeError encode_error = device::EncodeError::none;
    int register_index = 0;
    device::RuleVerdict verdict = device::RuleVerdict::ok;
    int complete_lines = 0;

    Target target;
    // the file's register texts as it holds them (registers 2 .. 59), for reports
    std::array<std::string, kRegisterCount> texts{};

    bool ok() const { return problem == FileProblem::none; }
};

// The register values with the user's decimal separator, as Apply encodes the fields, each within its
// field's rule (range and decimals) as the window takes a typed value.
FileCheck check_file(const paramfile::ReadResult& r, char separator);

// One register's text as the file gives it: the word it goes as, or why it cannot go.
struct ValueCheck {
    std::optional<std::uint16_t> word;
    device::EncodeError encode_error = device::EncodeError::none;
    device::RuleVerdict verdict = device::RuleVerdict::ok;
};
ValueCheck check_register_text(int k, const std::string& text, char separator);

// The text a register word shows in the window's field (and in a parameter file it writes).
std::string register_text(int k, std::uint16_t word, char separator);

}  // namespace plx::bus
