#include "lang/line_texts.h"

#include <array>

#include "lang/texts.h"
#include "lang/worded.h"

namespace plx::lang {

namespace {

using Row = Worded<LineText>;

// clang-format off
constexpr std::array kRows{
    Row{LineText::verdict_ok, "ok", "ok"},
    Row{LineText::verdict_check_sum_wrong, "Prüfsumme falsch", "check sum wrong"},
    Row{LineText::verdict_wrong_slave_address, "falsche Slave-Adresse", "wrong slave address"},
    Row{LineText::verdict_misfit, "passt nicht zur Anfrage", "answer does not fit the request"},
    Row{LineText::verdict_echo, "Echo der Anfrage", "echo of the request"},
    Row{LineText::verdict_no_request, "keine Anfrage offen", "no request outstanding"},
    Row{LineText::verdict_discarded, "Bytes verworfen", "bytes discarded"},
    Row{LineText::verdict_time_out, "Zeitüberschreitung", "time-out"},
    Row{LineText::verdict_other_transaction, "fremde Transaktionsnummer (Antwort auf eine frühere Anfrage)", "other transaction id (answer to an earlier request)"},
    Row{LineText::exception_with_meaning, "Ausnahme %1 (%2)", "exception %1 (%2)"},
    Row{LineText::exception_code_only, "Ausnahme %1", "exception %1"},
    Row{LineText::group_cfg_registers, "Konfigurationsregister", "configuration registers"},
    Row{LineText::group_output_registers, "Ausgaberegister", "output registers"},
    Row{LineText::group_input_registers, "Eingaberegister", "input registers"},
    Row{LineText::group_cfg_bits, "Konfigurationsbits", "configuration bits"},
    Row{LineText::group_input_bits, "Eingabebits", "input bits"},
    Row{LineText::group_cfg_register, "Konfigurationsregister", "configuration register"},
    Row{LineText::group_output_register, "Ausgaberegister", "output register"},
    Row{LineText::group_input_register, "Eingaberegister", "input register"},
    Row{LineText::group_cfg_bit, "Konfigurationsbit", "configuration bit"},
    Row{LineText::group_input_bit, "Eingabebit", "input bit"},
    Row{LineText::read, "%1 lesen", "read %1"},
    Row{LineText::write, "%1 schreiben", "write %1"},
    Row{LineText::confirmed, "%1 bestätigt", "%1 confirmed"},
    Row{LineText::bits_set, "gesetzt: %1", "set: %1"},
    Row{LineText::no_bit_set, "keins gesetzt", "none set"},
    Row{LineText::generic_frame, "Slave %1, Funktion %2, %3 {Datenbyte|Datenbytes}",
        "slave %1, function %2, %3 {data byte|data bytes}"},
    Row{LineText::bytes, "%1 {Byte|Bytes}", "%1 {byte|bytes}"},
    Row{LineText::no_answer_to, "keine Antwort auf: %1", "no answer to: %1"},
    Row{LineText::from_slave, "von Slave %1: %2", "from slave %1: %2"},
    Row{LineText::column_time, "Zeit", "Time"},
    Row{LineText::column_direction, "Richtung", "Direction"},
    Row{LineText::column_frame, "Rahmen", "Frame"},
    Row{LineText::column_meaning, "Bedeutung", "Meaning"},
    Row{LineText::column_verdict, "Ergebnis", "Verdict"},
    Row{LineText::counters,
        "Anfragen %1 · gültige Antworten %2 · Zeitüberschreitungen %3 · Prüfsummenfehler %4 · Ausnahmen %5",
        "requests %1 · valid answers %2 · time-outs %3 · check-sum errors %4 · exceptions %5"},
    Row{LineText::port_open, "%1 → %2, %3 %4: geöffnet", "%1 → %2, %3 %4: open"},
    Row{LineText::port_closed, "%1 → %2: geschlossen", "%1 → %2: closed"},
    Row{LineText::port_gone, "%1 → %2: nicht mehr da, geschlossen", "%1 → %2: gone, closed"},
    Row{LineText::port_open_gateway, "%1 → %2: verbunden", "%1 → %2: connected"},
    Row{LineText::port_scanning, "%1 → %2, %3 %4: Bussuche", "%1 → %2, %3 %4: scanning the bus"},
    Row{LineText::last_answer_age, "letzte gültige Antwort vor %1 s", "last valid answer %1 s ago"},
    Row{LineText::no_valid_answer_yet, "noch keine gültige Antwort", "no valid answer yet"},
    Row{LineText::polling_every, "Abfrage alle %1 ms", "polling every %1 ms"},
    // each reason: what was seen, then on a line of its own what to do; short lines, as the status
    // bar shares its width with the counters
    Row{LineText::reason_no_byte,
        "Kein Byte empfangen: Gerät aus, nicht angeschlossen, A/B vertauscht?\n"
        "Adresse %1, Modus, Baudrate prüfen: Port schließen, ändern, öffnen.",
        "Not a byte received: unit off, not connected, A and B swapped?\n"
        "Check address %1, mode, baud rate: close the port, change, open."},
    Row{LineText::reason_bytes_no_frame,
        "%1 {Byte|Bytes} empfangen, aber kein gültiger Rahmen: Modus oder Baudrate?\n"
        "Port schließen, Modus, Baudrate oder Parität ändern, wieder öffnen.",
        "%1 {byte|bytes} received, but no valid frame: mode or baud rate differ?\n"
        "Close the port, change mode, baud rate or parity, open it again."},
    Row{LineText::reason_check_sums,
        "%1 {Antwort|Antworten} mit falscher Prüfsumme: Störungen, Baudrate, Parität?\n"
        "Leitung prüfen, oder Port schließen, Baudrate ändern, öffnen.",
        "%1 {answer|answers} with a wrong check sum: noise, baud rate, parity?\n"
        "Check the line, or close the port, change the baud rate, open."},
    Row{LineText::reason_other_address,
        "Antworten kamen von Adresse %1, nicht von %2: Adresse falsch?\n"
        "Adresse %1 eintragen und neu lesen.",
        "Answers came from address %1, not from %2: wrong address?\n"
        "Enter address %1 and read again."},
    Row{LineText::reason_misfit,
        "Antworten passen nicht zur Anfrage: ein zweiter Master am Bus?\n"
        "Den anderen Master abschalten und neu lesen.",
        "Answers do not fit the request: a second master on the line?\n"
        "Switch the other master off and read again."},
    Row{LineText::reason_echo_only,
        "Nur das Echo der Anfragen kam zurück: das Gerät antwortet nicht.\n"
        "Adresse %1, Kabel, Modus, Baudrate prüfen: Port neu öffnen.",
        "Only the echo of the requests came back: the unit does not answer.\n"
        "Check address %1, wiring, mode, baud rate: open the port again."},
    Row{LineText::reason_exception, "Das Gerät lehnt die Anfrage ab: %1.", "The unit refuses the request: %1."},
    Row{LineText::reason_short_answer,
        "Antwort zu kurz (%1 von %2 Bytes): Störungen, Wackelkontakt, Abschluss?\n"
        "Leitung und Abschlusswiderstand prüfen, dann neu lesen.",
        "Answer too short (%1 of %2 bytes): noise, a loose contact, termination?\n"
        "Check the line and its termination, then read again."},
    Row{LineText::reason_other_transaction, "%1 {Antwort|Antworten} mit fremder Transaktionsnummer: das Gateway antwortet auf frühere Anfragen (Antwortzeit des Geräts länger als die Wartezeit des Gateways?).", "%1 {answer|answers} with another transaction id: the gateway answers earlier requests (the unit slower than the gateway waits?)."},
    Row{LineText::advice_gateway_path, "Das Gateway hat keinen Weg zum Gerät: Gateway-Konfiguration (Unit-ID, serielle Schnittstelle) prüfen.", "The gateway has no path to the unit: check the gateway's configuration (unit id, serial port)."},
    Row{LineText::advice_gateway_target, "Das Gerät hinter dem Gateway hat nicht geantwortet: Adresse und Leitungseinstellungen der seriellen Seite des Gateways prüfen.", "The unit behind the gateway did not answer: check the address and the line settings of the gateway's serial side."},
    Row{LineText::link_connected, "Verbindung zu %1 aufgebaut", "connected to %1"},
    Row{LineText::link_closed, "Verbindung von der Gegenseite geschlossen: %1", "connection closed by the far end: %1"},
    Row{LineText::link_reconnected, "neue Verbindung zu %1", "connected again to %1"},
    Row{LineText::link_connect_failed, "keine Verbindung zu %1: %2", "no connection to %1: %2"},
    Row{LineText::direction_event, "Verbindung", "link"},
    Row{LineText::refused,
        "Das Gerät hat „%1“ abgelehnt: %2.\n"
        "Der Vorgang wurde angehalten, nichts davon übernommen; nicht Bestätigtes bleibt rot markiert.",
        "The unit refused \"%1\": %2.\n"
        "The transfer was stopped and nothing of it taken; what is not confirmed stays marked red."},
    Row{LineText::refused_short, "Abgelehnt: %1\n%2, Vorgang angehalten.", "Refused: %1\n%2, transfer stopped."},
    Row{LineText::register_blocks, "%1 Registerblöcke", "%1 register blocks"},
    Row{LineText::register_block, "1 Registerblock", "1 register block"},
    Row{LineText::cfg_bits_written, "%1 Konfigurationsbits", "%1 configuration bits"},
    Row{LineText::input_registers_written, "%1 Eingaberegister", "%1 input registers"},
    Row{LineText::input_register_written, "1 Eingaberegister", "1 input register"},
    Row{LineText::input_bits_written, "%1 Eingabebits", "%1 input bits"},
    Row{LineText::written_and_read_back, "%1 geschrieben und zurückgelesen (%2)", "%1 written and read back (%2)"},
    Row{LineText::read_out_completed, "Auslesen abgeschlossen um %1", "Read-out completed at %1"},
    Row{LineText::apply_block, "Block %1..%2", "block %1..%2"},
    Row{LineText::apply_blocks, "Blöcke %1..%2", "blocks %1..%2"},
    Row{LineText::apply_input_register, "Eingaberegister %1", "input register %1"},
    Row{LineText::apply_input_registers, "Eingaberegister %1", "input registers %1"},
    Row{LineText::apply_written_not_written, "%1 geschrieben; %2 nicht geschrieben.", "%1 written; %2 not written."},
    Row{LineText::apply_nothing_written, "Nichts geschrieben; %1 nicht geschrieben.", "Nothing written; %1 not written."},
    Row{LineText::apply_all_written, "%1 geschrieben.", "%1 written."},
    Row{LineText::apply_stopped_time_out, "Übernehmen unterbrochen: das Gerät antwortet nicht.",
        "Apply interrupted: the unit does not answer."},
    Row{LineText::apply_cancelled, "Übernehmen abgebrochen.", "Apply cancelled."},
    Row{LineText::apply_marks_kept, "Nicht Bestätigtes bleibt rot markiert; „Übernehmen“ sendet es noch einmal.",
        "What was not confirmed stays marked red; \"Apply\" sends it again."},
    Row{LineText::monitor_stale, "Monitorwerte veraltet: %1", "Monitor values stale: %1"},
    Row{LineText::window_title, "Kommunikation", "Traffic"},
    Row{LineText::menu_entry, "&Kommunikation", "&Traffic"},
    Row{LineText::pause, "Anhalten", "Pause"},
    Row{LineText::resume, "Fortsetzen", "Resume"},
    Row{LineText::clear, "Leeren", "Clear"},
    Row{LineText::copy, "Kopieren", "Copy"},
    Row{LineText::save, "Speichern…", "Save…"},
    Row{LineText::save_title, "Mitschnitt speichern", "Save traffic"},
    Row{LineText::save_filter, "Textdateien (*.txt)|*.txt|Alle Dateien|*", "Text files (*.txt)|*.txt|All files|*"},
    Row{LineText::save_failed, "Der Mitschnitt konnte nicht als %1 gespeichert werden: %2",
        "The traffic could not be saved as %1: %2"},
    Row{LineText::row_count, "%1 {Zeile|Zeilen} (die letzten %2 bleiben)",
        "%1 {row|rows} (the last %2 are kept)"},
    Row{LineText::paused_note, "angehalten: neue Rahmen werden nur gezählt",
        "paused: new frames are only counted"},
};
// clang-format on

}  // namespace

std::string line_text(LineText id, const std::string& language_code, const std::vector<std::string>& args) {
    return worded(kRows, id, language_code, args);
}

}  // namespace plx::lang
