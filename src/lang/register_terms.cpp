#include "lang/register_terms.h"

#include <array>

#include "lang/texts.h"
#include "lang/worded.h"

namespace plx::lang {

namespace {

using Row = Worded<Term>;

// clang-format off
constexpr std::array kRows{
    Row{Term::cfg_register, "Konfigurationsregister", "Configuration register"},
    Row{Term::cfg_bit, "Konfigurationsbit", "Configuration bit"},
    Row{Term::input_bit, "Eingabebit", "Input bit"},
    Row{Term::input_register, "Eingaberegister", "Input register"},
    Row{Term::output_register, "Ausgaberegister", "Output register"},
    Row{Term::holding_register, "Holding-Register", "holding register"},
    Row{Term::coil, "Coil", "coil"},
    Row{Term::number, "Nr.", "No."},
    Row{Term::address, "Adresse", "Address"},
    Row{Term::meaning, "Bedeutung", "Meaning"},
    Row{Term::range, "Bereich", "Range"},
    Row{Term::scale, "Skalierung", "Scale"},
    Row{Term::unit, "Einheit", "Unit"},
    Row{Term::choices, "Auswahl", "Choices"},
    Row{Term::scale_integer, "1 (Wort = Wert)", "1 (word = value)"},
    Row{Term::scale_tenths, "0,1 (Wort = Wert × 10)", "0.1 (word = value × 10)"},
    Row{Term::scale_bcd, "Ziffern als BCD (59 → 0x0059)", "digits as BCD (59 → 0x0059)"},
    Row{Term::unit_temperature, "°C (°F nach Konfigurationsbit 24)", "°C (°F by configuration bit 24)"},
    Row{Term::unit_none, "–", "–"},
    Row{Term::bit_values, "0 = aus, 1 = ein", "0 = off, 1 = on"},
    Row{Term::read_only, "nur lesen", "read only"},
    Row{Term::reserved, "reserviert", "reserved"},
    Row{Term::list_range, "0 .. %1 (Auswahlliste)", "0 .. %1 (choice list)"},
    Row{Term::same_choices, "Auswahl wie Nr. %1", "choices as no. %1"},
    Row{Term::document_title, "PLX24 RS485 Modbus – Registerbeschreibung", "PLX24 RS485 Modbus – Register description"},
    Row{Term::document_intro,
        "Das Raumbediengerät PLX24 ist ein Modbus-Slave (RTU oder ASCII). Register werden mit der Funktion 03 gelesen "
        "und mit 10 (hex) geschrieben, Bits (Coils) mit 01 gelesen und mit 0F (hex) geschrieben. Jedes Register ist ein "
        "16-Bit-Wort mit Vorzeichen (Zweierkomplement); Register mit der Skalierung 0,1 tragen den Wert in Zehnteln. "
        "Eingaberegister und Eingabebits liefert der Master an das Gerät, Ausgaberegister meldet das Gerät.",
        "The PLX24 room operating unit is a Modbus slave (RTU or ASCII). Registers are read with function 03 and "
        "written with 10 (hex), bits (coils) are read with 01 and written with 0F (hex). Every register is a signed "
        "16-bit word (two's complement); registers with the scale 0.1 carry the value in tenths. Input registers and "
        "input bits are supplied by the master to the unit, output registers are reported by the unit."},
    Row{Term::document_generated, "Erzeugt aus der Registertabelle von plx24cfg %1.", "Generated from the register table of plx24cfg %1."},
    Row{Term::section_cfg_registers, "Konfigurationsregister (Holding-Register 0x0000 .. 0x003B)", "Configuration registers (holding registers 0x0000 .. 0x003B)"},
    Row{Term::section_cfg_bits, "Konfigurationsbits (Coils 0x0000 .. 0x001F, 1 = ein)", "Configuration bits (coils 0x0000 .. 0x001F, 1 = on)"},
    Row{Term::section_input_bits, "Eingabebits (Coils 0x0100 .. 0x010F, 1 = ein)", "Input bits (coils 0x0100 .. 0x010F, 1 = on)"},
    Row{Term::section_input_registers, "Eingaberegister (Holding-Register 0x0200 .. 0x021B)", "Input registers (holding registers 0x0200 .. 0x021B)"},
    Row{Term::section_output_registers, "Ausgaberegister (Holding-Register 0x0100 .. 0x0110, nur lesen)", "Output registers (holding registers 0x0100 .. 0x0110, read only)"},
    Row{Term::no_unit_note, "Werte ohne Einheit werden ohne Komma übertragen.", "Values without unit travel without decimal point."},
    Row{Term::button_word_layout, "0xF000 + 1 Bit je Taste; gesetzt: Taste gedrückt", "0xF000 + 1 bit per button; set: button pressed"},
    Row{Term::button_bit, "Bit %1 = T%2", "bit %1 = T%2"},
    Row{Term::button_word_below, "unter 0xF000: keine Taste", "below 0xF000: no button"},
    Row{Term::button_word_1, "Aufbau wie Tastenzustandswort 0; das Programm zeigt es als Zahl", "laid out as button state word 0; the program shows it as a number"},
    Row{Term::otherwise, "sonst", "otherwise"},
};
// clang-format on

}  // namespace

std::string term(Term t, const std::string& language_code) {
    return worded(kRows, t, language_code);
}

}  // namespace plx::lang
