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

// The physical unit of a value as the unit reports and takes it (no value is ever converted).
enum class Unit {
    none,
    temperature,             // degC, or degF where configuration bit 24 selects it
    temperature_difference,  // K: offsets, adjustment ranges and resolution of temperature setpoints
    percent,
    seconds,
    milliseconds,
};

// The symbol a value of the unit is written with; empty for none. A temperature is in degC unless
// configuration bit 24 of the unit says degF.
constexpr const char* unit_symbol(Unit u) {
    switch (u) {
        case Unit::temperature:
            return "°C";
        case Unit::temperature_difference:
            return "K";
        case Unit::percent:
            return "%";
        case Unit::seconds:
            return "s";
        case Unit::milliseconds:
            return "ms";
        case Unit::none:
            break;
    }
    return "";
}

// Which extra characters a configuration field takes besides digits and Backspace.
enum class KeyFilter {
    digits,
    separator_and_sign,
    separator,
};

// The variants of the unit: the values of register 2, the number of operating buttons.
inline constexpr std::array<int, 4> button_variants{2, 4, 8, 12};

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
// each unit's own: its number of buttons (its variant) and the code of the room it serves
inline constexpr int button_count_register = 2;
inline constexpr int location_code_register = 3;
// configuration registers 0 .. 2 (device coding, firmware version, buttons) say what a unit is
inline constexpr int identification_register_count = 3;
inline constexpr int cfg_block_count = cfg_register_group.count / cfg_register_group.read_count;
// the last input register the read-back loads into a field (26 and 27 are received, not shown)
inline constexpr int input_register_last_shown = 25;

struct CfgRegister {
    int k;
    std::uint16_t address;
    Scale scale;
    bool has_combo;    // cmb_cfg(k) exists
    bool has_spinner;  // UpD_txt_cfg(k) exists
    double min;        // the values the field takes: its spinner's bounds, or its list's first and
    double max;        // last value; 0 for the read-only fields
    double step;       // the spinner's step; 0 where there is no spinner
    KeyFilter keys;
    const char* meaning;
    const char* meaning_de;
    Unit unit;
    Sign sign = Sign::signed16;
};

namespace detail {
using S = Scale;
using K = KeyFilter;
using U = Unit;
constexpr CfgRegister plain(int k, K keys, const char* m, const char* de, U unit = U::none) {
    return {k, static_cast<std::uint16_t>(k), S::integer, false, false, 0, 0, 0, keys, m, de, unit};
}
constexpr CfgRegister combo(
    int k, double first, double last, K keys, const char* m, const char* de, U unit = U::none) {
    return {k, static_cast<std::uint16_t>(k), S::integer, true, false, first, last, 0, keys, m, de, unit};
}
constexpr CfgRegister spin(
    int k, double lo, double hi, K keys, const char* m, const char* de, U unit = U::none) {
    return {k, static_cast<std::uint16_t>(k), S::integer, false, true, lo, hi, 1, keys, m, de, unit};
}
constexpr CfgRegister spin_tenths(
    int k, double lo, double hi, K keys, const char* m, const char* de, U unit = U::none) {
    return {k, static_cast<std::uint16_t>(k), S::tenths, false, true, lo, hi, 0.1, keys, m, de, unit};
}
// a spinner field whose word the unit holds unsigned (0 .. 65535)
constexpr CfgRegister spin_word(
    int k, double lo, double hi, K keys, const char* m, const char* de, U unit = U::none) {
    return {k, static_cast<std::uint16_t>(k), S::integer, false, true, lo, hi, 1, keys, m, de, unit, Sign::unsigned16};
}
}  // namespace detail

// clang-format off
inline constexpr std::array<CfgRegister, 60> cfg_registers{{
    detail::plain(0, KeyFilter::digits, "device coding", "Gerätecodierung"),
    detail::plain(1, KeyFilter::digits, "firmware version", "Firmwareversion"),
    detail::combo(2, 2, 12, KeyFilter::digits, "number of operating buttons (2, 4, 8 or 12)", "Anzahl der Bedientasten (2, 4, 8 oder 12)"),
    detail::spin_word(3, 0, 65535, KeyFilter::digits, "device location code", "Standortkennung des Geräts"),
    detail::spin(4, 0, 255, KeyFilter::digits, "display backlight intensity without button actuation", "Intensität der LCD-Hintergrundbeleuchtung ohne Tastbetätigung"),
    detail::spin(5, 0, 255, KeyFilter::digits, "display backlight intensity with button actuation", "Intensität der LCD-Hintergrundbeleuchtung bei Tastbetätigung"),
    detail::spin(6, 0, 255, KeyFilter::digits, "labelling-area backlight intensity without button actuation", "Intensität der Beschriftungsfeld-Beleuchtung ohne Tastbetätigung"),
    detail::spin(7, 0, 255, KeyFilter::digits, "labelling-area backlight intensity with button actuation", "Intensität der Beschriftungsfeld-Beleuchtung bei Tastbetätigung"),
    detail::combo(8, 0, 19, KeyFilter::digits, "function of button T1", "Funktion der Taste T1"),
    detail::combo(9, 0, 19, KeyFilter::digits, "function of button T2", "Funktion der Taste T2"),
    detail::combo(10, 0, 19, KeyFilter::digits, "function of button T3", "Funktion der Taste T3"),
    detail::combo(11, 0, 19, KeyFilter::digits, "function of button T4", "Funktion der Taste T4"),
    detail::combo(12, 0, 19, KeyFilter::digits, "function of button T5", "Funktion der Taste T5"),
    detail::combo(13, 0, 19, KeyFilter::digits, "function of button T6", "Funktion der Taste T6"),
    detail::combo(14, 0, 19, KeyFilter::digits, "function of button T7", "Funktion der Taste T7"),
    detail::combo(15, 0, 19, KeyFilter::digits, "function of button T8", "Funktion der Taste T8"),
    detail::combo(16, 0, 19, KeyFilter::digits, "function of button T9", "Funktion der Taste T9"),
    detail::combo(17, 0, 19, KeyFilter::digits, "function of button T10", "Funktion der Taste T10"),
    detail::combo(18, 0, 19, KeyFilter::digits, "function of button T11", "Funktion der Taste T11"),
    detail::combo(19, 0, 19, KeyFilter::digits, "function of button T12", "Funktion der Taste T12"),
    detail::combo(20, 0, 1, KeyFilter::digits, "function of the LED of button T5", "Funktion der LED von Taste T5"),
    detail::combo(21, 0, 1, KeyFilter::digits, "function of the LED of button T6", "Funktion der LED von Taste T6"),
    detail::combo(22, 0, 1, KeyFilter::digits, "function of the LED of button T7", "Funktion der LED von Taste T7"),
    detail::combo(23, 0, 1, KeyFilter::digits, "function of the LED of button T8", "Funktion der LED von Taste T8"),
    detail::combo(24, 0, 1, KeyFilter::digits, "function of the LED of button T9", "Funktion der LED von Taste T9"),
    detail::combo(25, 0, 1, KeyFilter::digits, "function of the LED of button T10", "Funktion der LED von Taste T10"),
    detail::combo(26, 0, 1, KeyFilter::digits, "function of the LED of button T11", "Funktion der LED von Taste T11"),
    detail::combo(27, 0, 1, KeyFilter::digits, "function of the LED of button T12", "Funktion der LED von Taste T12"),
    detail::combo(28, 0, 2, KeyFilter::digits, "weekday display", "Anzeige Wochentag"),
    detail::combo(29, 0, 2, KeyFilter::digits, "date display", "Anzeige Datum"),
    detail::combo(30, 0, 2, KeyFilter::digits, "time display", "Anzeige Uhrzeit"),
    detail::combo(31, 0, 1, KeyFilter::digits, "time mode (24-hour or 12-hour)", "Uhrzeit-Modus (24 oder 12 Stunden)"),
    detail::spin(32, 0, 255, KeyFilter::digits, "display update interval, seconds", "Aktualisierungsintervall der Anzeige, Sekunden", Unit::seconds),
    detail::spin(33, 0, 3000, KeyFilter::digits, "minimum response time of the unit, ms", "minimale Antwortzeit des Geräts, ms", Unit::milliseconds),
    detail::spin_tenths(34, -10, 10, KeyFilter::separator_and_sign, "temperature offset, K", "Temperatur-Offset, K", Unit::temperature_difference),
    detail::spin_tenths(35, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 1: upper adjustment range", "Sollwert Temperatur 1: oberer Verstellbereich", Unit::temperature_difference),
    detail::spin_tenths(36, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 1: lower adjustment range", "Sollwert Temperatur 1: unterer Verstellbereich", Unit::temperature_difference),
    detail::spin_tenths(37, 0, 100, KeyFilter::separator, "setpoint temperature 1: resolution", "Sollwert Temperatur 1: Auflösung", Unit::temperature_difference),
    detail::spin_tenths(38, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 1: basic setpoint after reset", "Sollwert Temperatur 1: Basissollwert nach Reset", Unit::temperature),
    detail::spin_tenths(39, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 2: upper adjustment range", "Sollwert Temperatur 2: oberer Verstellbereich", Unit::temperature_difference),
    detail::spin_tenths(40, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 2: lower adjustment range", "Sollwert Temperatur 2: unterer Verstellbereich", Unit::temperature_difference),
    detail::spin_tenths(41, 0, 100, KeyFilter::separator, "setpoint temperature 2: resolution", "Sollwert Temperatur 2: Auflösung", Unit::temperature_difference),
    detail::spin_tenths(42, -99, 99, KeyFilter::separator_and_sign, "setpoint temperature 2: basic setpoint after reset", "Sollwert Temperatur 2: Basissollwert nach Reset", Unit::temperature),
    detail::spin(43, -100, 100, KeyFilter::digits, "setpoint percent 1: upper adjustment range", "Sollwert Prozentwert 1: oberer Verstellbereich", Unit::percent),
    detail::spin(44, -100, 100, KeyFilter::digits, "setpoint percent 1: lower adjustment range", "Sollwert Prozentwert 1: unterer Verstellbereich", Unit::percent),
    detail::spin(45, 0, 100, KeyFilter::digits, "setpoint percent 1: resolution", "Sollwert Prozentwert 1: Auflösung", Unit::percent),
    detail::spin(46, 0, 100, KeyFilter::digits, "setpoint percent 1: basic setpoint after reset", "Sollwert Prozentwert 1: Basissollwert nach Reset", Unit::percent),
    detail::spin(47, -100, 100, KeyFilter::digits, "setpoint percent 2: upper adjustment range", "Sollwert Prozentwert 2: oberer Verstellbereich", Unit::percent),
    detail::spin(48, -100, 100, KeyFilter::digits, "setpoint percent 2: lower adjustment range", "Sollwert Prozentwert 2: unterer Verstellbereich", Unit::percent),
    detail::spin(49, 0, 100, KeyFilter::digits, "setpoint percent 2: resolution", "Sollwert Prozentwert 2: Auflösung", Unit::percent),
    detail::spin(50, 0, 100, KeyFilter::digits, "setpoint percent 2: basic setpoint after reset", "Sollwert Prozentwert 2: Basissollwert nach Reset", Unit::percent),
    detail::spin(51, -999, 999, KeyFilter::separator_and_sign, "setpoint value 1: upper adjustment range", "Sollwert Wert ohne Einheit 1: oberer Verstellbereich"),
    detail::spin(52, -999, 999, KeyFilter::separator_and_sign, "setpoint value 1: lower adjustment range", "Sollwert Wert ohne Einheit 1: unterer Verstellbereich"),
    detail::spin(53, 0, 999, KeyFilter::separator, "setpoint value 1: resolution", "Sollwert Wert ohne Einheit 1: Auflösung"),
    detail::spin(54, -999, 999, KeyFilter::separator_and_sign, "setpoint value 1: basic setpoint after reset", "Sollwert Wert ohne Einheit 1: Basissollwert nach Reset"),
    detail::spin(55, -999, 999, KeyFilter::separator_and_sign, "setpoint value 2: upper adjustment range", "Sollwert Wert ohne Einheit 2: oberer Verstellbereich"),
    detail::spin(56, -999, 999, KeyFilter::separator_and_sign, "setpoint value 2: lower adjustment range", "Sollwert Wert ohne Einheit 2: unterer Verstellbereich"),
    detail::spin(57, 0, 999, KeyFilter::separator, "setpoint value 2: resolution", "Sollwert Wert ohne Einheit 2: Auflösung"),
    detail::spin(58, -999, 999, KeyFilter::separator_and_sign, "setpoint value 2: basic setpoint after reset", "Sollwert Wert ohne Einheit 2: Basissollwert nach Reset"),
    detail::combo(59, 1, 3, KeyFilter::separator, "number of fan stages", "Anzahl der Lüfterstufen"),
}};
// clang-format on

struct CfgBit {
    int j;
    std::uint16_t address;
    bool has_combo;  // cmb_bit_cfg(j) exists
    bool reserved;
    const char* meaning;
    const char* meaning_de;
};

// clang-format off
inline constexpr std::array<CfgBit, 32> cfg_bits{{
    {0, 0x00, false, false, "show room temperature (internal sensor)", "Raumtemperatur (interner Fühler) anzeigen"},
    {1, 0x01, false, false, "show outdoor temperature", "Aussentemperatur anzeigen"},
    {2, 0x02, false, false, "show external temperature 1", "externe Temperatur 1 anzeigen"},
    {3, 0x03, false, false, "show external temperature 2", "externe Temperatur 2 anzeigen"},
    {4, 0x04, false, false, "show external percent value 1", "externen Prozentwert 1 anzeigen"},
    {5, 0x05, false, false, "show external percent value 2", "externen Prozentwert 2 anzeigen"},
    {6, 0x06, false, false, "show external value without unit 1", "externen Wert ohne Einheit 1 anzeigen"},
    {7, 0x07, false, false, "show external value without unit 2", "externen Wert ohne Einheit 2 anzeigen"},
    {8, 0x08, false, false, "show setpoint temperature 1 offset", "Offset von Sollwert Temperatur 1 anzeigen"},
    {9, 0x09, false, false, "show setpoint temperature 1 effective", "effektiven Sollwert Temperatur 1 anzeigen"},
    {10, 0x0A, false, false, "show setpoint temperature 2 offset", "Offset von Sollwert Temperatur 2 anzeigen"},
    {11, 0x0B, false, false, "show setpoint temperature 2 effective", "effektiven Sollwert Temperatur 2 anzeigen"},
    {12, 0x0C, false, false, "show setpoint percent 1 offset", "Offset von Sollwert Prozentwert 1 anzeigen"},
    {13, 0x0D, false, false, "show setpoint percent 1 effective", "effektiven Sollwert Prozentwert 1 anzeigen"},
    {14, 0x0E, false, false, "show setpoint percent 2 offset", "Offset von Sollwert Prozentwert 2 anzeigen"},
    {15, 0x0F, false, false, "show setpoint percent 2 effective", "effektiven Sollwert Prozentwert 2 anzeigen"},
    {16, 0x10, false, false, "show setpoint value 1 offset", "Offset von Sollwert Wert ohne Einheit 1 anzeigen"},
    {17, 0x11, false, false, "show setpoint value 1 effective", "effektiven Sollwert Wert ohne Einheit 1 anzeigen"},
    {18, 0x12, false, false, "show setpoint value 2 offset", "Offset von Sollwert Wert ohne Einheit 2 anzeigen"},
    {19, 0x13, false, false, "show setpoint value 2 effective", "effektiven Sollwert Wert ohne Einheit 2 anzeigen"},
    {20, 0x14, false, false, "display fan speed after reset", "Lüfterstufe nach Reset anzeigen"},
    {21, 0x15, false, false, "display occupancy after reset", "Raumbelegung nach Reset anzeigen"},
    {22, 0x16, false, false, "activate device by button", "Geräteaktivierung durch Tastendruck"},
    {23, 0x17, false, true, "reserved", "reserviert"},
    {24, 0x18, true, false, "measuring unit of temperature (degC or degF)", "Maßeinheit der Temperatur (°C oder °F)"},
    {25, 0x19, true, false, "temperature display with or without decimal point", "Temperaturanzeige mit oder ohne Zehntelstelle"},
    {26, 0x1A, true, false, "decimal point of values without unit faded in or out", "Komma der Werte ohne Einheit ein- oder ausblenden"},
    {27, 0x1B, true, false, "setpoint temperature adjustment shows effective setpoint or offset", "bei Verstellung von Sollwert Temperatur effektiven Sollwert oder Offset anzeigen"},
    {28, 0x1C, true, false, "setpoint percent adjustment shows effective setpoint or offset", "bei Verstellung von Sollwert Prozentwert effektiven Sollwert oder Offset anzeigen"},
    {29, 0x1D, true, false, "setpoint value adjustment shows effective setpoint or offset", "bei Verstellung von Sollwert Wert ohne Einheit effektiven Sollwert oder Offset anzeigen"},
    {30, 0x1E, false, true, "reserved", "reserviert"},
    {31, 0x1F, false, true, "reserved", "reserviert"},
}};
// clang-format on

struct InputBit {
    int j;
    std::uint16_t address;
    const char* meaning;
    const char* meaning_de;
};

// clang-format off
inline constexpr std::array<InputBit, 16> input_bits{{
    {0, 0x0100, "LED of button T12", "LED von Taste T12"},
    {1, 0x0101, "LED of button T11", "LED von Taste T11"},
    {2, 0x0102, "LED of button T10", "LED von Taste T10"},
    {3, 0x0103, "LED of button T9", "LED von Taste T9"},
    {4, 0x0104, "LED of button T8", "LED von Taste T8"},
    {5, 0x0105, "LED of button T7", "LED von Taste T7"},
    {6, 0x0106, "LED of button T6", "LED von Taste T6"},
    {7, 0x0107, "LED of button T5", "LED von Taste T5"},
    {8, 0x0108, "switch on the fault symbol", "Symbol Störung einschalten"},
    {9, 0x0109, "switch on the heating symbol", "Symbol Heizen einschalten"},
    {10, 0x010A, "switch on the cooling symbol", "Symbol Kühlen einschalten"},
    {11, 0x010B, "switch on the window symbol", "Symbol Fenster einschalten"},
    {12, 0x010C, "deactivate the buttons", "Tasten sperren"},
    {13, 0x010D, "deactivate occupancy", "Raumbelegung sperren"},
    {14, 0x010E, "deactivate fan speed", "Lüfterstufe sperren"},
    {15, 0x010F, "deactivate setpoint", "Sollwert sperren"},
}};
// clang-format on

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
    const char* meaning;
    const char* meaning_de;
    Unit unit;
    double min;  // what a typed value may be, in the unit shown on the screen
    double max;
};

// clang-format off
inline constexpr std::array<InputRegister, 28> input_registers{{
    {0, 0x0200, Scale::bcd, ReadBack::none, "clock: second", "Uhr: Sekunde", Unit::none, 0, 59},
    {1, 0x0201, Scale::bcd, ReadBack::none, "clock: minute", "Uhr: Minute", Unit::none, 0, 59},
    {2, 0x0202, Scale::bcd, ReadBack::none, "clock: hour", "Uhr: Stunde", Unit::none, 0, 23},
    {3, 0x0203, Scale::bcd, ReadBack::none, "clock: day", "Uhr: Tag", Unit::none, 1, 31},
    {4, 0x0204, Scale::bcd, ReadBack::none, "clock: month", "Uhr: Monat", Unit::none, 1, 12},
    {5, 0x0205, Scale::bcd, ReadBack::none, "clock: year, two digits", "Uhr: Jahr, zweistellig", Unit::none, 0, 99},
    {6, 0x0206, Scale::bcd, ReadBack::none, "seventh clock field (hidden)", "siebtes Uhrfeld (verborgen)", Unit::none, 0, 99},
    {7, 0x0207, Scale::tenths, ReadBack::shown, "outdoor temperature, degC", "Aussentemperatur, °C", Unit::temperature, -100, 100},
    {8, 0x0208, Scale::tenths, ReadBack::shown, "external temperature 1, degC", "externe Temperatur 1, °C", Unit::temperature, -100, 100},
    {9, 0x0209, Scale::tenths, ReadBack::shown, "external temperature 2, degC", "externe Temperatur 2, °C", Unit::temperature, -100, 100},
    {10, 0x020A, Scale::integer, ReadBack::shown, "external percent value 1", "externer Prozentwert 1", Unit::percent, 0, 100},
    {11, 0x020B, Scale::integer, ReadBack::shown, "external percent value 2", "externer Prozentwert 2", Unit::percent, 0, 100},
    {12, 0x020C, Scale::integer, ReadBack::shown, "external value without unit 1", "externer Wert ohne Einheit 1", Unit::none, -999, 999},
    {13, 0x020D, Scale::integer, ReadBack::shown, "external value without unit 2", "externer Wert ohne Einheit 2", Unit::none, -999, 999},
    {14, 0x020E, Scale::tenths, ReadBack::shown, "setpoint offset of setpoint temperature 1, K", "Sollwert-Offset von Sollwert Temperatur 1, K", Unit::temperature_difference, -100, 100},
    {15, 0x020F, Scale::tenths, ReadBack::shown, "setpoint offset of setpoint temperature 2, K", "Sollwert-Offset von Sollwert Temperatur 2, K", Unit::temperature_difference, -100, 100},
    {16, 0x0210, Scale::integer, ReadBack::shown, "setpoint offset of setpoint percent 1", "Sollwert-Offset von Sollwert Prozentwert 1", Unit::percent, 0, 100},
    {17, 0x0211, Scale::integer, ReadBack::shown, "setpoint offset of setpoint percent 2", "Sollwert-Offset von Sollwert Prozentwert 2", Unit::percent, 0, 100},
    {18, 0x0212, Scale::integer, ReadBack::shown, "setpoint offset of setpoint value 1", "Sollwert-Offset von Sollwert Wert ohne Einheit 1", Unit::none, -999, 999},
    {19, 0x0213, Scale::integer, ReadBack::shown, "setpoint offset of setpoint value 2", "Sollwert-Offset von Sollwert Wert ohne Einheit 2", Unit::none, -999, 999},
    {20, 0x0214, Scale::tenths, ReadBack::shown, "basic setpoint of setpoint temperature 1, degC", "Basissollwert von Sollwert Temperatur 1, °C", Unit::temperature, -100, 100},
    {21, 0x0215, Scale::tenths, ReadBack::shown, "basic setpoint of setpoint temperature 2, degC", "Basissollwert von Sollwert Temperatur 2, °C", Unit::temperature, -100, 100},
    {22, 0x0216, Scale::integer, ReadBack::shown, "basic setpoint of setpoint percent 1", "Basissollwert von Sollwert Prozentwert 1", Unit::percent, 0, 100},
    {23, 0x0217, Scale::integer, ReadBack::shown, "basic setpoint of setpoint percent 2", "Basissollwert von Sollwert Prozentwert 2", Unit::percent, 0, 100},
    {24, 0x0218, Scale::integer, ReadBack::shown, "basic setpoint of setpoint value 1", "Basissollwert von Sollwert Wert ohne Einheit 1", Unit::none, -999, 999},
    {25, 0x0219, Scale::integer, ReadBack::shown, "basic setpoint of setpoint value 2", "Basissollwert von Sollwert Wert ohne Einheit 2", Unit::none, -999, 999},
    {26, 0x021A, Scale::integer, ReadBack::received, "fan stage", "Lüfterstufe", Unit::none, 0, 4},
    {27, 0x021B, Scale::integer, ReadBack::received, "room occupancy", "Raumbelegung", Unit::none, 0, 1},
}};
// clang-format on

struct OutputRegister {
    int i;
    std::uint16_t address;
    Scale scale;
    Sign sign;
    const char* meaning;
    const char* meaning_de;
    Unit unit;
};

// clang-format off
inline constexpr std::array<OutputRegister, 17> output_registers{{
    {0, 0x0100, Scale::integer, Sign::unsigned16, "button state word 0", "Tastenzustandswort 0", Unit::none},
    {1, 0x0101, Scale::integer, Sign::unsigned16, "button state word 1", "Tastenzustandswort 1", Unit::none},
    {2, 0x0102, Scale::tenths, Sign::signed16, "room temperature, degC", "Raumtemperatur, °C", Unit::temperature},
    {3, 0x0103, Scale::tenths, Sign::signed16, "setpoint temperature 1 offset, K", "Offset von Sollwert Temperatur 1, K", Unit::temperature_difference},
    {4, 0x0104, Scale::tenths, Sign::signed16, "setpoint temperature 1 effective, degC", "effektiver Sollwert Temperatur 1, °C", Unit::temperature},
    {5, 0x0105, Scale::tenths, Sign::signed16, "setpoint temperature 2 offset, K", "Offset von Sollwert Temperatur 2, K", Unit::temperature_difference},
    {6, 0x0106, Scale::tenths, Sign::signed16, "setpoint temperature 2 effective, degC", "effektiver Sollwert Temperatur 2, °C", Unit::temperature},
    {7, 0x0107, Scale::integer, Sign::signed16, "setpoint percent 1 offset", "Offset von Sollwert Prozentwert 1", Unit::percent},
    {8, 0x0108, Scale::integer, Sign::signed16, "setpoint percent 1 effective", "effektiver Sollwert Prozentwert 1", Unit::percent},
    {9, 0x0109, Scale::integer, Sign::signed16, "setpoint percent 2 offset", "Offset von Sollwert Prozentwert 2", Unit::percent},
    {10, 0x010A, Scale::integer, Sign::signed16, "setpoint percent 2 effective", "effektiver Sollwert Prozentwert 2", Unit::percent},
    {11, 0x010B, Scale::integer, Sign::signed16, "setpoint value 1 offset", "Offset von Sollwert Wert ohne Einheit 1", Unit::none},
    {12, 0x010C, Scale::integer, Sign::signed16, "setpoint value 1 effective", "effektiver Sollwert Wert ohne Einheit 1", Unit::none},
    {13, 0x010D, Scale::integer, Sign::signed16, "setpoint value 2 offset", "Offset von Sollwert Wert ohne Einheit 2", Unit::none},
    {14, 0x010E, Scale::integer, Sign::signed16, "setpoint value 2 effective", "effektiver Sollwert Wert ohne Einheit 2", Unit::none},
    {15, 0x010F, Scale::integer, Sign::signed16, "fan stage", "Lüfterstufe", Unit::none},
    {16, 0x0110, Scale::integer, Sign::signed16, "room occupancy", "Raumbelegung", Unit::none},
}};
// clang-format on

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
