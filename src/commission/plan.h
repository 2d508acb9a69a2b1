#pragma once
// A plan: which units of a site get which configuration. One CSV row per unit (";" or ","
// separated, UTF-8 or Windows-1252, the first row naming the columns): its address, the parameter file
// to base it on, optionally its line settings, the device of its line and a note (the room's name),
// and any number of values
// of its own, in columns named "Register N", "Konfigurationsbit N" ("Configuration bit N") or by a
// field's caption where that is unique. The whole plan is checked before anything goes out: a value
// as the window's field would take it, each address once on its line, every column known.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/line_settings.h"

namespace plx::commission {

// A plan is small text: beyond these it is plainly something else.
inline constexpr std::size_t kMaxPlanBytes = std::size_t{1} << 20;
inline constexpr std::size_t kMaxPlanFieldBytes = 4096;

enum class ColumnKind {
    address,
    file,
    baud,
    parity,
    mode,
    device,
    note,  // a room's name or any remark: carried into the record, never sent
    cfg_register,
    cfg_bit,
};

struct Column {
    ColumnKind kind = ColumnKind::address;
    int index = 0;      // the register (0 .. 59) or bit (0 .. 31) of a value column
    std::string title;  // as the plan names it
};

// A value of a unit's own, as its row gives it.
struct RowValue {
    int column = 0;  // 0-based
    bool bit = false;
    int index = 0;           // register 0 .. 59 or bit 0 .. 31
    std::string text;        // as the row gives it
    std::uint16_t word = 0;  // the register's word, or the bit's state (0 or 1)
};

struct PlanRow {
    int row = 0;  // as a spreadsheet numbers it: the column titles are row 1
    int address = 0;
    std::string file;  // as the row names it
    std::string path;  // the file, a relative name taken from the plan's folder
    std::optional<int> baud;
    std::optional<char> parity;
    std::optional<modbus::Framing> framing;
    std::string device;  // empty: the line of the command
    std::string note;
    std::vector<RowValue> values;

    // The row's line settings; what it leaves empty comes from `defaults`.
    modbus::LineSettings line(const modbus::LineSettings& defaults) const;
};

struct Plan {
    std::vector<Column> columns;
    std::vector<PlanRow> rows;
};

struct PlanContext {
    std::string name;    // the plan as messages name it
    std::string folder;  // where relative file names start
    std::string language_code;
    char separator = ',';  // the user's decimal separator, as the window takes a typed value
};

struct PlanRead {
    std::optional<Plan> plan;
    std::string error;  // why not, naming row and column; the plan is then empty
};

// The plan's bytes checked whole: the first problem is the error.
PlanRead read_plan(std::string_view bytes, const PlanContext& context);

// Where a message points: "plan.csv, row 3, column "Standortkennung" (C)".
std::string cell_name(const PlanContext& context, int row, int column, const std::string& title);
// "A" .. "Z", "AA", ...: a column as a spreadsheet names it (0-based).
std::string column_letter(int column);

}  // namespace plx::commission
