#pragma once
// The unit's data points as data: every address, Modbus table, scale and control index lives here
// once. Request builders, dispatch, editor, parameter file and simulator all read these tables.

#include <array>
#include <cstdint>
#include <optional>

namespace plx::device::regmap {

enum class Table {
    holding_registers,
    coils,
};

// How a word is shown and written.
enum class Scale {
    integer,  // the signed word itself
    tenths,   // word / 10 on the screen, text * 10 on the wire
    bcd,      // the typed digits are the hex digits (clock registers)
};

enum class Sign {
    signed16,
    unsigned16,
};

// Which extra characters a configuration field takes besides digits and Backspace.
enum class KeyFilter {
    digits,
    separator_and_sign,
    separator,
};

// The function codes the tool uses.
inline constexpr std::uint8_t fn_read_coils = 0x01;
inline constexpr std::uint8_t fn_read_holding_registers = 0x03;
inline constexpr std::uint8_t fn_write_coils = 0x0F;
inline constexpr std::uint8_t fn_write_registers = 0x10;

// One of the five groups: where it lies, how many points, and the part of it a read-out requests.
struct Group {
    Table table;
    std::uint16_t start;  // address of control index 0
    int count;            // number of data points (control indices 0 .. count-1)
    int read_first;       // first control index a read requests
    int read_count;       // points per read request
    int write_count;      // points per write request (0: never written)
    constexpr std::uint16_t address(int index) const { return static_cast<std::uint16_t>(start + index); }
};

inline constexpr Group cfg_register_group{Table::holding_registers, 0x0000, 60, 0, 10, 10};
inline constexpr Group cfg_bit_group{Table::coils, 0x0000, 32, 0, 32, 32};
inline constexpr Group input_bit_group{Table::coils, 0x0100, 16, 0, 16, 16};
// the read-back leaves out the clock registers 0 .. 6
inline constexpr Group input_register_group{Table::holding_registers, 0x0200, 28, 7, 21, 1};
inline constexpr Group output_register_group{Table::holding_registers, 0x0100, 17, 0, 17, 0};

// configuration register 33, read alone after the port opens
inline constexpr int response_time_register = 33;
inline constexpr int cfg_block_count = cfg_register_group.count / cfg_register_group.read_count;
// the last input register the read-back loads into a field (26 and 27 are received, not shown)
inline constexpr int input_register_last_shown = 25;

struct CfgRegister {
    int k;
    std::uint16_t address;
    Scale scale;
    bool has_combo;    // cmb_cfg(k) exists
    bool has_spinner;  // UpD_txt_cfg(k) exists
    double min;        // spinner bounds and step; 0 where there is no spinner
    double max;
    double step;
    KeyFilter keys;
    const char* meaning;
    Sign sign = Sign::signed16;
};

namespace detail {
using S = Scale;
using K = KeyFilter;
constexpr CfgRegister plain(int k, K keys, const char* m) {
    return {k, static_cast<std::uint16_t>(k), S::integer, false, false, 0, 0, 0, keys, m};
}
constexpr CfgRegister combo(int k, K keys, const char* m) {
    return {k, static_cast<std::uint16_t>(k), S::integer, true, false, 0, 0, 0, keys, m};
}
constexpr CfgRegister spin(int k, double lo, double hi, K keys, const char* m) {
    return {k, static_cast<std::uint16_t>(k), S::integer, false, true, lo, hi, 1, keys, m};
}
// a spinner field whose word the unit holds unsigned (0 .. 65535)
constexpr CfgRegister spin_word(int k, double lo, double hi, K keys, const char* m) {
    return {k, static_cast<std::uint16_t>(k), S::integer, false, true, lo, hi, 1, keys, m, Sign::unsigned16};
}
constexpr CfgRegister spin_tenths(int k, double lo, double hi, K keys, const char* m) {
    return {k, static_cast<std::uint16_t>(k), S::tenths, false, true, lo, hi, 0.1, keys, m};
}
}  // namespace detail

// clang-format off
inline constexpr std::array<CfgRegister, 60> cfg_registers{{
    detail::plain(0, KeyFilter::digits, "device coding"),
    detail::plain(1, KeyFilter::digits, "firmware version"),
    detail::combo(2, KeyFilter::digits, "number of operating buttons (2, 4, 8 or 12)"),
    detail::spin_word(3, 0, 65535, KeyFilter::digits, "device location code"),
    detail::spin(4, 0, 255, KeyFilter::digits, "display backlight intensity without button actuation"),
    detail::spin(5, 0, 255, KeyFilter::digits, "display backlight intensity with button actuation"),
    detail::spin(6, 0, 255, KeyFilter::digits, "labelling-area backlight intensity without button actuation"),
    detail::spin(7, 0, 255, KeyFilter::digits, "labelling-area backlight intensity with button actuation"),
    detail::combo(8, KeyFilter::digits, "function of button T1"),
    detail::combo(9, KeyFilter::digits, "function of button T2"),
    detail::combo(10, KeyFilter::digits, "function of button T3"),
    detail::combo(11, KeyFilter::digits, "function of button T4"),
    detail::combo(12, KeyFilter::digits, "function of button T5"),
    detail::combo(13, KeyFilter::digits, "function of button T6"),
    detail::combo(14, KeyFilter::digits, "function of button T7"),
    detail::combo(15, KeyFilter::digits, "function of button T8"),
    detail::combo(16, KeyFilter::digits, "function of button T9"),
    detail::combo(17, KeyFilter::digits, "function of button T10"),
    detail::combo(18, KeyFilter::digits, "function of button T11"),
    detail::combo(19, KeyFilter::digits, "function of button T12"),
    detail::combo(20, KeyFilter::digits, "function of the LED of button T5"),
    detail::combo(21, KeyFilter::digits, "function of the LED of button T6"),
    detail::combo(22, KeyFilter::digits, "function of the LED of button T7"),
    detail::combo(23, KeyFilter::digits, "function of the LED of button T8"),
    detail::combo(24, KeyFilter::digits, "function of the LED of button T9"),
    detail::combo(25, KeyFilter::digits, "function of the LED of button T10"),
    detail::combo(26, KeyFilter::digits, "function of the LED of button T11"),
    detail::combo(27, KeyFilter::digits, "function of the LED of button T12"),
    detail::combo(28, KeyFilter::digits, "weekday display"),
    detail::combo(29, KeyFilter::digits, "date display"),
    detail::combo(30, KeyFilter::digits, "time display"),
    detail::combo(31, KeyFilter::digits, "time mode (24-hour or 12-hour)"),
    detail::spin(32, 0, 255, KeyFilter::digits, "display update interval, seconds"),
    detail::spin(33, 0, 3000, KeyFilter::digits, "minimum response time of the unit, ms"),
    detail::spin_tenths(34, -10, 10, KeyFilter::separator_and_sign, "temperature offset, K"),
    detail::spin_tenths(35, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 1: upper adjustment range"),
    detail::spin_tenths(36, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 1: lower adjustment range"),
    detail::spin_tenths(37, 0, 100, KeyFilter::separator, "setpoint temperature 1: resolution"),
    detail::spin_tenths(38, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 1: basic setpoint after reset"),
    detail::spin_tenths(39, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 2: upper adjustment range"),
    detail::spin_tenths(40, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 2: lower adjustment range"),
    detail::spin_tenths(41, 0, 100, KeyFilter::separator, "setpoint temperature 2: resolution"),
    detail::spin_tenths(42, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 2: basic setpoint after reset"),
    detail::spin(43, -100, 100, KeyFilter::digits, "setpoint percent 1: upper adjustment range"),
    detail::spin(44, -100, 100, KeyFilter::digits, "setpoint percent 1: lower adjustment range"),
    detail::spin(45, 0, 100, KeyFilter::digits, "setpoint percent 1: resolution"),
    detail::spin(46, 0, 100, KeyFilter::digits, "setpoint percent 1: basic setpoint after reset"),
    detail::spin(47, -100, 100, KeyFilter::digits, "setpoint percent 2: upper adjustment range"),
    detail::spin(48, -100, 100, KeyFilter::digits, "setpoint percent 2: lower adjustment range"),
    detail::spin(49, 0, 100, KeyFilter::digits, "setpoint percent 2: resolution"),
    detail::spin(50, 0, 100, KeyFilter::digits, "setpoint percent 2: basic setpoint after reset"),
    detail::spin(51, -999, 999, KeyFilter::separator_and_sign, "setpoint value 1: upper adjustment range"),
    detail::spin(52, -999, 999, KeyFilter::separator_and_sign, "setpoint value 1: lower adjustment range"),
    detail::spin(53, 0, 999, KeyFilter::separator, "setpoint value 1: resolution"),
    detail::spin(54, -999, 999, KeyFilter::separator_and_sign, "setpoint value 1: basic setpoint after reset"),
    detail::spin(55, -999, 999, KeyFilter::separator_and_sign, "setpoint value 2: upper adjustment range"),
    detail::spin(56, -999, 999, KeyFilter::separator_and_sign, "setpoint value 2: lower adjustment range"),
    detail::spin(57, 0, 999, KeyFilter::separator, "setpoint value 2: resolution"),
    detail::spin(58, -999, 999, KeyFilter::separator_and_sign, "setpoint value 2: basic setpoint after reset"),
    detail::combo(59, KeyFilter::separator, "number of fan stages"),
}};
// clang-format on

struct CfgBit {
    int j;
    std::uint16_t address;
    bool has_combo;  // cmb_bit_cfg(j) exists
    bool reserved;
    const char* meaning;
};

inline constexpr std::array<CfgBit, 32> cfg_bits{{
    {0, 0x00, false, false, "show room temperature (internal sensor)"},
    {1, 0x01, false, false, "show outdoor temperature"},
    {2, 0x02, false, false, "show external temperature 1"},
    {3, 0x03, false, false, "show external temperature 2"},
    {4, 0x04, false, false, "show external percent value 1"},
    {5, 0x05, false, false, "show external percent value 2"},
    {6, 0x06, false, false, "show external value without unit 1"},
    {7, 0x07, false, false, "show external value without unit 2"},
    {8, 0x08, false, false, "show setpoint temperature 1 offset"},
    {9, 0x09, false, false, "show setpoint temperature 1 effective"},
    {10, 0x0A, false, false, "show setpoint temperature 2 offset"},
    {11, 0x0B, false, false, "show setpoint temperature 2 effective"},
    {12, 0x0C, false, false, "show setpoint percent 1 offset"},
    {13, 0x0D, false, false, "show setpoint percent 1 effective"},
    {14, 0x0E, false, false, "show setpoint percent 2 offset"},
    {15, 0x0F, false, false, "show setpoint percent 2 effective"},
    {16, 0x10, false, false, "show setpoint value 1 offset"},
    {17, 0x11, false, false, "show setpoint value 1 effective"},
    {18, 0x12, false, false, "show setpoint value 2 offset"},
    {19, 0x13, false, false, "show setpoint value 2 effective"},
    {20, 0x14, false, false, "display fan speed after reset"},
    {21, 0x15, false, false, "display occupancy after reset"},
    {22, 0x16, false, false, "activate device by button"},
    {23, 0x17, false, true, "reserved"},
    {24, 0x18, true, false, "measuring unit of temperature (degC or degF)"},
    {25, 0x19, true, false, "temperature display with or without decimal point"},
    {26, 0x1A, true, false, "decimal point of values without unit faded in or out"},
    {27, 0x1B, true, false, "setpoint temperature adjustment shows effective setpoint or offset"},
    {28, 0x1C, true, false, "setpoint percent adjustment shows effective setpoint or offset"},
    {29, 0x1D, true, false, "setpoint value adjustment shows effective setpoint or offset"},
    {30, 0x1E, false, true, "reserved"},
    {31, 0x1F, false, true, "reserved"},
}};

struct InputBit {
    int j;
    std::uint16_t address;
    const char* meaning;
};

inline constexpr std::array<InputBit, 16> input_bits{{
    {0, 0x0100, "LED of button T12"},
    {1, 0x0101, "LED of button T11"},
    {2, 0x0102, "LED of button T10"},
    {3, 0x0103, "LED of button T9"},
    {4, 0x0104, "LED of button T8"},
    {5, 0x0105, "LED of button T7"},
    {6, 0x0106, "LED of button T6"},
    {7, 0x0107, "LED of button T5"},
    {8, 0x0108, "switch on the fault symbol"},
    {9, 0x0109, "switch on the heating symbol"},
    {10, 0x010A, "switch on the cooling symbol"},
    {11, 0x010B, "switch on the window symbol"},
    {12, 0x010C, "deactivate the buttons"},
    {13, 0x010D, "deactivate occupancy"},
    {14, 0x010E, "deactivate fan speed"},
    {15, 0x010F, "deactivate setpoint"},
}};

enum class ReadBack {
    none,      // never requested (clock registers)
    shown,     // requested and loaded into txt_data_in(k)
    received,  // requested, not loaded
};

struct InputRegister {
    int k;
    std::uint16_t address;
    Scale scale;
    ReadBack read_back;
    double min;  // what a typed value may be, in the unit shown on the screen
    double max;
    const char* meaning;
};

inline constexpr std::array<InputRegister, 28> input_registers{{
    {0, 0x0200, Scale::bcd, ReadBack::none, 0, 59, "clock: second"},
    {1, 0x0201, Scale::bcd, ReadBack::none, 0, 59, "clock: minute"},
    {2, 0x0202, Scale::bcd, ReadBack::none, 0, 23, "clock: hour"},
    {3, 0x0203, Scale::bcd, ReadBack::none, 1, 31, "clock: day"},
    {4, 0x0204, Scale::bcd, ReadBack::none, 1, 12, "clock: month"},
    {5, 0x0205, Scale::bcd, ReadBack::none, 0, 99, "clock: year, two digits"},
    {6, 0x0206, Scale::bcd, ReadBack::none, 0, 99, "seventh clock field (hidden)"},
    {7, 0x0207, Scale::tenths, ReadBack::shown, -100, 100, "outdoor temperature, degC"},
    {8, 0x0208, Scale::tenths, ReadBack::shown, -100, 100, "external temperature 1, degC"},
    {9, 0x0209, Scale::tenths, ReadBack::shown, -100, 100, "external temperature 2, degC"},
    {10, 0x020A, Scale::integer, ReadBack::shown, 0, 100, "external percent value 1"},
    {11, 0x020B, Scale::integer, ReadBack::shown, 0, 100, "external percent value 2"},
    {12, 0x020C, Scale::integer, ReadBack::shown, -999, 999, "external value without unit 1"},
    {13, 0x020D, Scale::integer, ReadBack::shown, -999, 999, "external value without unit 2"},
    {14, 0x020E, Scale::tenths, ReadBack::shown, -100, 100, "setpoint offset of setpoint temperature 1, K"},
    {15, 0x020F, Scale::tenths, ReadBack::shown, -100, 100, "setpoint offset of setpoint temperature 2, K"},
    {16, 0x0210, Scale::integer, ReadBack::shown, 0, 100, "setpoint offset of setpoint percent 1"},
    {17, 0x0211, Scale::integer, ReadBack::shown, 0, 100, "setpoint offset of setpoint percent 2"},
    {18, 0x0212, Scale::integer, ReadBack::shown, -999, 999, "setpoint offset of setpoint value 1"},
    {19, 0x0213, Scale::integer, ReadBack::shown, -999, 999, "setpoint offset of setpoint value 2"},
    {20, 0x0214, Scale::tenths, ReadBack::shown, -100, 100, "basic setpoint of setpoint temperature 1, degC"},
    {21, 0x0215, Scale::tenths, ReadBack::shown, -100, 100, "basic setpoint of setpoint temperature 2, degC"},
    {22, 0x0216, Scale::integer, ReadBack::shown, 0, 100, "basic setpoint of setpoint percent 1"},
    {23, 0x0217, Scale::integer, ReadBack::shown, 0, 100, "basic setpoint of setpoint percent 2"},
    {24, 0x0218, Scale::integer, ReadBack::shown, -999, 999, "basic setpoint of setpoint value 1"},
    {25, 0x0219, Scale::integer, ReadBack::shown, -999, 999, "basic setpoint of setpoint value 2"},
    {26, 0x021A, Scale::integer, ReadBack::received, 0, 4, "fan stage"},
    {27, 0x021B, Scale::integer, ReadBack::received, 0, 1, "room occupancy"},
}};

struct OutputRegister {
    int i;
    std::uint16_t address;
    Scale scale;
    Sign sign;
    const char* meaning;
};

inline constexpr std::array<OutputRegister, 17> output_registers{{
    {0, 0x0100, Scale::integer, Sign::unsigned16, "button state word 0"},
    {1, 0x0101, Scale::integer, Sign::unsigned16, "button state word 1"},
    {2, 0x0102, Scale::tenths, Sign::signed16, "room temperature, degC"},
    {3, 0x0103, Scale::tenths, Sign::signed16, "setpoint temperature 1 offset, K"},
    {4, 0x0104, Scale::tenths, Sign::signed16, "setpoint temperature 1 effective, degC"},
    {5, 0x0105, Scale::tenths, Sign::signed16, "setpoint temperature 2 offset, K"},
    {6, 0x0106, Scale::tenths, Sign::signed16, "setpoint temperature 2 effective, degC"},
    {7, 0x0107, Scale::integer, Sign::signed16, "setpoint percent 1 offset"},
    {8, 0x0108, Scale::integer, Sign::signed16, "setpoint percent 1 effective"},
    {9, 0x0109, Scale::integer, Sign::signed16, "setpoint percent 2 offset"},
    {10, 0x010A, Scale::integer, Sign::signed16, "setpoint percent 2 effective"},
    {11, 0x010B, Scale::integer, Sign::signed16, "setpoint value 1 offset"},
    {12, 0x010C, Scale::integer, Sign::signed16, "setpoint value 1 effective"},
    {13, 0x010D, Scale::integer, Sign::signed16, "setpoint value 2 offset"},
    {14, 0x010E, Scale::integer, Sign::signed16, "setpoint value 2 effective"},
    {15, 0x010F, Scale::integer, Sign::signed16, "fan stage"},
    {16, 0x0110, Scale::integer, Sign::signed16, "room occupancy"},
}};

// the button word carries 0xF000 plus one bit per push button
inline constexpr std::uint16_t button_word_base = 0xF000;
inline constexpr int button_lamp_count = 12;

constexpr bool is_tenths_cfg(int k) {
    return k >= 0 && k < cfg_register_group.count &&
           cfg_registers[static_cast<std::size_t>(k)].scale == Scale::tenths;
}
constexpr bool is_tenths_in(int k) {
    return k >= 0 && k < input_register_group.count &&
           input_registers[static_cast<std::size_t>(k)].scale == Scale::tenths;
}
constexpr bool is_bcd_in(int k) {
    return k >= 0 && k < input_register_group.count &&
           input_registers[static_cast<std::size_t>(k)].scale == Scale::bcd;
}
constexpr bool is_tenths_out(int i) {
    return i >= 0 && i < output_register_group.count &&
           output_registers[static_cast<std::size_t>(i)].scale == Scale::tenths;
}
constexpr bool is_unsigned_out(int i) {
    return i >= 0 && i < output_register_group.count &&
           output_registers[static_cast<std::size_t>(i)].sign == Sign::unsigned16;
}
constexpr bool has_cfg_combo(int k) {
    return k >= 0 && k < cfg_register_group.count && cfg_registers[static_cast<std::size_t>(k)].has_combo;
}
constexpr bool has_bit_combo(int j) {
    return j >= 0 && j < cfg_bit_group.count && cfg_bits[static_cast<std::size_t>(j)].has_combo;
}

// The table row of a data point by its Modbus address, or nothing outside the group.
constexpr std::optional<int> index_of(const Group& g, std::uint16_t address) {
    if (address < g.start || address >= g.start + g.count) return std::nullopt;
    return address - g.start;
}

// The tables describe themselves consistently: index = position, address = start + index.
namespace detail {
template <class Row, std::size_t N>
constexpr bool rows_in_order(const std::array<Row, N>& rows, const Group& g) {
    if (N != static_cast<std::size_t>(g.count)) return false;
    for (std::size_t n = 0; n < N; ++n) {
        const Row& r = rows[n];
        if (r.address != g.address(static_cast<int>(n))) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::rows_in_order(cfg_registers, cfg_register_group));
static_assert(detail::rows_in_order(cfg_bits, cfg_bit_group));
static_assert(detail::rows_in_order(input_bits, input_bit_group));
static_assert(detail::rows_in_order(input_registers, input_register_group));
static_assert(detail::rows_in_order(output_registers, output_register_group));

}  // namespace plx::device::regmap
