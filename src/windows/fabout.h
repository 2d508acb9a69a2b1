#pragma once
// The About window fAbout: version, description, liability notice and the maker's contacts; the
// e-mail and web addresses are links handed to the desktop shell.

#include <string>

#include "controls/platform.h"
#include "form/fabout.h"
#include "form/program_state.h"

namespace plx::windows {

// The maker's contact data. Placeholders: the addresses cannot be reached by design.
struct MakerContacts {
    static constexpr const char* company = "Orvanto Sensortechnik GmbH";
    static constexpr const char* address = "Musterstraße 1\n12345 Musterstadt\nTel. +49 (0)000 000000-0";
    static constexpr const char* email = "info@orvanto.example.invalid";
    static constexpr const char* web = "https://www.orvanto.example.invalid";
};

class FAbout {
public:
    FAbout(FAboutControls& controls, const ProgramState& state, controls::Shell& shell);

    // The load step: version text, then the English texts when the language code says so.
    void Form_Load();
    void lblemail_Click();
    void lblHyperlink_Click();

    FAboutControls& controls() { return c_; }

private:
    FAboutControls& c_;
    const ProgramState& s_;
    controls::Shell& shell_;
};

}  // namespace plx::windows
