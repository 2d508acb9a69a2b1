#pragma once
// The link-side code-behind of frm_config: the settings boxes of the link panel, opening and
// closing the port, framing and sending requests, and assembling and checking the answers.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/platform.h"
#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/assembler.h"
#include "link/diagnostics.h"
#include "link/serial_port.h"

namespace plx::link {

// Two uppercase hex digits for a slave address text of 1..247, nullopt for anything else (empty,
// not a number, 0, 248 and above). Every request builder takes the address from here.
std::optional<std::string> slave_address_hex(const std::string& address_text);

// The numeric slave address 1..247 of the address field, nullopt when the field holds none.
std::optional<int> slave_address(const std::string& address_text);

// The texts the link adds to the system's own; the program gives them in the user's language.
enum class Text {
    invalid_slave_address,  // %1: the address as typed
    port_device_reason,     // %1: the device, %2: the system's reason
    port_permission_hint,   // the system refused the device for lack of permission
    no_port_selected,
    port_busy,          // %1: the device, %2: the program holding it
    port_busy_unknown,  // %1: the device
    port_gone,          // %1: the device
};
using TextSource = std::function<std::string(Text id, const std::vector<std::string>& args)>;

class Link {
public:
    Link(FrmConfig& f, ProgramState& s, SerialPort& port, controls::MessageBox& messages);
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    void load_link_panel();          // the load step's settings boxes (fill, preselect)
    void apply_startup_settings();   // start-up routine step 3
    void Combo_Port_Click(int index);
    void send();                     // frames s.request_string, writes it, arms Timer5
    void receive();                  // reception part of the receive handler (Timer4 tick calls it)
    // Builders call this: stores the request string, sends, clears link_ready.
    void transmit(const std::string& request_string);

    std::function<void()> on_response;          // the dispatch: once per accepted frame
    std::function<void()> on_time_out;          // after the communication problem is shown
    // The unit refused the awaited request (its string) with this exception code. The link is free
    // again and nothing was dispatched; the chain is the receiver's to stop.
    std::function<void(const std::string& request_string, int code)> on_exception;
    // Set by the device layer: does the transaction in progress still wait for the answer to this
    // request string? The answer to one it has moved on from must not be taken for its own.
    std::function<bool(const std::string& request_string)> transaction_awaits;
    // Set by the device layer: the request string that opening the port sends for this slave (two
    // hex digits), readying whatever its answer's dispatch needs. Unset or empty: nothing is sent.
    std::function<std::string(const std::string& slave_hex)> first_request;
    // The user's device for port number n (empty: no override), e.g. from the settings store.
    std::function<std::string(int port_number)> port_override;
    // The words of the link's own messages. Unset: the arguments alone, so the facts still show.
    TextSource text;

    // One observer of every frame sent and every reception verdict, time-stamped by clock; null
    // for none.
    void observe(LinkObserver* observer, const controls::TimerEngine* clock);
    // An answer to the last request sent is still awaited (also after its time-out was reported).
    bool awaiting() const { return !awaited_request_.empty(); }

private:
    void Timer4_Timer();
    void Timer5_Timer();
    void txt_Modbus_adress_KeyPress(int& key);
    void settle(std::vector<Reception>& got);
    void accept(const std::string& response_text);
    void refuse(const std::string& request_string, int code);
    // The unit has answered: the time-out goes, the read and poll controls come back.
    void answered();
    // The reception poll runs only while an answer is awaited.
    void follow_awaited();
    // Flushes the receivers and the port's waiting bytes and forgets the awaited request.
    void give_up_reception();
    void report(std::vector<Reception>& got) const;
    std::chrono::milliseconds now() const;
    void enter_closed_state();
    void show_port_failure(const PortError& e);
    std::string say(Text id, const std::vector<std::string>& args = {}) const;
    void update_port_tooltip();

    FrmConfig& f_;
    ProgramState& s_;
    SerialPort& port_;
    controls::MessageBox& messages_;
    RtuAssembler rtu_;
    AsciiAssembler ascii_;
    // the request whose answer is awaited: empty once answered, or when none went out
    std::string awaited_request_;
    std::vector<std::uint8_t> last_frame_;  // the last frame written, for the time-out report
    bool time_out_reported_ = false;        // the last frame's time-out has been told to the observer
    LinkObserver* observer_ = nullptr;
    const controls::TimerEngine* clock_ = nullptr;
};

}  // namespace plx::link
