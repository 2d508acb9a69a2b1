#pragma once
// The Apply button set_parameter and the timers that write what the user marked: configuration
// registers in blocks of ten (Timer1), then the configuration bits, then each marked input register
// (Timer2), then the input bits. The single-request stages are sent by the answers (Transactions).

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "controls/platform.h"
#include "transfer/transactions.h"
#include "device/word_codec.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/link.h"

namespace plx::transfer {

// The computer's local date and time, as the unit's clock fields take it (month 1 .. 12, full year).
struct LocalTime {
    int second = 0;
    int minute = 0;
    int hour = 0;
    int day = 1;
    int month = 1;
    int year = 2000;
};
LocalTime system_local_time();

class WriteSequence {
  public:
    WriteSequence(
        FrmConfig& f, ProgramState& s, link::Link& link, Transactions& tx, controls::MessageBox& messages);
    WriteSequence(const WriteSequence&) = delete;
    WriteSequence& operator=(const WriteSequence&) = delete;

    void set_parameter_Click();
    void Timer1_Timer();  // the configuration block at current_register
    void Timer2_Timer();  // the input register at current_register

    // The text that makes Apply refuse to start, or nothing when every field to be written encodes.
    std::optional<std::string> unsendable_field() const;

    // Where the clock fields that go out with a changed date or time display, untyped, take their
    // values from; the system clock unless a test sets another.
    std::function<LocalTime()> local_time = system_local_time;

  private:
    bool config_pending() const;
    bool clock_display_marked() const;
    // Puts the computer's date and time into the clock fields Apply left to it, just before the
    // first of them goes out, so the unit's clock is set to the moment of writing.
    void fill_clock_from_computer();
    device::EncodedWord cfg_word(int k) const;
    device::EncodedWord input_word(int k) const;
    // The message naming the field and why its text cannot be sent.
    std::string cfg_problem(int k, device::EncodeError error) const;
    std::string input_problem(int k, device::EncodeError error) const;
    std::optional<std::string> sendable() const;
    void finish_input_registers();
    void stop_with_message(controls::Timer& timer, const std::string& text);

    FrmConfig& f_;
    ProgramState& s_;
    link::Link& link_;
    Transactions& tx_;
    controls::MessageBox& messages_;
    std::array<bool, 6> clock_from_computer_{};
};

}  // namespace plx::transfer
