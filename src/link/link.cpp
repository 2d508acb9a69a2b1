#include "link/link.h"

#include <array>
#include <utility>

#include "link/frame.h"
#include "link/port_failure.h"
#include "link/port_map.h"
#include "link/wandeln.h"

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
    return byte_to_hex(static_cast<std::uint8_t>(*n));
}

Link::Link(FrmConfig& f, ProgramState& s, SerialPort& port, controls::MessageBox& messages)
    : f_(f), s_(s), port_(port), messages_(messages) {
    for (int i : {0, 1, 5, 6}) f_.Combo_Port[i].on_click = [this, i] { Combo_Port_Click(i); };
    f_.Timer4.on_tick = [this] { Timer4_Timer(); };
    f_.Timer5.on_tick = [this] { Timer5_Timer(); };
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
    for (int n = 1; n <= 40; ++n) ports.push_back("COM" + std::to_string(n));
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
    port_.set_input_mode(InputMode::text);
    if (auto e = port_.set_settings(settings_text(s_))) show_port_failure(*e);
    port_.set_comm_port(s_.port_number);
    update_port_tooltip();
}

void Link::update_port_tooltip() {
    const int n = f_.Combo_Port[0].list_index() + 1;
    f_.Combo_Port[0].set_tooltip(n >= 1 ? port_.device_name(n) : std::string{});
}

std::string Link::say(Text id, const std::vector<std::string>& args) const {
    if (text) return text(id, args);
    std::string facts;
    for (const std::string& a : args) facts += (facts.empty() ? "" : ": ") + a;
    return facts;
}

void Link::show_port_failure(const PortError& e) {
    // the first line is the system's own text and stays the same in every language
    std::string message = "COM-Port not available,  " + std::to_string(e.code);
    if (!e.device.empty() || !e.reason.empty()) {
        message += "\n";
        message += e.device.empty()   ? e.reason
                   : e.reason.empty() ? e.device
                                      : say(Text::port_device_reason, {e.device, e.reason});
    }
    const std::string advice = port_failure_advice(
        e, [this](Text id, const std::vector<std::string>& args) { return say(id, args); });
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
        port_.set_input_mode(InputMode::text);
        f_.Timer4.set_interval(std::chrono::milliseconds(100));
    } else if (mode_box.list_index() == 1) {
        s_.modbus_mode = "RTU";
        s_.data_bits_text = "8";
        port_.set_input_mode(InputMode::bytes);
        f_.Timer4.set_interval(std::chrono::milliseconds(50));
    }
    if (open_box.list_index() >= 0) s_.port_open_wanted = open_box.list_index() != 0;
    port_box.set_enabled(!s_.port_open_wanted);
    baud_box.set_enabled(!s_.port_open_wanted);
    mode_box.set_enabled(!s_.port_open_wanted);

    auto fail = [&](const PortError& e) {
        show_port_failure(e);
        if (open_box.list_count() > 0) open_box.set_list_index(0);
        s_.port_open_wanted = false;
        // the box may have shown "close" already, so the run above did not happen: never leave
        // the port open behind a box that says closed
        if (port_.port_open()) (void)port_.set_port_open(false);
        enter_closed_state();
    };

    port_.set_device_lookup(port_override);
    update_port_tooltip();
    if (s_.port_number < 1 || s_.port_number > kMaxPortNumber) {
        return fail({port_error::invalid_port, {}, say(Text::no_port_selected)});
    }
    // a new opening or new settings: nothing half-received belongs to what comes next, and no
    // request sent before is awaited any more; what waits unread (no poll runs while nothing is
    // awaited) is reported before a closing drops it
    give_up_reception();
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
                messages_.show_ok(say(Text::invalid_slave_address, {address_text}));
            }
        }
        follow_awaited();
    } else {
        enter_closed_state();
    }
}

void Link::enter_closed_state() {
    for (int i : {0, 1, 5}) f_.Combo_Port[i].set_enabled(true);
    f_.read_out_parameter.set_enabled(false);
    f_.set_parameter.set_enabled(false);
    f_.chk_read_out.set_enabled(false);
    f_.Timer4.set_enabled(false);
    f_.chk_read_out.set_value(0);
    f_.lbl_desc[30].set_enabled(false);
}

void Link::give_up_reception() {
    std::vector<Reception> got = rtu_.flush();
    for (Reception& r : ascii_.flush()) got.push_back(std::move(r));
    if (port_.in_buffer_count() > 0) {
        // it came before the next request went out, so it cannot answer that one
        std::vector<std::uint8_t> stale = port_.input();
        if (!stale.empty()) got.push_back(Reception{{}, Verdict::discarded, std::move(stale), 0});
    }
    awaited_request_.clear();
    f_.rtu_expected_length = 0;
    report(got);
}

void Link::observe(LinkObserver* observer, const controls::TimerEngine* clock) {
    observer_ = observer;
    clock_ = clock;
}

std::chrono::milliseconds Link::now() const {
    return clock_ != nullptr ? clock_->now() : std::chrono::milliseconds(0);
}

void Link::report(std::vector<Reception>& got) const {
    if (observer_ == nullptr || got.empty()) return;
    const auto at = now();
    for (Reception& r : got) {
        r.at = at;
        observer_->received(r);
    }
}

void Link::send() {
    if (!port_.port_open()) {
        messages_.show_ok("Port ist nicht geöffnet");
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (s_.modbus_mode == "ASCII") {
        const std::string frame = ascii_frame(s_.request_string);
        bytes.assign(frame.begin(), frame.end());
    } else if (s_.modbus_mode == "RTU") {
        bytes = rtu_frame(s_.request_string);
    } else {
        return;
    }
    // a late answer to an earlier request must not pass for the answer to this one
    give_up_reception();
    // from now on only the exact answer to this request is taken
    std::optional<Outstanding> awaited = outstanding_for(s_.request_string, bytes);
    if (awaited) awaited_request_ = s_.request_string;
    if (s_.modbus_mode == "RTU") {
        rtu_.expect(std::move(awaited));
    } else {
        ascii_.expect(std::move(awaited));
    }
    f_.rtu_expected_length = rtu_.expected_length();
    follow_awaited();
    last_frame_ = bytes;
    time_out_reported_ = false;
    if (observer_ != nullptr) {
        observer_->frame_sent(SentFrame{now(), bytes, s_.request_string, s_.comm_state, s_.current_register});
    }
    port_.output(bytes);
    // every transmission gets its own full time-out
    f_.Timer5.set_enabled(false);
    f_.Timer5.set_enabled(true);
}

void Link::transmit(const std::string& request_string) {
    s_.request_string = request_string;
    send();
    s_.link_ready = false;
}

void Link::Timer4_Timer() {
    if (port_.in_buffer_count() > 0) {
        receive();
        return;
    }
    std::vector<Reception> got;
    if (s_.modbus_mode == "RTU") {
        got = rtu_.silence();
    } else if (s_.modbus_mode == "ASCII") {
        got = ascii_.silence();
    }
    settle(got);
}

void Link::receive() {
    const std::vector<std::uint8_t> data = port_.input();
    std::vector<Reception> got;
    if (s_.modbus_mode == "RTU") {
        got = rtu_.push(data);
    } else if (s_.modbus_mode == "ASCII") {
        got = ascii_.push(data);
    }
    settle(got);
}

void Link::settle(std::vector<Reception>& got) {
    std::optional<std::string> answer;
    std::optional<std::pair<std::string, int>> refusal;
    for (Reception& r : got) {
        if (r.verdict != Verdict::ok && r.verdict != Verdict::exception) continue;
        // the unit has answered: nothing more is awaited for that request
        const std::string request = std::exchange(awaited_request_, {});
        const bool awaited = !transaction_awaits || transaction_awaits(request);
        if (r.verdict == Verdict::ok) {
            if (awaited) {
                answer = response_text_of(r, s_.modbus_mode == "RTU");
            } else {
                r.verdict = Verdict::misfit;
            }
        } else if (awaited) {
            // a refusal of a request the transaction has moved on from stops nothing
            refusal.emplace(request, r.exception_code);
        }
    }
    f_.rtu_expected_length = rtu_.expected_length();
    // before the dispatch, whose next request arms the poll again
    follow_awaited();
    // the verdicts first: bytes after the answer arrived before anything the dispatch sends
    report(got);
    if (answer) {
        accept(*answer);
    } else if (refusal) {
        refuse(refusal->first, refusal->second);
    }
}

void Link::follow_awaited() {
    // bytes still held are judged at the next quiet poll, so that the verdicts come in time
    const bool holding = rtu_.buffered() > 0 || ascii_.holding();
    f_.Timer4.set_enabled(port_.port_open() && (awaiting() || holding));
}

void Link::answered() {
    f_.Timer5.set_enabled(false);
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
    // one time-out per request: the timer goes on ticking until the next request or answer, and a
    // closed port awaits nothing
    if (observer_ != nullptr && !time_out_reported_ && port_.port_open()) {
        observer_->received(Reception{now(), Verdict::time_out, last_frame_, 0});
        time_out_reported_ = true;
    }
    f_.lbl_desc[7].set_visible(true);
    f_.chk_read_out.set_enabled(false);
    f_.read_out_parameter.set_enabled(false);
    f_.set_parameter.set_enabled(false);
    if (on_time_out) on_time_out();
}

}  // namespace plx::link
