#pragma once
// The link-side code-behind of frm_config: the settings boxes of the link panel, opening and
// closing the port, and `send`, which hands each request to the request engine with the window's
// policy: no retry, the time-out note after 10 s and again every 10 s, and the answer still taken
// when it comes late.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/platform.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "lang/texts.h"
#include "modbus/diagnostics.h"
#include "modbus/engine.h"
#include "modbus/serial_port.h"

namespace plx::link {

// Two uppercase hex digits for a slave address text of 1..247, nullopt for anything else (empty,
// not a number, 0, 248 and above). Every request builder takes the address from here.
std::optional<std::string> slave_address_hex(const std::string& address_text);

// The numeric slave address 1..247 of the address field, nullopt when the field holds none.
std::optional<int> slave_address(const std::string& address_text);

// Settings for the link panel from outside the window (the command line); each one not given
// keeps what the panel shows.
struct LinkChoice {
    std::optional<int> baud;
    std::optional<char> parity;  // 'E', 'O' or 'N'
    std::optional<modbus::Framing> framing;
    std::optional<int> address;
    bool open = false;  // open the port last, which reads the unit out
};

class Link {
public:
    // The engine runs on the window's Timer4 (reception poll) and Timer5 (time-out).
    Link(FrmConfig& f, ProgramState& s, modbus::Engine& engine, controls::MessageBox& messages);
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    void load_link_panel();          // the load step's settings boxes (fill, preselect)
    void apply_startup_settings();   // start-up routine step 3
    void Combo_Port_Click(int index);
    // Selects each setting given as the user would, "open" last.
    void choose(const LinkChoice& c);
    void send();                     // hands s.request_string to the engine, which arms Timer5
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
    // The port's device went away and the panel is back at "close": `message` says so and names the
    // device. Unset, the link shows the message itself.
    std::function<void(const std::string& message)> on_port_lost;
    // The device that went away, until the port is open again; empty otherwise.
    const std::string& lost_device() const { return lost_device_; }

    // One observer of every frame sent and every reception verdict; null for none.
    void observe(modbus::Observer* observer) { engine_.observe(observer); }
    // An answer to the last request sent is still awaited (also after its time-out was reported).
    bool awaiting() const { return engine_.awaiting(); }

private:
    void Timer5_Timer();
    void txt_Modbus_adress_KeyPress(int& key);
    void accept(const std::string& response_text);
    void refuse(const std::string& request_string, int code);
    // The unit has answered: the note goes, the read and poll controls come back.
    void answered();
    void enter_closed_state();
    void port_lost(const modbus::PortError& e);
    // The gateway's framing where the port stands for one, else the mode box's; nothing before a
    // mode is chosen.
    std::optional<modbus::Framing> framing_in_use() const;
    void show_port_failure(const modbus::PortError& e);
    std::string say(lang::Message id, const std::vector<std::string>& args = {}) const;
    void update_port_tooltip();

    FrmConfig& f_;
    ProgramState& s_;
    modbus::Engine& engine_;
    modbus::SerialPort& port_;
    controls::MessageBox& messages_;
    std::string lost_device_;
};

}  // namespace plx::link
