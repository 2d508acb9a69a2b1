#include "cli/wording.h"

#include <array>

#include "device/chain.h"
#include "device/register_map.h"
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

std::string verdict_words(modbus::Verdict v, const std::string& language_code) {
    // the traffic window's words
    return traffic::verdict_text(v, 0, language_code);
}

std::string exception_words(int code, const std::string& language_code) {
    return traffic::exception_text(code, language_code);
}

std::string step_words(const bus::StepRef& step, const std::string& code) {
    // what the traffic window calls the request: "Konfigurationsregister 30..39 lesen"
    const device::Awaited a = device::awaited(step);
    modbus::Adu request{0, a.function,
                        {static_cast<std::uint8_t>(a.start >> 8), static_cast<std::uint8_t>(a.start & 0xFF),
                         static_cast<std::uint8_t>(a.quantity >> 8), static_cast<std::uint8_t>(a.quantity & 0xFF)}};
    // a write carries its byte count and values; they are no part of the title
    int data_bytes = 0;
    if (a.function == device::regmap::fn_write_registers) data_bytes = 2 * a.quantity;
    if (a.function == device::regmap::fn_write_coils) data_bytes = (a.quantity + 7) / 8;
    if (data_bytes > 0) {
        request.data.push_back(static_cast<std::uint8_t>(data_bytes));
        request.data.resize(request.data.size() + static_cast<std::size_t>(data_bytes));
    }
    return traffic::request_title(request, traffic::Style{code, '.'});
}

std::string failure_words(const bus::Failure& f, const std::string& code) {
    const std::string step = step_words(f.at, code);
    if (f.verdict == modbus::Verdict::exception) {
        std::string words = say(Word::unit_exception, code, {exception_words(f.exception_code, code), step});
        // a gateway's 0A or 0B: what to look at, as the window says it
        if (const std::string advice = traffic::exception_advice(f.exception_code, code); !advice.empty())
            words += ". " + advice;
        return words;
    }
    // the verdicts seen tell a cable fault from a unit at other settings
    std::string seen;
    for (modbus::Verdict v : f.seen) {
        const std::string w = verdict_words(v, code);
        if (seen.find(w) == std::string::npos) seen += (seen.empty() ? "" : ", ") + w;
    }
    if (f.verdict == modbus::Verdict::misfit) seen = verdict_words(f.verdict, code);
    if (seen.empty()) return say(Word::unit_no_answer, code, {step});
    return say(Word::unit_no_valid_answer, code, {step, seen});
}

std::string failure_kind(const bus::Failure& f) {
    if (f.verdict == modbus::Verdict::exception) return "exception";
    if (f.verdict == modbus::Verdict::misfit || !f.seen.empty()) return "no_valid_answer";
    return "no_answer";
}

}  // namespace plx::cli
