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

#include "link/diagnostics.h"

namespace plx::traffic {

enum class Framing {
    rtu,
    ascii,
};

// A frame's content: slave address, function code and the data after it, without the check sum.
struct Adu {
    std::uint8_t address = 0;
    std::uint8_t function = 0;
    std::vector<std::uint8_t> data;
};

// The content of a whole frame as it travels (RTU: the bytes with the CRC last; ASCII: ":", hex
// digits with the LRC last, CR LF); the check sum is not judged. Nothing for what is no frame.
std::optional<Adu> adu_of(std::span<const std::uint8_t> frame, Framing framing);
// The content of a request string (hex text without check sum).
std::optional<Adu> adu_of_request(std::string_view request_string);

// The bytes as the engineer reads them: "01 03 00 21 00 0A D4 0B" in RTU, the characters in ASCII
// with CR, LF and other unprintable bytes as <CR>, <LF>, <1B>.
std::string raw_text(std::span<const std::uint8_t> bytes, Framing framing);

// The user's language and decimal separator, for words and values.
struct Style {
    std::string language_code;
    char decimal_separator = ',';
};

// What a request asks for, with the values of a write: "Konfigurationsregister 0..9 schreiben:
// 0=5; 1=1; ...", "Ausgaberegister 0..16 lesen", "Konfigurationsbits schreiben: gesetzt: 0, 24".
std::string request_meaning(const Adu& request, const Style& style);
// The same without the values a write carries: "Konfigurationsregister 0..9 schreiben".
std::string request_title(const Adu& request, const Style& style);
// What an answer carries, read against the request it answers (null: unknown): the values of a read,
// the confirmation of a write, an exception with its meaning.
std::string answer_meaning(const Adu& answer, const Adu* request, const Style& style);

// "Ausnahme 03 (unzulässiger Datenwert)", or by number alone where the code has no standard meaning.
std::string exception_text(int code, const std::string& language_code);
std::string verdict_text(link::Verdict verdict, int exception_code, const std::string& language_code);

}  // namespace plx::traffic
