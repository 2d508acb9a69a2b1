#include "cli/wording.h"

#include <array>

#include "lang/texts.h"
#include "traffic/meaning.h"

namespace plx::cli {

namespace {

struct Row {
    Word id;
    const char* english;
    const char* german;
};

// clang-format off
constexpr std::array kRows{
    Row{Word::scan_columns, "Address|Line|Coding|Firmware|Variant", "Adresse|Leitung|Codierung|Firmware|Variante"},
    Row{Word::scan_none, "No unit answered (%1 probes, %2 s).", "Kein Gerät hat geantwortet (%1 Abfragen, %2 s)."},
    Row{Word::scan_count, "%1 units found (%2 probes, %3 s).", "%1 Geräte gefunden (%2 Abfragen, %3 s)."},
    Row{Word::scan_slow, "answers late", "antwortet spät"},
    Row{Word::scan_refused, "answers, but refused registers 0..2: %1", "antwortet, verweigert aber Register 0..2: %1"},
    Row{Word::buttons, "%1 buttons", "%1 Tasten"},
    Row{Word::unit_read, "Unit %1: read out into %2", "Gerät %1: ausgelesen nach %2"},
    Row{Word::unit_verified, "Unit %1: written and verified", "Gerät %1: geschrieben und bestätigt"},
    Row{Word::unit_differs, "Unit %1: differs at %2", "Gerät %1: abweichend bei %2"},
    Row{Word::unit_no_answer, "no answer (%1)", "keine Antwort (%1)"},
    Row{Word::unit_no_valid_answer, "no valid answer (%1: %2)", "keine gültige Antwort (%1: %2)"},
    Row{Word::unit_exception, "%1 on %2", "%1 bei %2"},
    Row{Word::unit_buttons_changed, "Unit %1: had %2 buttons, the file sets %3", "Gerät %1: hatte %2 Tasten, die Datei setzt %3"},
    Row{Word::write_summary, "%1 of %2 units written and verified.", "%1 von %2 Geräten geschrieben und bestätigt."},
    Row{Word::diff_line, "%1 (%2): file %3, unit %4", "%1 (%2): Datei %3, Gerät %4"},
    Row{Word::diff_none, "Unit %1 and %2: no difference.", "Gerät %1 und %2: kein Unterschied."},
    Row{Word::diff_count, "Unit %1 and %2: %3 differences.", "Gerät %1 und %2: %3 Unterschiede."},
    Row{Word::diff_file, "file", "Datei"},
    Row{Word::diff_unit, "unit", "Gerät"},
    Row{Word::step_read_response_time, "reading the response time (register 33)", "Lesen der Antwortzeit (Register 33)"},
    Row{Word::step_read_identification, "reading registers 0..2", "Lesen der Register 0..2"},
    Row{Word::step_read_cfg_block, "reading configuration registers %1..%2", "Lesen der Konfigurationsregister %1..%2"},
    Row{Word::step_read_cfg_bits, "reading the configuration bits", "Lesen der Konfigurationsbits"},
    Row{Word::step_write_cfg_block, "writing configuration registers %1..%2", "Schreiben der Konfigurationsregister %1..%2"},
    Row{Word::step_write_cfg_bits, "writing the configuration bits", "Schreiben der Konfigurationsbits"},
    Row{Word::step_read_outputs, "reading the output registers", "Lesen der Ausgaberegister"},
    Row{Word::file_not_read, "%1 could not be read: %2. No unit was written.", "%1 konnte nicht gelesen werden: %2. Es wurde kein Gerät beschrieben."},
    Row{Word::file_refused, "%1 is not a parameter file (%2). No unit was written.", "%1 ist keine Parameterdatei (%2). Es wurde kein Gerät beschrieben."},
    Row{Word::file_short, "%1 ends after line %2 of %3. No unit was written.", "%1 endet nach Zeile %2 von %3. Es wurde kein Gerät beschrieben."},
    Row{Word::file_bad_line, "%1, line %2 (%3): no valid value. No unit was written.", "%1, Zeile %2 (%3): kein gültiger Wert. Es wurde kein Gerät beschrieben."},
    Row{Word::file_not_sendable, "%1, line %2 (%3): the value \"%4\" cannot be sent: %5. No unit was written.", "%1, Zeile %2 (%3): der Wert \"%4\" kann nicht gesendet werden: %5. Es wurde kein Gerät beschrieben."},
    Row{Word::encode_empty, "it is empty", "er ist leer"},
    Row{Word::encode_not_a_number, "not a number with the decimal separator \"%1\"", "keine Zahl mit dem Dezimaltrennzeichen \"%1\""},
    Row{Word::encode_out_of_range, "beyond -32768..65535", "außerhalb von -32768..65535"},
    Row{Word::output_not_written, "%1 could not be written: %2. An existing file of that name is unchanged.", "%1 konnte nicht geschrieben werden: %2. Eine vorhandene Datei dieses Namens ist unverändert."},
    Row{Word::device_failed, "%1 could not be opened: %2", "%1 konnte nicht geöffnet werden: %2"},
    Row{Word::no_device, "%1 stands for no device", "%1 steht für kein Gerät"},
    Row{Word::monitor_no_answer, "no answer", "keine Antwort"},
    Row{Word::monitor_pressed, "pressed", "gedrückt"},
};
// clang-format on

}  // namespace

std::string say(Word w, const std::string& language_code, const std::vector<std::string>& args) {
    for (const Row& r : kRows) {
        if (r.id == w) return lang::substitute(lang::is_english(language_code) ? r.english : r.german, args);
    }
    return {};
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
