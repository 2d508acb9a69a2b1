#include "lang/commission_texts.h"

#include <array>

#include "lang/worded.h"

namespace plx::lang {

namespace {

using Row = Worded<CommissionText>;
using T = CommissionText;

// clang-format off
constexpr std::array kRows{
    Row{T::allowed_range, "erlaubt sind %1 bis %2", "allowed are %1 to %2"},
    Row{T::allowed_list, "erlaubt sind %1", "allowed are %1"},
    Row{T::whole_numbers, "nur ganze Zahlen", "whole numbers only"},
    Row{T::one_decimal, "höchstens eine Nachkommastelle", "at most one decimal place"},
    Row{T::file_value_refused, "%1, Zeile %2 (%3): %4; \"%5\" wird nicht angenommen.",
        "%1, line %2 (%3): %4; \"%5\" is not taken."},
    Row{T::no_unit_written, "Es wurde kein Gerät beschrieben.", "No unit was written."},

    Row{T::kept_own, "eigene Werte behalten: %1", "kept its own: %1"},
    Row{T::kept_location, "Standortkennung %1", "location code %1"},
    Row{T::kept_buttons, "%1 Tasten", "%1 buttons"},
    Row{T::skipped_buttons, "es hat %1 Tasten, die Datei ist für %2", "it has %1 buttons, the file is for %2"},
    Row{T::skipped_hint, "(--all-registers schreibt sie trotzdem)", "(--all-registers writes it anyway)"},
    Row{T::skipped_count, "%1 übersprungen.", "%1 skipped."},
    Row{T::from_plan, "aus dem Plan: %1", "from the plan: %1"},
    Row{T::not_reached, "nicht erreicht: der Lauf wurde abgebrochen", "not reached: the run was interrupted"},
    Row{T::summary_columns, "Adresse|Standortkennung|Ergebnis", "Address|Location code|Result"},
    Row{T::written_count, "%1 von %2 Geräten geschrieben und bestätigt.", "%1 of %2 units written and verified."},

    Row{T::plan_at, "%1, Zeile %2, Spalte \"%3\" (%4)", "%1, row %2, column \"%3\" (%4)"},
    Row{T::plan_at_row, "%1, Zeile %2", "%1, row %2"},
    Row{T::plan_refused, "%1 ist kein Plan (%2).", "%1 is not a plan (%2)."},
    Row{T::plan_empty, "%1 enthält keine Zeile mit einem Gerät.", "%1 holds no row with a unit."},
    Row{T::plan_needs_columns, "%1: die erste Zeile nennt die Spalten, darunter \"Adresse\" und \"Datei\" (oder \"address\" und \"file\").",
        "%1: the first row names the columns, among them \"address\" and \"file\" (or \"Adresse\" and \"Datei\")."},
    Row{T::plan_unknown_column, "%1: unbekannte Spalte. Spalten sind Adresse, Datei, Baudrate, Parität, Modus, Schnittstelle, Raum (oder Bemerkung), \"Register N\", \"Konfigurationsbit N\" oder die Beschriftung eines Feldes.",
        "%1: unknown column. Columns are address, file, baud, parity, mode, device, room (or note), \"Register N\", \"Configuration bit N\" or the caption of a field."},
    Row{T::plan_ambiguous_column, "%1: diese Beschriftung tragen mehrere Felder (%2); bitte \"Register N\" verwenden.",
        "%1: several fields carry this caption (%2); please use \"Register N\"."},
    Row{T::plan_column_twice, "%1: dasselbe Feld wie Spalte \"%2\".", "%1: the same field as column \"%2\"."},
    Row{T::plan_never_written, "%1: %2 kennzeichnet das Gerät und wird nie geschrieben.", "%1: %2 identifies the unit and is never written."},
    Row{T::plan_bad_address, "%1: \"%2\" ist keine Adresse von 1 bis 247.", "%1: \"%2\" is no address from 1 to 247."},
    Row{T::plan_address_twice, "%1: Adresse %2 steht schon in Zeile %3.", "%1: address %2 is already in row %3."},
    Row{T::plan_no_file, "%1: keine Parameterdatei angegeben.", "%1: no parameter file given."},
    Row{T::plan_bad_bit, "%1: ein Konfigurationsbit ist 0 oder 1, nicht \"%2\".", "%1: a configuration bit is 0 or 1, not \"%2\"."},
    Row{T::plan_bad_baud, "%1: \"%2\" ist keine Baudrate (9600, 19200, 38400, 57600, 115200).", "%1: \"%2\" is no baud rate (9600, 19200, 38400, 57600, 115200)."},
    Row{T::plan_bad_parity, "%1: \"%2\" ist keine Parität (E, O, N).", "%1: \"%2\" is no parity (E, O, N)."},
    Row{T::plan_bad_mode, "%1: \"%2\" ist kein Modus (RTU, ASCII).", "%1: \"%2\" is no mode (RTU, ASCII)."},
    Row{T::plan_bad_device, "%1: \"%2\" ist keine Schnittstelle: ein Gerätepfad, COM1 .. COM40 oder ein Gateway (tcp://HOST[:PORT], rtu+tcp://HOST:PORT).",
        "%1: \"%2\" is no device: a device path, COM1 .. COM40 or a gateway (tcp://HOST[:PORT], rtu+tcp://HOST:PORT)."},
    Row{T::plan_mode_gateway, "%1: das Gateway %2 bestimmt die Übertragungsart selbst; den Modus für diese Zeile bitte leer lassen.",
        "%1: the gateway %2 sets the framing itself; please leave the mode empty for this row."},
    Row{T::plan_too_many_fields, "%1: mehr Felder, als die erste Zeile Spalten nennt.", "%1: more fields than the first row names columns."},
    Row{T::plan_open_quote, "%1: ein Anführungszeichen wird nicht geschlossen.", "%1: a quotation mark is never closed."},
    Row{T::plan_value_refused, "%1: %2; \"%3\" wird nicht angenommen.", "%1: %2; \"%3\" is not taken."},

    Row{T::record_title, "Inbetriebnahmeprotokoll", "Commissioning record"},
    Row{T::record_program, "Programm", "Program"},
    Row{T::record_started, "Beginn", "Started"},
    Row{T::record_ended, "Ende", "Ended"},
    Row{T::record_device, "Schnittstelle", "Device"},
    Row{T::record_line, "Leitung", "Line"},
    Row{T::record_plan, "Plan", "Plan"},
    Row{T::record_file, "Parameterdatei", "Parameter file"},
    Row{T::record_units, "Geräte", "Units"},
    Row{T::page_footer, "%1 · Seite %2 von %3", "%1 · page %2 of %3"},
    Row{T::record_plan_row, "Zeile im Plan", "Row of the plan"},
    Row{T::section_registers, "Konfigurationsregister", "Configuration registers"},
    Row{T::section_bits, "Konfigurationsbits", "Configuration bits"},
    Row{T::legend, "fett: aus dem Plan; kursiv: vom Gerät behalten; rot: beim Zurücklesen abweichend (geschrieben → gelesen)",
        "bold: from the plan; italic: kept from the unit; red: differs when read back (written → read)"},
    Row{T::column_meaning, "Bedeutung", "Meaning"},
    Row{T::column_value, "Wert", "Value"},
    Row{T::column_address, "Adresse", "Address"},
    Row{T::column_note, "Raum", "Room"},
    Row{T::column_location, "Standortkennung", "Location code"},
    Row{T::column_buttons, "Tasten", "Buttons"},
    Row{T::column_coding, "Gerätecodierung", "Device coding"},
    Row{T::column_firmware, "Firmware", "Firmware"},
    Row{T::column_result, "Ergebnis", "Result"},
    Row{T::column_field, "Feld", "Field"},
    Row{T::column_caption, "Beschriftung", "Caption"},
    Row{T::result_verified, "geschrieben und bestätigt", "written and verified"},
    Row{T::result_differs, "abweichend", "differs"},
    Row{T::result_failed, "fehlgeschlagen", "failed"},
    Row{T::result_skipped, "übersprungen", "skipped"},
    Row{T::result_not_reached, "nicht erreicht", "not reached"},
    Row{T::unit_heading, "Gerät %1", "Unit %1"},
    Row{T::bit_on, "ein", "on"},
    Row{T::bit_off, "aus", "off"},
    Row{T::record_written, "Protokoll: %1", "Record: %1"},
    Row{T::record_not_written, "Das Protokoll %1 wurde nicht geschrieben: %2", "The record %1 was not written: %2"},

    Row{T::print_record_menu, "Protokoll drucken…", "Print record…"},
    Row{T::compare_menu, "Mit Datei vergleichen…", "Compare with file…"},
    Row{T::print_title, "Konfiguration von Gerät %1", "Configuration of unit %1"},
    Row{T::print_read_at, "Ausgelesen", "Read out"},
    Row{T::input_bit_key, "Eingangsbit %1", "Input bit %1"},
    Row{T::not_read_out, "Es ist noch kein Gerät ausgelesen: erst die Schnittstelle öffnen.", "No unit has been read out yet: open the port first."},
    Row{T::compare_title, "Vergleich mit %1", "Compared with %1"},
    Row{T::compare_column_register, "Register/Bit", "Register or bit"},
    Row{T::compare_column_file, "Datei", "File"},
    Row{T::compare_column_unit, "Gerät (ausgelesen)", "Unit (as read)"},
    Row{T::compare_count, "%1: %2 Unterschiede zum ausgelesenen Gerät.", "%1: %2 differences from the unit as read."},
    Row{T::compare_none, "%1: kein Unterschied, das Gerät hält, was die Datei enthält.", "%1: no difference, the unit holds what the file holds."},
    Row{T::compare_load, "Als Änderungen laden", "Load as edits"},
    Row{T::compare_close, "Schließen", "Close"},
};
// clang-format on

}  // namespace

std::string commission_text(CommissionText id,
                            const std::string& language_code,
                            const std::vector<std::string>& args) {
    return worded(kRows, id, language_code, args);
}

}  // namespace plx::lang
