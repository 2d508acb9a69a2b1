#pragma once
// Stand-ins for the dialogs and the shell in tests that build the whole program, and the text a
// register word should show, worked out independently of the device code.

#include <cstdint>
#include <cstdlib>
#include <deque>
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

// Answers each dialog with the next of `answers` (nullopt or none left: cancelled) and records it.
struct ScriptedFiles : controls::FileDialog {
    struct Request {
        bool save;
        std::string title, filter;
    };
    std::optional<std::string> open_file(const std::string& t, const std::string& f) override {
        return next(false, t, f);
    }
    std::optional<std::string> save_file(const std::string& t, const std::string& f) override {
        return next(true, t, f);
    }
    std::optional<std::string> next(bool save, const std::string& title, const std::string& filter) {
        requests.push_back({save, title, filter});
        if (answers.empty()) return std::nullopt;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<Request> requests;
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
