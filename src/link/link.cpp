#include "link/link.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "link/port_failure.h"
#include "link/port_map.h"
#include "modbus/gateway.h"
#include "modbus/line_settings.h"
#include "modbus/wandeln.h"

namespace plx::link {

namespace {

constexpr std::array<const char*, 5> kBauds = {"9600", "19200", "38400", "57600", "115200"};
constexpr int kKeyBackspace = 8;

std::string settings_text(const ProgramState& s) {
    return s.baud_text + "," + s.parity_text + "," + s.data_bits_text + "," + s.stop_bits_text;
}

}  // namespace

std::optional<int> slave_address(const std::string& address_text) {
    if (address_text.empty() || address_text.size() > 3) return std::nullopt;
    int n = 0;
    for (char c : address_text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > 247) return std::nullopt;
    return n;
}

std::optional<std::string> slave_address_hex(const std::string& address_text) {
    const auto n = slave_address(address_text);
    if (!n) return std::nullopt;
    return modbus::byte_to_hex(static_cast<std::uint8_t>(*n));
}

Link::Link(FrmConfig& f, ProgramState& s, modbus::Engine& engine, controls::MessageBox& messages)
    : f_(f), s_(s), engine_(engine), port_(engine.port()), messages_(messages) {
    for (int i : {0, 1, 5, 6}) f_.Combo_Port[i].on_click = [this, i] { Combo_Port_Click(i); };
    engine_.on_time_out = [this] { Timer5_Timer(); };
    engine_.on_port_lost = [this](const modbus::PortError& e) { port_lost(e); };
    f_.txt_Modbus_adress.on_key_press = [this](int& key) { txt_Modbus_adress_KeyPress(key); };
    if (f_.txt_Modbus_adress.text().empty()) f_.txt_Modbus_adress.set_text("1");
    // the communication-problem label shows only after a time-out
    f_.lbl_desc[7].set_visible(false);
}

void Link::txt_Modbus_adress_KeyPress(int& key) {
    if ((key >= '0' && key <= '9') || key == kKeyBackspace) return;
    key = 0;
}

void Link::load_link_panel() {
    f_.cbParity.set_list({"Even", "Odd", "None"});
    f_.cbParity.set_list_index(0);

    std::vector<std::string> ports;
    for (int n = 1; n <= kMaxPortNumber; ++n) ports.push_back("COM" + std::to_string(n));
    // a gateway over TCP after the COM entries
    ports.push_back(say(lang::Message::network_entry));
    f_.Combo_Port[0].set_list(std::move(ports));
    f_.Combo_Port[1].set_list({kBauds.begin(), kBauds.end()});
    f_.Combo_Port[5].set_list({"ASCII", "RTU"});
    f_.Combo_Port[6].set_list({"close", "open"});

    // runs Combo_Port_Click while the baud box has no selection yet, which sets 115200
    f_.Combo_Port[0].set_list_index(2);
    int baud_index = 4;
    for (int i = 0; i < 4; ++i) {
        if (s_.baud_text == kBauds[static_cast<std::size_t>(i)]) baud_index = i;
    }
    f_.Combo_Port[1].set_list_index(baud_index);
    f_.Combo_Port[5].set_list_index(0);
    f_.Combo_Port[6].set_list_index(s_.port_open_wanted ? 1 : 0);
}

void Link::apply_startup_settings() {
    port_.set_input_mode(modbus::InputMode::text);
    if (auto e = port_.set_settings(settings_text(s_))) show_port_failure(*e);
    port_.set_comm_port(s_.port_number);
    update_port_tooltip();
}

void Link::update_port_tooltip() {
    const int n = f_.Combo_Port[0].list_index() + 1;
    f_.Combo_Port[0].set_tooltip(n >= 1 ? port_.device_name(n) : std::string{});
}

std::string Link::say(lang::Message id, const std::vector<std::string>& args) const {
    return lang::message(id, s_.language_code, args);
}

void Link::show_port_failure(const modbus::PortError& e) {
    // the first line is the system's own text and stays the same in every language
    std::string message = "COM-Port not available,  " + std::to_string(e.code);
    if (!e.device.empty() || !e.reason.empty()) {
        message += "\n";
        message += e.device.empty()   ? e.reason
                   : e.reason.empty() ? e.device
                                      : say(lang::Message::port_device_reason, {e.device, e.reason});
    }
    const std::string advice = port_failure_advice(e, s_.language_code);
    if (!advice.empty()) message += "\n" + advice;
    messages_.show_ok(message);
}

void Link::Combo_Port_Click(int index) {
    (void)index;  // every run re-reads all boxes and applies everything
    auto& port_box = f_.Combo_Port[0];
    auto& baud_box = f_.Combo_Port[1];
    auto& mode_box = f_.Combo_Port[5];
    auto& open_box = f_.Combo_Port[6];

    s_.port_number = static_cast<std::uint8_t>(port_box.list_index() + 1);
    const int baud = baud_box.list_index();
    s_.baud_text = baud >= 0 && baud < 4 ? kBauds[static_cast<std::size_t>(baud)] : "115200";
    const int parity = f_.cbParity.list_index();
    s_.parity_text = parity == 0 ? "E" : parity == 1 ? "O" : "N";
    s_.stop_bits_text = "1";
    if (mode_box.list_index() == 0) {
        s_.modbus_mode = "ASCII";
        s_.data_bits_text = "7";
        port_.set_input_mode(modbus::InputMode::text);
        f_.Timer4.set_interval(std::chrono::milliseconds(100));
    } else if (mode_box.list_index() == 1) {
        s_.modbus_mode = "RTU";
        s_.data_bits_text = "8";
        port_.set_input_mode(modbus::InputMode::bytes);
        f_.Timer4.set_interval(std::chrono::milliseconds(50));
    }
    if (open_box.list_index() >= 0) s_.port_open_wanted = open_box.list_index() != 0;
    port_.set_device_lookup(port_override);
    // a gateway keeps its own line settings, and its kind says the framing
    const auto gateway = modbus::gateway_of(port_.device_name(s_.port_number));
    port_box.set_enabled(!s_.port_open_wanted);
    baud_box.set_enabled(!s_.port_open_wanted && !gateway);
    mode_box.set_enabled(!s_.port_open_wanted && !gateway);
    f_.cbParity.set_enabled(!gateway);
    if (const auto framing = framing_in_use()) engine_.set_framing(*framing);

    auto fail = [&](const modbus::PortError& e) {
        show_port_failure(e);
        if (open_box.list_count() > 0) open_box.set_list_index(0);
        s_.port_open_wanted = false;
        // the box may have shown "close" already, so the run above did not happen: never leave
        // the port open behind a box that says closed
        if (port_.port_open()) (void)port_.set_port_open(false);
        enter_closed_state();
    };

    update_port_tooltip();
    if (s_.port_number < 1 || s_.port_number > kNetworkEntry) {
        return fail({modbus::port_error::invalid_port, {}, say(lang::Message::no_port_selected)});
    }
    if (s_.port_number == kNetworkEntry && !gateway && s_.port_open_wanted) {
        return fail({modbus::port_error::invalid_port, {}, say(lang::Message::no_gateway_set)});
    }
    // a new opening or new settings: nothing half-received belongs to what comes next, and no
    // request sent before is awaited any more; what waits unread (no poll runs while nothing is
    // awaited) is reported before a closing drops it
    engine_.reset();
    // the window's own reception: the first poll without a byte ends a frame
    engine_.set_quiet_gap(std::chrono::milliseconds(0));
    f_.rtu_expected_length = 0;
    if (port_.comm_port() != s_.port_number) {
        if (port_.port_open()) {
            if (auto e = port_.set_port_open(false)) return fail(*e);
        }
        port_.set_comm_port(s_.port_number);
    }
    if (auto e = port_.set_settings(settings_text(s_))) return fail(*e);
    if (port_.port_open() != s_.port_open_wanted) {
        if (auto e = port_.set_port_open(s_.port_open_wanted)) return fail(*e);
    }

    if (port_.port_open()) {
        // the adapter is back
        lost_device_.clear();
        s_.comm_state = read_response_time;
        f_.chk_read_out.set_enabled(true);
        check_pending_changes(f_);
        f_.read_out_parameter.set_enabled(true);
        f_.lbl_desc[30].set_enabled(true);
        const std::string& address_text = f_.txt_Modbus_adress.text();
        if (!address_text.empty()) {
            if (const auto address = slave_address_hex(address_text)) {
                const std::string request = first_request ? first_request(*address) : std::string{};
                if (!request.empty()) transmit(request);
            } else {
                messages_.show_ok(say(lang::Message::invalid_slave_address, {address_text}));
            }
        }
    } else {
        enter_closed_state();
    }
}

void Link::port_lost(const modbus::PortError& e) {
    lost_device_ = e.device.empty() ? port_.device_name(s_.port_number) : e.device;
    const std::string entry = "COM" + std::to_string(s_.port_number);
    // no unit can be heard without the adapter: the note about the unit goes, the panel says "close"
    f_.lbl_desc[7].set_visible(false);
    f_.lbl_desc[7].set_tooltip("");
    auto& open_box = f_.Combo_Port[6];
    if (open_box.list_index() > 0) {
        open_box.set_list_index(0);
    } else {
        Combo_Port_Click(6);
    }
    f_.status_line.set_caption(say(lang::Message::port_vanished_short, {lost_device_, entry}));
    const std::string message = say(lang::Message::port_vanished, {lost_device_, entry, e.reason});
    if (on_port_lost) {
        on_port_lost(message);
    } else {
        messages_.show_ok(message);
    }
}

void Link::choose(const LinkChoice& c) {
    if (c.address) f_.txt_Modbus_adress.set_text(std::to_string(*c.address));
    if (c.parity) {
        const auto p = std::find(std::begin(modbus::kParities), std::end(modbus::kParities), *c.parity);
        if (p != std::end(modbus::kParities))
            f_.cbParity.set_list_index(static_cast<int>(p - std::begin(modbus::kParities)));
    }
    if (c.baud) {
        const auto b = std::find(std::begin(modbus::kBauds), std::end(modbus::kBauds), *c.baud);
        if (b != std::end(modbus::kBauds))
            f_.Combo_Port[1].set_list_index(static_cast<int>(b - std::begin(modbus::kBauds)));
    }
    if (c.framing) f_.Combo_Port[5].set_list_index(*c.framing == modbus::Framing::rtu ? 1 : 0);
    if (c.open) f_.Combo_Port[6].set_list_index(1);
}

std::optional<modbus::Framing> Link::framing_in_use() const {
    if (const auto gateway = modbus::gateway_of(port_.device_name(s_.port_number))) return gateway->framing;
    return modbus::framing_of_mode(s_.modbus_mode);
}

void Link::enter_closed_state() {
    const bool gateway = modbus::names_gateway(port_.device_name(s_.port_number));
    f_.Combo_Port[0].set_enabled(true);
    for (int i : {1, 5}) f_.Combo_Port[i].set_enabled(!gateway);
    f_.read_out_parameter.set_enabled(false);
    f_.set_parameter.set_enabled(false);
    f_.chk_read_out.set_enabled(false);
    f_.Timer4.set_enabled(false);
    f_.chk_read_out.set_value(0);
    f_.lbl_desc[30].set_enabled(false);
}

void Link::send() {
    if (!port_.port_open()) {
        messages_.show_ok(say(lang::Message::port_not_open));
        return;
    }
    const auto framing = framing_in_use();
    if (!framing) return;
    engine_.set_framing(*framing);
    modbus::Request request;
    request.request_string = s_.request_string;
    // the window waits for the user, not for a retry: the note after 10 s and again every 10 s, and
    // a late answer still lets the chain go on
    request.policy.timeout = std::chrono::milliseconds(10'000);
    request.policy.keep_awaiting = true;
    // the answer to a request the transaction has moved on from must not be taken for its own
    request.still_wanted = [this, sent = s_.request_string] {
        return !transaction_awaits || transaction_awaits(sent);
    };
    request.comm_state = s_.comm_state;
    request.current_register = s_.current_register;
    engine_.request(std::move(request), [this, sent = s_.request_string](const modbus::Outcome& o) {
        f_.rtu_expected_length = engine_.expected_length();
        if (o.verdict == modbus::Verdict::ok) {
            accept(o.response_text);
        } else if (o.verdict == modbus::Verdict::exception) {
            refuse(sent, o.exception_code);
        }
    });
    f_.rtu_expected_length = engine_.expected_length();
}

void Link::transmit(const std::string& request_string) {
    s_.request_string = request_string;
    send();
    s_.link_ready = false;
}

void Link::answered() {
    f_.lbl_desc[7].set_visible(false);
    f_.chk_read_out.set_enabled(true);
    if (f_.chk_read_out.value() == 0) {
        f_.read_out_parameter.set_enabled(true);
        check_pending_changes(f_);
    }
    s_.link_ready = true;
}

void Link::accept(const std::string& response_text) {
    s_.response_text = response_text;
    answered();
    if (on_response) on_response();
}

void Link::refuse(const std::string& request_string, int code) {
    // reported at once: waiting for the time-out would make a refusal look like a broken cable
    answered();
    if (on_exception) on_exception(request_string, code);
}

void Link::Timer5_Timer() {
    // the engine told the observer once; the note goes on showing at every tick until the unit answers
    f_.lbl_desc[7].set_visible(true);
    f_.chk_read_out.set_enabled(false);
    f_.read_out_parameter.set_enabled(false);
    f_.set_parameter.set_enabled(false);
    if (on_time_out) on_time_out();
}

}  // namespace plx::link
