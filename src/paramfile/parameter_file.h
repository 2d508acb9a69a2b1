#pragma once
// The parameter file of a unit's whole configuration: 14 header lines, one line per configuration
// register (60) and one per configuration bit (32), ";"-separated, Windows-1252, CR LF on every line.
// Pure: the writer turns plain values into the file's bytes, the reader turns bytes into what each
// line gives and applies nothing itself, so the window and the command-line program share both.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plx::paramfile {

inline constexpr int kRegisterCount = 60;
inline constexpr int kBitCount = 32;
inline constexpr int kHeaderLines = 14;
inline constexpr int kFirstRegisterLine = kHeaderLines + 1;
inline constexpr int kFirstBitLine = kFirstRegisterLine + kRegisterCount;
inline constexpr int kLineCount = kHeaderLines + kRegisterCount + kBitCount;  // 106
// registers 1 and 2 identify the unit (coding, firmware): written, never loaded
inline constexpr int kFirstLoadedRegister = 2;
inline constexpr int kFirstLoadedLine = kFirstRegisterLine + kFirstLoadedRegister;  // 17

// A parameter file is small text: anything beyond these bounds is plainly something else.
inline constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;
inline constexpr std::size_t kMaxLineBytes = 4096;

// The labels of the header and bit lines in the language in use (lang_text 7 .. 12).
struct Labels {
    std::string advice;   // 7
    std::string bit_key;  // 8
    std::string baud;     // 9
    std::string mode;     // 10
    std::string parity;   // 11
    std::string address;  // 12
};

struct Header {
    // nullopt when the installation records no version or none that reads as a number
    std::optional<double> version;
    char decimal_separator = ',';
    std::string date_text;  // the user's short date format
    std::string time_text;  // the user's time format
    std::string baud_text;
    std::string modbus_mode;
    std::string parity_text;  // the parity list's text: "Even", "Odd", "None"
    std::string address_text;
};

// Everything a file holds; texts are UTF-8, captions as they stand on the screen.
struct Contents {
    Header header;
    Labels labels;
    std::array<std::string, kRegisterCount> register_captions{};
    std::array<std::string, kRegisterCount> register_texts{};
    std::array<std::string, kBitCount> bit_captions{};
    std::array<int, kBitCount> bit_states{};
};

// A number as the file writes it: a blank (or the minus sign) in front, one blank after, the
// fraction with the given separator, no leading zeros and no grouping.
std::string number_field(double v, char decimal_separator);

// The 106 lines, UTF-8, without line ends.
std::vector<std::string> file_lines(const Contents& c);

struct Written {
    std::string bytes;
    // set when a line holds a character Windows-1252 has no form for, or a control character other
    // than tab: nothing is written then
    int bad_line = 0;
    char32_t bad_character = 0;
    bool ok() const { return bad_line == 0; }
};
Written write(const Contents& c);

// Why a file is not taken as a parameter file at all.
enum class Refusal {
    none,
    too_large,      // more than kMaxFileBytes
    line_too_long,  // a line of more than kMaxLineBytes
    binary,         // a NUL byte or another control character than tab, CR and LF
    shape,          // line 15, 16, 75 or 106 is not a register or bit line of its number (or missing: 15)
};

// Why one data line gives nothing; its field keeps its value.
enum class LineProblem {
    too_few_fields,   // fewer than three ";"-separated fields
    not_a_bit_state,  // a bit line whose third field is not 0 or 1
};

struct LineNote {
    int line;         // 1-based
    std::string key;  // the line's first field, UTF-8, for messages
    LineProblem problem;
};

struct ReadResult {
    Refusal refusal = Refusal::none;
    int refusal_line = 0;  // the offending line for line_too_long, binary and shape
    // lines ended by a line break, counted up to kLineCount; a last line without one is incomplete
    int complete_lines = 0;
    // the third field of each complete register line from register 3 on, UTF-8 and unchanged
    std::array<std::optional<std::string>, kRegisterCount> register_texts{};
    std::array<std::optional<int>, kBitCount> bit_states{};
    std::vector<LineNote> notes;

    bool refused() const { return refusal != Refusal::none; }
    bool complete() const { return !refused() && complete_lines >= kLineCount; }
};

// How a file is recognised and its values taken.
struct ReadRules {
    // A register value written with the other decimal separator ("0.5" where "," is in use) is given
    // with this one; 0 gives every value as it stands.
    char decimal_separator = 0;
    // The first word of a bit line in each language ("Konfigurationsbit", "Configuration bit"). Lines
    // 15, 16, 75 and 106 must read "Register 1 ;", "Register 2 ;", "<bit key> 1 ;", "<bit key> 32 ;"
    // with two fields after the key; with no keys given the shape is not checked.
    std::vector<std::string> bit_keys;
};

// The lines whose shape tells a parameter file from another text.
inline constexpr int kShapeLines[] = {kFirstRegisterLine, kFirstRegisterLine + 1, kFirstBitLine, kLineCount};
// "Register 1", "Konfigurationsbit 32": the key a shape line begins with, with the first bit key given.
std::string shape_key(int line, const ReadRules& rules);

// Reads by position: apart from the four shape lines the header, the keys and the captions are
// never compared, so a file of either language loads the same way. Line ends may be CR LF, LF or CR.
ReadResult read(std::string_view bytes, const ReadRules& rules = {});

}  // namespace plx::paramfile
