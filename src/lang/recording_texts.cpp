#include "lang/recording_texts.h"

#include <array>

#include "lang/worded.h"

namespace plx::lang {

namespace {

using Row = Worded<RecordingText>;

// clang-format off
constexpr std::array kRows{
    Row{RecordingText::column_time, "Zeit (%1)", "Time (%1)"},
    Row{RecordingText::column_age, "Antwortalter, ms", "Answer age, ms"},
    Row{RecordingText::column_reason, "Grund", "Reason"},
    Row{RecordingText::input_column, "Eingaberegister %1: %2", "Input register %1: %2"},
    Row{RecordingText::record, "Aufzeichnen…", "Record…"},
    Row{RecordingText::stop, "Aufzeichnung beenden", "Stop recording"},
    Row{RecordingText::dialog_title, "Monitor aufzeichnen", "Record the monitor"},
    Row{RecordingText::dialog_filter, "CSV-Dateien (*.csv)|*.csv|Alle Dateien|*", "CSV files (*.csv)|*.csv|All files|*"},
    Row{RecordingText::recording_to, "Aufzeichnung in %1: %2 {Zeile|Zeilen}",
        "Recording to %1: %2 {row|rows}"},
    Row{RecordingText::recorded_to, "Aufgezeichnet in %1: %2 {Zeile|Zeilen}",
        "Recorded to %1: %2 {row|rows}"},
    Row{RecordingText::not_opened, "%1 kann nicht zum Aufzeichnen geöffnet werden: %2",
        "%1 cannot be opened for recording: %2"},
    Row{RecordingText::write_failed,
        "Die Aufzeichnung in %1 wurde angehalten: %2.\nDie %3 {Zeile|Zeilen} davor {bleibt|bleiben} in der Datei.",
        "Recording to %1 stopped: %2.\nThe %3 {row|rows} before {stays|stay} in the file."},
    Row{RecordingText::trend_title, "Verlauf", "Trend"},
    Row{RecordingText::span, "Zeitraum:", "Span:"},
    Row{RecordingText::span_minutes, "%1 min", "%1 min"},
    Row{RecordingText::paused_note, "angehalten: neue Werte werden weiter aufgezeichnet",
        "paused: new values are still recorded"},
    Row{RecordingText::gap_legend, "Abfrage ohne gültige Antwort", "poll without a valid answer"},
    Row{RecordingText::trend_hint, "Ausgaberegister lesen und Werte ankreuzen, um ihren Verlauf zu sehen",
        "Poll the output registers and tick values to see their trend"},
};
// clang-format on

}  // namespace

std::string recording_text(RecordingText id,
                           const std::string& language_code,
                           const std::vector<std::string>& args) {
    return worded(kRows, id, language_code, args);
}

}  // namespace plx::lang
