#pragma once
// The Monitor over time as rows: one per poll of the output registers, with the time it ended, the
// age of the newest values, every output register and the input registers as the Monitor and the
// input fields show them, or empty values and the reason when the poll brought no valid answer.
// Names and units come from the register map, numbers from the word codec.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QDateTime>

#include "device/register_map.h"

namespace plx::recording {

namespace regmap = device::regmap;

// How a spreadsheet of the user's language reads a CSV file without asking.
struct Dialect {
    char field = ';';
    char decimal = ',';
};
// German: ";" with the user's decimal separator; English: "," with ".".
Dialect dialect_for(const std::string& language_code, char user_separator);

// so that spreadsheets take the file for UTF-8 ("°C", umlauts)
inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The fields as one CSV line with CR LF; a field holding the separator, a quote or a line break is
// quoted, its quotes doubled.
std::string csv_line(const std::vector<std::string>& fields, const Dialect& d);

enum class Source {
    output_register,
    input_register,
};

struct Column {
    Source source;
    int index;  // i of txt_data_out(i) or k of txt_data_in(k)
};

// The recorded data points in column order: output registers 0 .. 16, then the input registers the
// engineer writes and the read-out brings back (7 .. 25).
const std::vector<Column>& columns();
// "Raumtemperatur, °C", "effektiver Sollwert Prozentwert 1, %", "Eingaberegister 8: externe Temperatur 1, °C"
std::string column_name(const Column& c, const std::string& language_code);

using Outputs = std::array<std::uint16_t, regmap::output_register_group.count>;

// What one valid answer showed: the output words, and the input registers as the tool knows the unit
// holds them (read back or written; nothing where it does not know).
struct Values {
    Outputs outputs{};
    std::array<std::optional<double>, regmap::input_register_group.count> inputs{};
};

// The physical unit of a column's value, from the register map.
regmap::Unit unit_of(const Column& c);

// The number a column stands for, as the Monitor shows it.
std::optional<double> value_of(const Values& v, const Column& c);

// The newest valid answer: when its request went out, and what it brought.
struct Answer {
    std::chrono::milliseconds sent{0};
    Values values;
};

// One poll as it ended. Times are readings of the program's clock; `ended_at` is the wall-clock time
// of `ended`.
struct Poll {
    std::chrono::milliseconds sent{0};
    std::chrono::milliseconds ended{0};
    QDateTime ended_at;
    std::optional<Answer> newest;
    std::string reason;  // what the line saw when the poll brought no valid answer
    // values only from the answer to this very poll, never an older one
    bool answered() const { return newest.has_value() && newest->sent >= sent; }
};

// "2025-03-14T10:15:30.517": the time as given (local time) with milliseconds. Spreadsheets read this
// form as a date and time; with the offset written after it they take it for text.
std::string iso_time(const QDateTime& t);

// Time (with the offset from UTC of `start`: "Zeit (UTC+01:00)"), answer age, reason, then the
// columns' names.
std::vector<std::string> header(const std::string& language_code, const QDateTime& start);
// The fields of one poll, in the order of the header. The age is how old the newest values are when
// the poll ends (since their request went out), also when they are not this poll's.
std::vector<std::string> row(const Poll& p, const Dialect& d);

}  // namespace plx::recording
