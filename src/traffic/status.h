#pragma once
// The words the main window shows about the line: counters and link state in the status bar, the
// reason of a failure, the refusal of a request, the confirmation of a transfer.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "traffic/meaning.h"
#include "traffic/recorder.h"

namespace plx::traffic {

std::string counters_text(const Counters& c, const std::string& language_code);

// The port as the engineer chose it and what is behind it.
struct LinkFacts {
    int port_number = 0;
    std::string device;    // the device behind "COMn"
    std::string settings;  // "9600,E,8,1"
    std::string mode;      // "RTU" or "ASCII"
    bool open = false;
    bool polling = false;
    std::chrono::milliseconds poll_interval{0};
    bool gone = false;  // the device went away while the port was open
    bool scanning = false;  // the bus scan has the line, at `settings` and `mode`
};
std::string link_state_text(const LinkFacts& facts, const std::string& language_code);
// "Abfrage alle 250 ms" while polling, empty otherwise.
std::string polling_text(const LinkFacts& facts, const std::string& language_code);
// "letzte gültige Antwort vor 3 s", in whole seconds.
std::string answer_age_text(std::optional<std::chrono::milliseconds> last_valid,
                            std::chrono::milliseconds now,
                            const std::string& language_code);

// What was seen and what the engineer can do; empty for Reason::none.
std::string reason_text(const Diagnosis& d, const std::string& language_code);
// The message when the unit refuses a request: what the request was for, and the exception.
// short: the two lines for the status line.
std::string refusal_text(const std::string& request_string,
                         int exception_code,
                         const Style& style,
                         bool short_form = false);
// What an Apply wrote and the unit confirmed, told when its read-back has ended.
struct Written {
    int register_blocks = 0;
    int cfg_bits = 0;
    int input_registers = 0;
    int input_bits = 0;
    bool any() const { return register_blocks + cfg_bits + input_registers + input_bits > 0; }
};

// "6 Registerblöcke, 32 Konfigurationsbits, 1 Eingaberegister geschrieben und zurückgelesen (14:03:22)",
// or "Auslesen abgeschlossen um 14:03:22" when nothing was written.
std::string completion_text(const Written& written,
                            const std::string& time_of_day,
                            const std::string& language_code);

}  // namespace plx::traffic
