#pragma once
// The window's transfers, the code-behind of frm_config that talks to the unit: the read-out chain,
// the output-register polling, the request builders and the dispatch of every answer by comm_state
// into the controls. The order of the chain is device/chain's, paced by the window's timers.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "device/chain.h"
#include "device/register_map.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/link.h"
#include "transfer/records.h"

namespace plx::transfer {

class Transactions {
  public:
    Transactions(FrmConfig& f, ProgramState& s, link::Link& link, const modbus::SerialPort& port);

    // The step of the chain the transaction state stands for; nothing for idle or a state no
    // request of a known kind belongs to.
    static std::optional<device::StepRef> step_of(int comm_state, int current_register);
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

    // The transfer stops where it is (the unit refused a request, an Apply timed out or was
    // cancelled, the port's device went away): nothing more is sent or loaded, polling ends, what was
    // not confirmed keeps its mark, and the blocks of an Apply the unit confirmed lose theirs.
    void stop_transfer();

    const ReadOutRecord& read_out_record() const { return read_out_; }
    ApplyRecord& apply_record() { return apply_; }

    // Sets Timer1, Timer2 and Timer6 to 2 x response_time + base and Timer7 to response_time + base.
    void set_pacing_intervals(int base_ms);

    // Opens the status window with the main window disabled (windows/ provides it).
    std::function<void()> show_msg_window;
    // After each dispatched answer, when the chain may have ended.
    std::function<void()> after_dispatch;
    // After the Monitor has shown a poll's answer: the output registers' words (a recording takes them).
    std::function<void(std::span<const std::uint16_t> words)> after_poll;
    // The Monitor shows a poll's answer: its values are fresh.
    std::function<void()> monitor_updated;
    // A read-out has loaded its last answer, the input bits.
    std::function<void()> after_read_out;

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

    // Sends the read that follows `done` in the read-out, if any.
    void send_after(device::StepRef done);
    // What of an Apply is still to be written after its configuration stage, by the marks' flags.
    device::WriteStages stages_left() const;
  public:
    // Starts a stage of an Apply: the input registers (Timer2 walks them) or the input bits.
    void send_write_stage(std::optional<device::StepRef> stage);
  private:
    // The slave address as two hex digits when a builder may send now.
    std::optional<std::string> sendable() const;
    void transmit(const std::string& request);
    char separator() const;
    void open_status_window();
    // After register 33 was written: the pacing follows the value written, if it changed.
    void take_response_time_change();
    // Unsent edits kept over the read-out of an opening: each goes back into its field once the
    // read-out has loaded the unit's value there, and is marked against it as if typed.
    struct KeptEdits {
        std::map<int, std::string> cfg_registers;
        std::map<int, int> cfg_bits;
        std::map<int, std::string> input_registers;
        std::map<int, int> input_bits;
    };
    void keep_edits();
    void restore_cfg_registers(int first, int count);
    void restore_cfg_bits();
    void restore_input_registers();
    void restore_input_bits();

    FrmConfig& f_;
    ProgramState& s_;
    link::Link& link_;
    const modbus::SerialPort& port_;
    // What each Monitor field was last given, so that a value that has not changed since the last
    // poll is not put into words again.
    struct ShownWord {
        std::uint16_t word;
        char separator;
        std::string text;
    };
    std::array<std::optional<ShownWord>, device::regmap::output_register_group.read_count> shown_outputs_{};
    ReadOutRecord read_out_;
    ApplyRecord apply_;
    std::optional<KeptEdits> kept_;
};

}  // namespace plx::transfer
