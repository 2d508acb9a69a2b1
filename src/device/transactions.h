#pragma once
// The device-side code-behind of frm_config: the read-out chain, the output-register polling, the
// request builders and the dispatch of every answer by comm_state.

#include <chrono>
#include <functional>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/link.h"

namespace plx::device {

// Window timers hold 16-bit intervals; a derived interval never goes above this.
inline constexpr std::chrono::milliseconds kMaxTimerInterval{32767};

// Pacing intervals derived from the response time: base 200 after opening the port, 150 after a
// write that changed register 33. A negative response time counts as 0.
std::chrono::milliseconds block_interval(int response_time, int base_ms);
std::chrono::milliseconds poll_interval(int response_time, int base_ms);

class Transactions {
  public:
    Transactions(FrmConfig& f, ProgramState& s, link::Link& link, const link::SerialPort& port);
    Transactions(const Transactions&) = delete;
    Transactions& operator=(const Transactions&) = delete;

    // Starts a full read-out (the read_out_parameter button, the status window after a write): six
    // configuration blocks paced by Timer6, then bits, input registers and input bits, each sent by the
    // answer before it.
    void func_read_out_parameter();

    // request builders
    void Timer6_Timer();  // configuration block at current_register
    void Timer7_Timer();  // output registers
    void send_read_cfg_bits();
    void send_read_input_registers();
    void send_read_input_bits();
    void send_write_cfg_bits();
    void send_write_input_bits();

    void chk_read_out_Click();

    // One call per accepted answer.
    void dispatch();
    // Is the request string, whose answer has arrived, the one this transaction waits for? A
    // read-out started while a poll was on the wire must not load the poll's answer.
    bool awaits(const std::string& request_string) const;

    // The running chain can still move on its own: an answer or the time-out report is due, or a
    // pacing timer's next tick will send. False when nothing could ever reach the wire.
    bool transfer_in_progress() const;

    // The unit refused the request on the wire: the chain stops there, nothing is loaded, polling
    // ends, and what was not confirmed keeps its mark.
    void stop_after_refusal();

    // Sets Timer1, Timer2 and Timer6 to 2 x response_time + base and Timer7 to response_time + base.
    void set_pacing_intervals(int base_ms);

    // Opens the status window with the main window disabled (windows/ provides it).
    std::function<void()> show_msg_window;
    // After each dispatched answer, when the chain may have ended.
    std::function<void()> after_dispatch;
    // After the Monitor has shown a poll's answer: the output registers' words (a recording takes them).
    std::function<void(std::span<const std::uint16_t> words)> after_poll;

  private:
    void on_read_registers();
    void on_cfg_block();
    void on_output_registers();
    void on_write_cfg_registers();
    void on_read_cfg_bits();
    void on_write_cfg_bits();
    void on_write_input_registers();
    void on_read_response_time();
    void on_read_input_registers();
    void on_write_input_bits();
    void on_read_input_bits();

    // The slave address as two hex digits when a builder may send now.
    std::optional<std::string> sendable() const;
    void transmit(const std::string& request);
    char separator() const;
    void open_status_window();

    FrmConfig& f_;
    ProgramState& s_;
    link::Link& link_;
    const link::SerialPort& port_;
};

}  // namespace plx::device
