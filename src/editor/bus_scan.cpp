#include "editor/bus_scan.h"

#include <algorithm>

#include "lang/texts.h"

namespace plx::editor {

namespace {

using lang::Message;

constexpr int kClose = 0;
constexpr int kOpen = 1;
constexpr int kAscii = 0;
constexpr int kRtu = 1;

std::string hex2(int code) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(code >> 4) & 0xF], kDigits[code & 0xF]};
}

}  // namespace

BusScan::BusScan(FrmConfig& f, ProgramState& s, modbus::Engine& engine, controls::MessageBox& messages)
    : f_(f), s_(s), engine_(engine), messages_(messages), scanner_(engine) {
    scanner_.on_progress = [this](const bus::ScanProgress& p) {
        done_ = p.done;
        total_ = p.total;
        line_ = p.line;
        status_ =
            lang::message(Message::bus_scan_probing, s_.language_code,
                          {std::to_string(p.address), modbus::describe(p.line), std::to_string(units_.size())});
        changed();
    };
    scanner_.on_found = [this](const bus::FoundUnit& u) {
        units_.push_back(u);
        changed();
    };
}

BusScan::~BusScan() {
    scanner_.cancel();
    engine_.close();
}

BusScan::Choice BusScan::preset() const {
    Choice c;
    c.bauds = {std::stoi(s_.baud_text)};
    c.parities = {s_.parity_text.empty() ? 'E' : s_.parity_text.front()};
    c.framings = {modbus::framing_of_mode(s_.modbus_mode).value_or(modbus::Framing::ascii)};
    return c;
}

std::string BusScan::port_text() const {
    return lang::message(Message::bus_scan_port, s_.language_code,
                         {f_.Combo_Port[0].current_text(), engine_.port().device_name(engine_.port().comm_port())});
}

bool BusScan::start(const Choice& choice) {
    if (running()) return false;
    units_.clear();
    done_ = 0;
    total_ = 0;
    if (choice.bauds.empty() || choice.parities.empty() || choice.framings.empty() || choice.first < 1 ||
        choice.last > 247 || choice.first > choice.last) {
        status_ = lang::message(Message::bus_scan_nothing_chosen, s_.language_code);
        changed();
        return false;
    }
    // the window lets go of the line for the scan; its read, write and poll controls follow
    if (f_.Combo_Port[6].list_index() != kClose) f_.Combo_Port[6].set_list_index(kClose);
    bus::ScanPlan plan;
    for (modbus::Framing fr : choice.framings) {
        for (int b : choice.bauds) {
            for (char p : choice.parities) plan.lines.push_back({b, p, fr});
        }
    }
    for (int a = choice.first; a <= choice.last; ++a) plan.addresses.push_back(a);
    total_ = plan.lines.size() * plan.addresses.size();
    // from the first probe on the status names the setting on the line, not the link panel's
    line_ = plan.lines.front();
    status_ = lang::message(Message::bus_scan_probing, s_.language_code,
                            {std::to_string(choice.first), modbus::describe(line_), "0"});
    scanner_.start(plan, [this](const bus::ScanOutcome& o) { finished(o); });
    // an opening that failed has ended the scan already
    if (!scanner_.running()) return false;
    changed();
    return true;
}

void BusScan::cancel() {
    scanner_.cancel();
}

void BusScan::finished(const bus::ScanOutcome& o) {
    engine_.close();
    const std::string& code = s_.language_code;
    if (o.port_error) {
        const std::string device =
            o.port_error->device.empty() ? engine_.port().device_name(engine_.port().comm_port()) : o.port_error->device;
        status_ = lang::message(Message::bus_scan_port_failed, code, {device, o.port_error->reason});
    } else if (o.cancelled) {
        status_ = lang::message(Message::bus_scan_cancelled, code, {std::to_string(units_.size())});
    } else if (units_.empty()) {
        status_ = lang::message(Message::bus_scan_none, code);
    } else {
        status_ = lang::message(Message::bus_scan_found, code, {std::to_string(units_.size())});
    }
    done_ = total_;
    changed();
}

std::vector<std::string> BusScan::row(std::size_t n) const {
    const bus::FoundUnit& u = units_.at(n);
    const std::string& code = s_.language_code;
    std::string variant;
    if (u.exception_code != 0) {
        variant = lang::message(Message::bus_scan_refused, code,
                                {hex2(u.exception_code), lang::exception_meaning(u.exception_code, code)});
    } else {
        variant = lang::message(Message::bus_scan_buttons, code, {std::to_string(u.buttons)});
        if (u.slow) variant += ", " + lang::message(Message::bus_scan_slow, code);
    }
    const bool known = u.exception_code == 0;
    return {std::to_string(u.address), modbus::describe(u.line), known ? std::to_string(u.device_coding) : "",
            known ? std::to_string(u.firmware) : "", variant};
}

bool BusScan::open_unit(std::size_t n) {
    if (n >= units_.size() || running()) return false;
    const bus::FoundUnit u = units_[n];
    // opening reads the unit out into every field
    if (has_pending_changes(f_) &&
        !messages_.ask(
            lang::message(Message::bus_scan_discard_question, s_.language_code, {std::to_string(u.address)}),
            lang::message(Message::discard_button, s_.language_code),
            lang::message(Message::cancel_button, s_.language_code))) {
        return false;
    }
    // the engineer let the edits go: the opening's read-out replaces them
    s_.discard_edits_at_opening = true;
    engine_.close();
    if (f_.Combo_Port[6].list_index() != kClose) f_.Combo_Port[6].set_list_index(kClose);
    f_.txt_Modbus_adress.set_text(std::to_string(u.address));
    const auto baud = std::find(std::begin(modbus::kBauds), std::end(modbus::kBauds), u.line.baud);
    f_.Combo_Port[1].set_list_index(static_cast<int>(baud - std::begin(modbus::kBauds)));
    f_.cbParity.set_list_index(u.line.parity == 'E' ? 0 : u.line.parity == 'O' ? 1 : 2);
    f_.Combo_Port[5].set_list_index(u.line.framing == modbus::Framing::rtu ? kRtu : kAscii);
    f_.Combo_Port[6].set_list_index(kOpen);
    return true;
}

}  // namespace plx::editor
