#include "cli/wording.h"

#include <array>

#include "lang/texts.h"
#include "lang/worded.h"
#include "traffic/meaning.h"

namespace plx::cli {

namespace {

using Row = lang::Worded<Word>;

// clang-format off
constexpr std::array kRows{
    Row{Word::scan_columns, "Adresse|Leitung|Codierung|Firmware|Variante", "Address|Line|Coding|Firmware|Variant"},
    Row{Word::scan_none, "Kein Gerät hat geantwortet (%1 Abfragen, %2 s).", "No unit answered (%1 probes, %2 s)."},
    Row{Word::scan_count, "%1 Geräte gefunden (%2 Abfragen, %3 s).", "%1 units found (%2 probes, %3 s)."},
    Row{Word::scan_slow, "antwortet spät", "answers late"},
    Row{Word::scan_refused, "antwortet, verweigert aber Register 0..2: %1", "answers, but refused registers 0..2: %1"},
    Row{Word::buttons, "%1 Tasten", "%1 buttons"},
    Row{Word::unit_read, "Gerät %1: ausgelesen nach %2", "Unit %1: read out into %2"},
    Row{Word::unit_verified, "Gerät %1: geschrieben und bestätigt", "Unit %1: written and verified"},
    Row{Word::unit_differs, "Gerät %1: abweichend bei %2", "Unit %1: differs at %2"},
    Row{Word::unit_no_answer, "keine Antwort (%1)", "no answer (%1)"},
    Row{Word::unit_no_valid_answer, "keine gültige Antwort (%1: %2)", "no valid answer (%1: %2)"},
    Row{Word::unit_exception, "%1 bei %2", "%1 on %2"},
    Row{Word::unit_buttons_changed, "Gerät %1: hatte %2 Tasten, die Datei setzt %3", "Unit %1: had %2 buttons, the file sets %3"},
    Row{Word::write_summary, "%1 von %2 Geräten geschrieben und bestätigt.", "%1 of %2 units written and verified."},
    Row{Word::diff_line, "%1 (%2): Datei %3, Gerät %4", "%1 (%2): file %3, unit %4"},
    Row{Word::diff_none, "Gerät %1 und %2: kein Unterschied.", "Unit %1 and %2: no difference."},
    Row{Word::diff_count, "Gerät %1 und %2: %3 Unterschiede.", "Unit %1 and %2: %3 differences."},
    Row{Word::diff_file, "Datei", "file"},
    Row{Word::diff_unit, "Gerät", "unit"},
    Row{Word::step_read_response_time, "Lesen der Antwortzeit (Register 33)", "reading the response time (register 33)"},
    Row{Word::step_read_identification, "Lesen der Register 0..2", "reading registers 0..2"},
    Row{Word::step_read_cfg_block, "Lesen der Konfigurationsregister %1..%2", "reading configuration registers %1..%2"},
    Row{Word::step_read_cfg_bits, "Lesen der Konfigurationsbits", "reading the configuration bits"},
    Row{Word::step_write_cfg_block, "Schreiben der Konfigurationsregister %1..%2", "writing configuration registers %1..%2"},
    Row{Word::step_write_cfg_bits, "Schreiben der Konfigurationsbits", "writing the configuration bits"},
    Row{Word::step_read_outputs, "Lesen der Ausgaberegister", "reading the output registers"},
    Row{Word::file_not_read, "%1 konnte nicht gelesen werden: %2. Es wurde kein Gerät beschrieben.", "%1 could not be read: %2. No unit was written."},
    Row{Word::file_refused, "%1 ist keine Parameterdatei (%2). Es wurde kein Gerät beschrieben.", "%1 is not a parameter file (%2). No unit was written."},
    Row{Word::file_short, "%1 endet nach Zeile %2 von %3. Es wurde kein Gerät beschrieben.", "%1 ends after line %2 of %3. No unit was written."},
    Row{Word::file_bad_line, "%1, Zeile %2 (%3): kein gültiger Wert. Es wurde kein Gerät beschrieben.", "%1, line %2 (%3): no valid value. No unit was written."},
    Row{Word::file_not_sendable, "%1, Zeile %2 (%3): der Wert \"%4\" kann nicht gesendet werden: %5. Es wurde kein Gerät beschrieben.", "%1, line %2 (%3): the value \"%4\" cannot be sent: %5. No unit was written."},
    Row{Word::encode_empty, "er ist leer", "it is empty"},
    Row{Word::encode_not_a_number, "keine Zahl mit dem Dezimaltrennzeichen \"%1\"", "not a number with the decimal separator \"%1\""},
    Row{Word::encode_out_of_range, "außerhalb von -32768..65535", "beyond -32768..65535"},
    Row{Word::output_not_written, "%1 konnte nicht geschrieben werden: %2. Eine vorhandene Datei dieses Namens ist unverändert.", "%1 could not be written: %2. An existing file of that name is unchanged."},
    Row{Word::device_failed, "%1 konnte nicht geöffnet werden: %2", "%1 could not be opened: %2"},
    Row{Word::no_device, "%1 steht für kein Gerät", "%1 stands for no device"},
    Row{Word::monitor_no_answer, "keine Antwort", "no answer"},
    Row{Word::monitor_pressed, "gedrückt", "pressed"},
};
// clang-format on

}  // namespace

std::string say(Word w, const std::string& language_code, const std::vector<std::string>& args) {
    return lang::worded(kRows, w, language_code, args);
}

std::string verdict_words(link::Verdict v, const std::string& language_code) {
    const bool en = lang::is_english(language_code);
    switch (v) {
        case link::Verdict::ok:
            return "ok";
        case link::Verdict::check_sum_wrong:
            return en ? "check sum wrong" : "Prüfsumme falsch";
        case link::Verdict::wrong_slave_address:
            return en ? "answer from another address" : "Antwort von einer anderen Adresse";
        case link::Verdict::exception:
            return en ? "exception" : "Ausnahme";
        case link::Verdict::misfit:
            return en ? "answer does not fit the request" : "Antwort passt nicht zur Anfrage";
        case link::Verdict::echo:
            return en ? "echo of the request" : "Echo der Anfrage";
        case link::Verdict::no_request:
            return en ? "bytes while no request was outstanding" : "Bytes ohne ausstehende Anfrage";
        case link::Verdict::discarded:
            return en ? "bytes that form no frame" : "Bytes ohne gültigen Rahmen";
        case link::Verdict::time_out:
            return en ? "no answer" : "keine Antwort";
    }
    return {};
}

std::string exception_words(int code, const std::string& language_code) {
    // worded as the traffic window words it
    return traffic::exception_text(code, language_code);
}

std::string step_words(const bus::StepRef& step, const std::string& code) {
    const std::vector<std::string> block{std::to_string(step.first), std::to_string(step.first + 9)};
    switch (step.step) {
        case bus::Step::read_response_time:
            return say(Word::step_read_response_time, code);
        case bus::Step::read_identification:
            return say(Word::step_read_identification, code);
        case bus::Step::read_cfg_block:
            return say(Word::step_read_cfg_block, code, block);
        case bus::Step::read_cfg_bits:
            return say(Word::step_read_cfg_bits, code);
        case bus::Step::write_cfg_block:
            return say(Word::step_write_cfg_block, code, block);
        case bus::Step::write_cfg_bits:
            return say(Word::step_write_cfg_bits, code);
        case bus::Step::read_output_registers:
            return say(Word::step_read_outputs, code);
    }
    return {};
}

std::string failure_words(const bus::Failure& f, const std::string& code) {
    const std::string step = step_words(f.at, code);
    if (f.verdict == link::Verdict::exception) {
        return say(Word::unit_exception, code, {exception_words(f.exception_code, code), step});
    }
    // the verdicts seen tell a cable fault from a unit at other settings
    std::string seen;
    for (link::Verdict v : f.seen) {
        const std::string w = verdict_words(v, code);
        if (seen.find(w) == std::string::npos) seen += (seen.empty() ? "" : ", ") + w;
    }
    if (f.verdict == link::Verdict::misfit) seen = verdict_words(f.verdict, code);
    if (seen.empty()) return say(Word::unit_no_answer, code, {step});
    return say(Word::unit_no_valid_answer, code, {step, seen});
}

std::string failure_kind(const bus::Failure& f) {
    if (f.verdict == link::Verdict::exception) return "exception";
    if (f.verdict == link::Verdict::misfit || !f.seen.empty()) return "no_valid_answer";
    return "no_answer";
}

}  // namespace plx::cli
