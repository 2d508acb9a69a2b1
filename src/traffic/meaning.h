#pragma once
// What one frame on the line means, from the register map: "Konfigurationsregister 30..39 lesen",
// the values an answer carries, the verdict in words. Each function takes a single frame, so the
// traffic window and a command line's report decode alike.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/adu.h"
#include "modbus/diagnostics.h"

namespace plx::traffic {

// The bytes as the engineer reads them: "01 03 00 21 00 0A D4 0B" in RTU, the characters in ASCII
// with CR, LF and other unprintable bytes as <CR>, <LF>, <1B>.
std::string raw_text(std::span<const std::uint8_t> bytes, modbus::Framing framing);

// The user's language and decimal separator, for words and values.
struct Style {
    std::string language_code;
    char decimal_separator = ',';
};

// What a request asks for, with the values of a write: "Konfigurationsregister 0..9 schreiben:
// 0=5; 1=1; ...", "Ausgaberegister 0..16 lesen", "Konfigurationsbits schreiben: gesetzt: 0, 24".
std::string request_meaning(const modbus::Adu& request, const Style& style);
// The same without the values a write carries: "Konfigurationsregister 0..9 schreiben".
std::string request_title(const modbus::Adu& request, const Style& style);
// What an answer carries, read against the request it answers (null: unknown): the values of a read,
// the confirmation of a write, an exception with its meaning.
std::string answer_meaning(const modbus::Adu& answer, const modbus::Adu* request, const Style& style);

// "Ausnahme 03 (unzulässiger Datenwert)", or by number alone where the code has no standard meaning.
std::string exception_text(int code, const std::string& language_code);
std::string verdict_text(modbus::Verdict verdict, int exception_code, const std::string& language_code);
// What a gateway's exception (0A path unavailable, 0B target device failed to respond) means for the
// engineer; empty for any other code.
std::string exception_advice(int code, const std::string& language_code);
// A connection of a gateway coming, going or coming back, in words.
std::string link_event_text(modbus::LinkEvent event, const std::string& detail, const std::string& language_code);

}  // namespace plx::traffic
