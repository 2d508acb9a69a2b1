#pragma once
// Dialogs and shell hand-over as interfaces: Qt adapters in gui/, recording fakes in tests.

#include <optional>
#include <string>

namespace plx::controls {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // A message with an OK button only; returns when the user has confirmed it.
    virtual void show_ok(const std::string& text) = 0;
    // A question with two buttons, labelled in the user's language; true when the user chose
    // `accept`. A platform that cannot ask answers `reject`, so nothing is given up unasked.
    virtual bool ask(const std::string& /*text*/,
                     const std::string& /*accept*/,
                     const std::string& /*reject*/) {
        return false;
    }
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Empty when the user cancelled.
    virtual std::optional<std::string> open_file(const std::string& title, const std::string& filter) = 0;
    virtual std::optional<std::string> save_file(const std::string& title, const std::string& filter) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Hands a path, a mailto: link or a web address to the desktop; failures are the caller's to ignore.
    virtual bool open(const std::string& target) = 0;
};

}  // namespace plx::controls
