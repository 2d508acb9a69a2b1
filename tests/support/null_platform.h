#pragma once
// Stand-ins for the dialogs and the shell in tests that build the whole program, and the text a
// register word should show, worked out independently of the device code.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "controls/platform.h"

namespace plx::test {

struct RecordingMessages : controls::MessageBox {
    void show_ok(const std::string& text) override { shown.push_back(text); }
    // a question is recorded and answered with `answer`
    bool ask(const std::string& text, const std::string&, const std::string&) override {
        asked.push_back(text);
        return answer;
    }
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    bool answer = false;
};

struct NoFiles : controls::FileDialog {
    std::optional<std::string> open_file(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::string> save_file(const std::string&, const std::string&) override { return std::nullopt; }
};

struct NoShell : controls::Shell {
    bool open(const std::string&) override { return false; }
};

// A register word as the tool shows it: the number, in tenths where the map says so, shortest form.
inline std::string shown(std::uint16_t word, bool tenths, const std::string& separator, bool is_unsigned = false) {
    const long v = is_unsigned ? long{word} : long{static_cast<std::int16_t>(word)};
    if (!tenths || v % 10 == 0) return std::to_string(tenths ? v / 10 : v);
    return std::string(v < 0 ? "-" : "") + std::to_string(std::labs(v) / 10) + separator +
           std::to_string(std::labs(v) % 10);
}

}  // namespace plx::test
