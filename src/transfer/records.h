#pragma once
// What the window's transfers got done: how far the last read-out came, and what the Apply under way
// set out to write and the unit confirmed of it. The question before saving a half-read unit, the
// confirmation after an Apply's read-back and the message when an Apply stops are worded from here.

#include <optional>
#include <string>
#include <vector>

#include "device/chain.h"

namespace plx::transfer {

// The last read-out: opening the port or "Abbrechen" starts one, each answer it loads moves it on.
struct ReadOutRecord {
    bool started = false;
    int cfg_registers_read = 0;  // configuration registers 0 .. this - 1 are loaded
    bool cfg_bits_read = false;
    // What a parameter file of the window would hold that the read-out did not load:
    // "Register 21..60 und die Konfigurationsbits"; nothing when it holds only read values.
    std::optional<std::string> unread(const std::string& language_code) const;
};

// One Apply: its stages in order (each configuration block, the configuration bits, each input
// register, the input bits) and those the unit confirmed.
class ApplyRecord {
  public:
    void begin(std::vector<device::StepRef> stages);
    // The unit confirmed a stage of the Apply under way; anything else is no news.
    void confirm(device::StepRef stage);
    void clear();

    // begun, not yet every stage confirmed
    bool running() const { return begun_ && confirmed_.size() < planned_.size(); }
    bool complete() const { return begun_ && confirmed_.size() == planned_.size(); }
    bool confirmed(device::StepRef stage) const;
    const std::vector<device::StepRef>& planned() const { return planned_; }

    // "Block 0..9 geschrieben; Blöcke 10..59, 32 Konfigurationsbits nicht geschrieben."
    std::string stages_text(const std::string& language_code) const;
    // The stages confirmed, counted: blocks, configuration bits, input registers, input bits.
    struct Counts {
        int register_blocks = 0;
        int cfg_bits = 0;
        int input_registers = 0;
        int input_bits = 0;
    };
    Counts counts() const;

  private:
    std::vector<device::StepRef> planned_;
    std::vector<device::StepRef> confirmed_;
    bool begun_ = false;
};

}  // namespace plx::transfer
