#pragma once
// The words of what the tool saw on the line, in both languages: the traffic window, its verdicts
// and meanings, the counters and link state of the status bar, the reason of a failure and the
// confirmations. One row per text.

#include <string>
#include <vector>

namespace plx::lang {

enum class LineText {
    // verdicts
    verdict_ok,
    verdict_check_sum_wrong,
    verdict_wrong_slave_address,
    verdict_misfit,
    verdict_echo,
    verdict_no_request,
    verdict_discarded,
    verdict_time_out,
    verdict_other_transaction,
    exception_with_meaning,  // %1: code (two hex digits), %2: its meaning
    exception_code_only,     // %1: code
    // meanings; %1 of read and write: a group with its range ("Konfigurationsregister 30..39")
    group_cfg_registers,
    group_output_registers,
    group_input_registers,
    group_cfg_bits,
    group_input_bits,
    // one point of a group
    group_cfg_register,
    group_output_register,
    group_input_register,
    group_cfg_bit,
    group_input_bit,
    read,
    write,
    confirmed,  // %1: the group and range
    bits_set,   // %1: the numbers of the bits set
    no_bit_set,
    generic_frame,  // %1: slave address, %2: function, %3: number of data bytes
    bytes,          // %1: how many
    no_answer_to,   // %1: the request's meaning
    from_slave,     // %1: the address, %2: the frame's meaning
    // columns of the traffic window
    column_time,
    column_direction,
    column_frame,
    column_meaning,
    column_verdict,
    // status bar
    counters,         // %1 requests, %2 valid answers, %3 time-outs, %4 check-sum errors, %5 exceptions
    port_open,        // %1: "COM3", %2: device, %3: settings, %4: mode
    port_closed,      // %1: "COM3", %2: device
    port_gone,        // %1: "COM3", %2: device; it went away while open
    port_open_gateway,  // %1: the network entry, %2: the gateway (its kind in its scheme)
    port_scanning,    // %1: "COM3", %2: device, %3: settings, %4: mode; the bus scan has the line
    last_answer_age,  // %1: seconds
    no_valid_answer_yet,
    polling_every,  // %1: milliseconds
    // the reason of the current failure and what to do
    reason_no_byte,         // %1: the slave address asked
    reason_bytes_no_frame,  // %1: how many bytes
    reason_check_sums,      // %1: how many frames
    reason_other_address,   // %1: the address answering, %2: the address asked
    reason_misfit,
    reason_echo_only,     // %1: the slave address asked
    reason_exception,     // %1: the exception (exception_with_meaning or exception_code_only)
    reason_short_answer,  // %1: bytes of the answer received, %2: bytes it should have
    reason_other_transaction,  // %1: how many answers
    // a gateway's exceptions, what they mean for the engineer
    advice_gateway_path,
    advice_gateway_target,
    // a connection to a gateway: %1 host and port, %2 the system's words
    link_connected,
    link_closed,
    link_reconnected,
    link_connect_failed,
    direction_event,
    // an exception answer stops the transfer: %1 the request's meaning, %2 the exception
    refused,
    refused_short,  // the same for the status line
    // confirmations
    register_blocks,          // %1: how many (more than one)
    register_block,           // exactly one
    cfg_bits_written,         // %1: how many
    input_registers_written,  // %1: how many (more than one)
    input_register_written,   // exactly one
    input_bits_written,       // %1: how many
    written_and_read_back,    // %1: what was written, %2: time of day
    read_out_completed,       // %1: time of day
    // an Apply that stopped: what was written and confirmed, and what not
    apply_block,                // %1 .. %2: the registers of one configuration block
    apply_blocks,               // %1 .. %2: the registers of several
    apply_input_register,       // %1: its number
    apply_input_registers,      // %1: their numbers
    apply_written_not_written,  // %1: what was written, %2: what was not
    apply_nothing_written,      // %1: what was not
    apply_all_written,          // %1: what was written
    apply_stopped_time_out,
    apply_cancelled,
    apply_marks_kept,
    // the Monitor's values are older than polling allows: %1 the age of the last valid answer
    // (last_answer_age)
    monitor_stale,
    // the traffic window
    window_title,
    menu_entry,
    pause,
    resume,
    clear,
    copy,
    save,
    save_title,
    save_filter,
    save_failed,  // %1: path, %2: the system's reason
    row_count,    // %1: rows shown, %2: the most kept
    paused_note,
};

// The text in the language of `language_code` ("1033" English, anything else German), with %1, %2,
// ... replaced by `args`.
std::string line_text(LineText id,
                      const std::string& language_code,
                      const std::vector<std::string>& args = {});

}  // namespace plx::lang
