#include "transfer/transactions.h"

#include <algorithm>
#include <array>
#include <span>

#include "device/number_text.h"
#include "device/pacing.h"
#include "device/register_map.h"
#include "device/word_codec.h"

namespace plx::transfer {

namespace {

using namespace device;
using namespace device::regmap;
using std::chrono::milliseconds;

// the window's read-out: the configuration, the input registers read back and the input bits
const std::vector<StepRef>& read_out() {
    static const std::vector<StepRef> chain = read_out_chain(true);
    return chain;
}

std::int16_t to_int16(double v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
}

// the address of the last input register: its confirmation ends the input-register stage
constexpr int kLastInputRegister = input_register_group.start + input_register_group.count - 1;

// a block start the read-out chain can be at; anything else (a poll moved it) must not reach the wire
bool cfg_block_start(int first) {
    return first >= 0 && first < cfg_register_group.count && first % cfg_register_group.read_count == 0;
}

}  // namespace

Transactions::Transactions(FrmConfig& f, ProgramState& s, link::Link& link, const modbus::SerialPort& port)
    : f_(f), s_(s), link_(link), port_(port) {
    f_.Timer6.on_tick = [this] { Timer6_Timer(); };
    f_.Timer7.on_tick = [this] { Timer7_Timer(); };
    f_.chk_read_out.on_click = [this] { chk_read_out_Click(); };
    f_.read_out_parameter.on_click = [this] { func_read_out_parameter(); };
    link_.on_response = [this] { dispatch(); };
    link_.transaction_awaits = [this](const std::string& request) { return awaits(request); };
    link_.first_request = [this](const std::string& slave) {
        s_.current_register = static_cast<std::int16_t>(response_time_register);
        // a later opening (the adapter back, after a stopped Apply, a close and open): unsent edits
        // outlive its read-out unless the engineer let them go; the run's first one reads the unit as it is
        if (read_out_.started && !s_.discard_edits_at_opening) {
            keep_edits();
        } else {
            kept_.reset();
        }
        s_.discard_edits_at_opening = false;
        read_out_ = ReadOutRecord{true, 0, false};
        return read_request({Step::read_response_time, response_time_register}, slave);
    };
}

char Transactions::separator() const {
    return separator_of(s_.decimal_separator);
}

std::optional<std::string> Transactions::sendable() const {
    if (!s_.link_ready) return std::nullopt;
    return link::slave_address_hex(f_.txt_Modbus_adress.text());
}

void Transactions::transmit(const std::string& request) {
    link_.transmit(request);
}

void Transactions::open_status_window() {
    if (show_msg_window) show_msg_window();
}

void Transactions::set_pacing_intervals(int base_ms) {
    const auto block = block_interval(s_.response_time, base_ms);
    f_.Timer1.set_interval(block);
    f_.Timer2.set_interval(block);
    f_.Timer6.set_interval(block);
    f_.Timer7.set_interval(poll_interval(s_.response_time, base_ms));
}

// ---------------------------------------------------------------- read-out and polling

void Transactions::func_read_out_parameter() {
    // reading everything again is what discards unsent edits
    kept_.reset();
    read_out_ = ReadOutRecord{true, 0, false};
    s_.comm_state = read_registers;
    s_.link_ready = true;
    s_.current_register = 0;
    f_.Timer6.set_enabled(true);
    open_status_window();
}

void Transactions::Timer6_Timer() {
    const int first = s_.current_register;
    if (!cfg_block_start(first)) return;
    if (const auto slave = sendable()) transmit(read_request({Step::read_cfg_block, first}, *slave));
}

void Transactions::Timer7_Timer() {
    s_.comm_state = read_registers;
    s_.link_ready = true;
    s_.current_register = static_cast<std::int16_t>(output_register_group.start);
    if (const auto slave = sendable()) transmit(read_request({Step::read_output_registers, 0}, *slave));
}

void Transactions::send_read_cfg_bits() {
    s_.comm_state = read_cfg_bits;
    s_.current_register = 0;
    s_.link_ready = true;
    if (const auto slave = sendable()) transmit(read_request({Step::read_cfg_bits, 0}, *slave));
}

void Transactions::send_read_input_registers() {
    s_.comm_state = read_input_registers;
    if (const auto slave = sendable())
        transmit(read_request({Step::read_input_registers, input_register_group.read_first}, *slave));
}

void Transactions::send_read_input_bits() {
    s_.comm_state = read_input_bits;
    if (const auto slave = sendable()) transmit(read_request({Step::read_input_bits, 0}, *slave));
}

void Transactions::send_write_cfg_bits() {
    s_.link_ready = true;
    s_.comm_state = write_cfg_bits;
    const auto slave = sendable();
    if (!slave) return;
    std::array<int, cfg_bit_group.count> values{};
    for (int j = 0; j < cfg_bit_group.count; ++j) values[static_cast<std::size_t>(j)] = f_.chk_cfg[j].value();
    transmit(write_request({Step::write_cfg_bits, 0}, *slave, std::span<const int>(values)));
}

void Transactions::send_write_input_bits() {
    s_.link_ready = true;
    s_.comm_state = write_input_bits;
    const auto slave = sendable();
    if (!slave) return;
    std::array<int, input_bit_group.count> values{};
    for (int j = 0; j < input_bit_group.count; ++j)
        values[static_cast<std::size_t>(j)] = f_.chk_input[j].value();
    transmit(write_request({Step::write_input_bits, 0}, *slave, std::span<const int>(values)));
}

void Transactions::chk_read_out_Click() {
    if (f_.chk_read_out.value() == 1) {
        f_.Timer7.set_enabled(true);
        f_.read_out_parameter.set_enabled(false);
        f_.set_parameter.set_enabled(false);
        return;
    }
    f_.Timer7.set_enabled(false);
    if (port_.port_open()) {
        f_.read_out_parameter.set_enabled(true);
        check_pending_changes(f_);
    }
}

void Transactions::stop_transfer() {
    // the blocks of an Apply the unit confirmed hold what the fields show: their marks go
    const char sep = separator();
    for (const StepRef& stage : apply_.planned()) {
        if (stage.step != Step::write_cfg_block || !apply_.confirmed(stage)) continue;
        for (int k = stage.first; k < stage.first + cfg_register_group.write_count; ++k) {
            auto& field = f_.txt_data_cfg[k];
            if (const auto v = parse_number(field.text(), sep))
                s_.cfg_register_values[static_cast<std::size_t>(k)] = *v;
            field.set_pending(false);
            if (f_.cmb_cfg.has(k)) f_.cmb_cfg[k].set_pending(false);
        }
        if (stage.first <= response_time_register &&
            response_time_register < stage.first + cfg_register_group.write_count)
            take_response_time_change();
    }
    apply_.clear();
    f_.Timer1.set_enabled(false);
    f_.Timer2.set_enabled(false);
    f_.Timer6.set_enabled(false);
    // the next Apply finds its stages again from the marks
    f_.input_registers_pending = false;
    f_.input_bits_pending = false;
    s_.comm_state = idle;
    // a refused poll would be refused at every tick
    if (f_.chk_read_out.value() == 1) f_.chk_read_out.set_value(0);
    check_pending_changes(f_);
}

bool Transactions::transfer_in_progress() const {
    if (!port_.port_open()) return false;
    if (!s_.link_ready) return f_.Timer5.running();
    const bool paced = (f_.Timer6.running() && cfg_block_start(s_.current_register)) || f_.Timer1.running() ||
                       f_.Timer2.running();
    // without a slave address the timers tick forever and send nothing
    return paced && link::slave_address_hex(f_.txt_Modbus_adress.text()).has_value();
}

// ---------------------------------------------------------------- dispatch

std::optional<StepRef> Transactions::step_of(int comm_state, int current_register) {
    switch (comm_state) {
        case CommState::read_registers:
            if (current_register >= output_register_group.start) return StepRef{Step::read_output_registers, 0};
            return StepRef{Step::read_cfg_block, current_register};
        case CommState::write_cfg_registers:
            return StepRef{Step::write_cfg_block, current_register};
        case CommState::read_cfg_bits:
            return StepRef{Step::read_cfg_bits, 0};
        case CommState::write_cfg_bits:
            return StepRef{Step::write_cfg_bits, 0};
        case CommState::write_input_registers:
            // current_register holds the address (512 .. 539)
            return StepRef{Step::write_input_register, current_register - input_register_group.start};
        case CommState::read_response_time:
            return StepRef{Step::read_response_time, response_time_register};
        case CommState::read_input_registers:
            return StepRef{Step::read_input_registers, input_register_group.read_first};
        case CommState::write_input_bits:
            return StepRef{Step::write_input_bits, 0};
        case CommState::read_input_bits:
            return StepRef{Step::read_input_bits, 0};
        default:
            return std::nullopt;
    }
}

bool Transactions::awaits(const std::string& request_string) const {
    const auto step = step_of(s_.comm_state, s_.current_register);
    // no transaction of a known kind outstanding: the answer only frees the link
    if (!step) return true;
    return is_awaited(request_string, awaited(*step));
}

void Transactions::send_after(StepRef done) {
    const auto next = next_step(read_out(), done);
    if (!next) return;
    switch (next->step) {
        case Step::read_cfg_bits:
            return send_read_cfg_bits();
        case Step::read_input_registers:
            return send_read_input_registers();
        case Step::read_input_bits:
            return send_read_input_bits();
        default:
            // the configuration blocks are sent by Timer6
            return;
    }
}

void Transactions::dispatch() {
    // a poll's answer touches no mark: the scan of every mark would find what it found before
    const bool poll = s_.comm_state == read_registers && s_.current_register >= output_register_group.start;
    switch (s_.comm_state) {
        case read_registers:
            on_read_registers();
            break;
        case write_cfg_registers:
            on_write_cfg_registers();
            break;
        case read_cfg_bits:
            on_read_cfg_bits();
            break;
        case write_cfg_bits:
            on_write_cfg_bits();
            break;
        case write_input_registers:
            on_write_input_registers();
            break;
        case read_response_time:
            on_read_response_time();
            break;
        case read_input_registers:
            on_read_input_registers();
            break;
        case write_input_bits:
            on_write_input_bits();
            break;
        case read_input_bits:
            on_read_input_bits();
            break;
        default:
            s_.link_ready = true;
            break;
    }
    // new references may have cleared the last mark
    if (!poll) check_pending_changes(f_);
    if (after_dispatch) after_dispatch();
}

void Transactions::on_read_registers() {
    if (s_.current_register >= output_register_group.start)
        on_output_registers();
    else
        on_cfg_block();
}

namespace {

// Bit p of byte b goes to box 8·b + p; the reference is what the box holds afterwards, since a
// box's click coupling may change it. `also` runs between setting the value and clearing the mark.
template <typename Also>
void load_bits(std::span<const int> bits,
               controls::ControlArray<controls::CheckBox>& boxes,
               std::span<std::int16_t> references,
               Also also) {
    for (std::size_t b = 0; b < bits.size() / 8; ++b) {
        for (int p = 7; p >= 0; --p) {
            const int j = 8 * static_cast<int>(b) + p;
            const auto ref = static_cast<std::size_t>(j);
            const int bit = bits[ref];
            auto& box = boxes[j];
            references[ref] = static_cast<std::int16_t>(bit);
            box.set_value(bit);
            also(j, bit);
            box.set_pending(false);
            references[ref] = static_cast<std::int16_t>(box.value());
        }
    }
}

}  // namespace

void Transactions::on_cfg_block() {
    constexpr int block = cfg_register_group.read_count;
    const int first = s_.current_register;
    if (first < 0 || first + block > cfg_register_group.count) return;
    const StepRef step{Step::read_cfg_block, first};
    const auto words = answer_words(step, s_.response_text);
    if (!words) return;
    const char sep = separator();
    for (int i = 0; i < block; ++i) {
        const int k = first + i;
        const auto& row = cfg_registers[static_cast<std::size_t>(k)];
        const double v = word_value((*words)[static_cast<std::size_t>(i)], row.scale, row.sign);
        auto& field = f_.txt_data_cfg[k];
        field.set_text(format_number(v, sep));
        s_.cfg_register_values[static_cast<std::size_t>(k)] = parse_number(field.text(), sep).value_or(v);
        if (k == response_time_register) {
            // shown otherwise for pacing (0 as 5): an Apply writes back what the unit holds
            if (s_.cfg_register_values[static_cast<std::size_t>(k)] != v) {
                s_.response_time_held = static_cast<std::int16_t>(v);
            } else {
                s_.response_time_held.reset();
            }
        }
        field.set_pending(false);
        if (row.has_combo && f_.cmb_cfg.has(k)) f_.cmb_cfg[k].set_pending(false);
    }
    read_out_.cfg_registers_read = first + block;
    restore_cfg_registers(first, block);
    const auto next = next_step(read_out(), step);
    if (next && next->step == Step::read_cfg_block) {
        // Timer6 sends the next block
        s_.current_register = static_cast<std::int16_t>(next->first);
        return;
    }
    s_.current_register = 0;
    f_.Timer6.set_enabled(false);
    send_after(step);
    f_.Timer1.set_enabled(false);
}

void Transactions::on_output_registers() {
    constexpr int count = output_register_group.read_count;
    const auto words = answer_words({Step::read_output_registers, 0}, s_.response_text);
    if (!words) return;
    const char sep = separator();
    for (int i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const std::uint16_t word = (*words)[k];
        auto& box = f_.txt_data_out[i];
        auto& shown = shown_outputs_[k];
        if (shown && shown->word == word && shown->separator == sep && box.text() == shown->text) continue;
        const auto& row = output_registers[k];
        shown = ShownWord{word, sep, shown_text(word, row.scale, row.sign, sep)};
        box.set_text(shown->text);
    }
    f_.lbl_temp[0].set_caption(f_.txt_data_out[2].text());
    const std::uint16_t buttons = (*words)[0];
    const int pressed = buttons >= button_word_base ? buttons - button_word_base : 0;
    for (int n = 0; n < button_lamp_count; ++n) {
        const bool lit = (pressed >> (button_lamp_count - 1 - n)) & 1;
        f_.Lbl_button[n].set_back_color(lit ? controls::kRed : controls::kButtonFace);
    }
    // the next polling tick sets it back
    s_.current_register = static_cast<std::int16_t>(s_.current_register + 10);
    if (monitor_updated) monitor_updated();
    if (after_poll) after_poll(*words);
}

void Transactions::on_read_cfg_bits() {
    const StepRef step{Step::read_cfg_bits, 0};
    const auto bits = answer_bits(step, s_.response_text);
    if (!bits) return;
    load_bits(*bits, f_.chk_cfg, s_.cfg_bit_values, [this](int j, int bit) {
        if (!has_bit_combo(j) || !f_.cmb_bit_cfg.has(j)) return;
        auto& list = f_.cmb_bit_cfg[j];
        if (bit < list.list_count()) list.set_list_index(bit);
        list.set_pending(false);
    });
    read_out_.cfg_bits_read = true;
    restore_cfg_bits();
    send_after(step);
}

void Transactions::on_read_response_time() {
    const auto words = answer_words({Step::read_response_time, response_time_register}, s_.response_text);
    if (!words) return;
    s_.comm_state = read_registers;
    s_.response_time = as_signed(words->front());
    s_.link_ready = true;
    s_.current_register = 0;
    set_pacing_intervals(200);
    f_.Timer6.set_enabled(true);
    open_status_window();
}

void Transactions::on_read_input_registers() {
    const StepRef step{Step::read_input_registers, input_register_group.read_first};
    const auto words = answer_words(step, s_.response_text);
    if (!words) return;
    const char sep = separator();
    const int first = input_register_group.read_first;
    for (int k = first; k <= input_register_last_shown; ++k) {
        const auto& row = input_registers[static_cast<std::size_t>(k)];
        const double v = word_value((*words)[static_cast<std::size_t>(k - first)], row.scale, Sign::signed16);
        auto& field = f_.txt_data_in[k];
        field.set_text(format_number(v, sep));
        field.set_pending(false);
        s_.input_register_values[static_cast<std::size_t>(k)] = parse_number(field.text(), sep).value_or(v);
    }
    for (auto& [k, list] : f_.cmb_in) list.set_pending(false);
    s_.response_text.clear();
    restore_input_registers();
    send_after(step);
}

void Transactions::on_read_input_bits() {
    const auto bits = answer_bits({Step::read_input_bits, 0}, s_.response_text);
    if (!bits) return;
    load_bits(*bits, f_.chk_input, s_.input_bit_values, [](int, int) {});
    s_.link_ready = true;
    restore_input_bits();
    kept_.reset();
    if (after_read_out) after_read_out();
}

void Transactions::keep_edits() {
    KeptEdits k;
    for (const auto& [i, field] : f_.txt_data_cfg) {
        if (field.pending()) k.cfg_registers[i] = field.text();
    }
    for (const auto& [j, box] : f_.chk_cfg) {
        if (box.pending()) k.cfg_bits[j] = box.value();
    }
    for (const auto& [i, field] : f_.txt_data_in) {
        if (field.pending()) k.input_registers[i] = field.text();
    }
    for (const auto& [j, box] : f_.chk_input) {
        if (box.pending()) k.input_bits[j] = box.value();
    }
    if (k.cfg_registers.empty() && k.cfg_bits.empty() && k.input_registers.empty() && k.input_bits.empty()) {
        kept_.reset();
    } else {
        kept_ = std::move(k);
    }
}

void Transactions::restore_cfg_registers(int first, int count) {
    if (!kept_) return;
    for (const auto& [k, text] : kept_->cfg_registers) {
        if (k >= first && k < first + count) f_.txt_data_cfg[k].set_text(text);
    }
}

void Transactions::restore_cfg_bits() {
    if (!kept_) return;
    for (const auto& [j, value] : kept_->cfg_bits) f_.chk_cfg[j].set_value(value);
}

void Transactions::restore_input_registers() {
    if (!kept_) return;
    for (const auto& [k, text] : kept_->input_registers) {
        auto& field = f_.txt_data_in[k];
        field.set_text(text);
        // registers the read-out does not load kept their text and mark; their lists lost the mark
        if (!field.pending()) field.set_pending(true);
        if (f_.cmb_in.has(k)) f_.cmb_in[k].set_pending(field.pending());
    }
}

void Transactions::restore_input_bits() {
    if (!kept_) return;
    for (const auto& [j, value] : kept_->input_bits) f_.chk_input[j].set_value(value);
}

// ---------------------------------------------------------------- write confirmations

device::WriteStages Transactions::stages_left() const {
    device::WriteStages stages;
    stages.configuration = true;
    if (f_.input_registers_pending) {
        // Timer2 walks the input registers from the first; which of them are marked it sees there
        stages.input_registers.push_back(0);
    }
    stages.input_bits = f_.input_bits_pending;
    return stages;
}

void Transactions::on_write_cfg_registers() {
    s_.link_ready = true;
    const int old = s_.current_register;
    const StepRef step{Step::write_cfg_block, old};
    apply_.confirm(step);
    const auto next = next_step(write_chain(stages_left()), step);
    s_.current_register = static_cast<std::int16_t>(old + cfg_register_group.write_count);
    // Timer1 sends the next block
    if (next && next->step == Step::write_cfg_block) return;
    for (auto& [k, field] : f_.txt_data_cfg) field.set_pending(false);
    for (auto& [k, list] : f_.cmb_cfg) list.set_pending(false);
    take_response_time_change();
    f_.Timer1.set_enabled(false);
    send_write_cfg_bits();
}

void Transactions::take_response_time_change() {
    if (!f_.response_time_changed) return;
    // the value written: what the unit held, unless the engineer edited the field
    if (s_.response_time_held) {
        s_.response_time = *s_.response_time_held;
    } else if (const auto v = parse_number(f_.txt_data_cfg[response_time_register].text(), separator())) {
        s_.response_time = to_int16(*v);
    }
    set_pacing_intervals(150);
    f_.response_time_changed = false;
}

void Transactions::on_write_cfg_bits() {
    apply_.confirm({Step::write_cfg_bits, 0});
    // bit 31 goes out with every write but, like Apply's scan, is not confirmed here
    for (int j = 0; j < cfg_bit_group.count - 1; ++j) f_.chk_cfg[j].set_pending(false);
    for (auto& [j, list] : f_.cmb_bit_cfg) list.set_pending(false);
    s_.link_ready = true;
    send_write_stage(next_step(write_chain(stages_left()), {Step::write_cfg_bits, 0}));
}

void Transactions::send_write_stage(std::optional<StepRef> stage) {
    if (!stage) return;
    if (stage->step == Step::write_input_register) {
        s_.comm_state = write_input_registers;
        s_.current_register = static_cast<std::int16_t>(input_register_group.start);
        f_.Timer2.set_enabled(true);
    } else if (stage->step == Step::write_input_bits) {
        send_write_input_bits();
    }
}

void Transactions::on_write_input_registers() {
    s_.link_ready = true;
    const int old = s_.current_register;
    s_.current_register = static_cast<std::int16_t>(old + 1);
    // confirmed: its mark goes
    const int k = old - input_register_group.start;
    apply_.confirm({Step::write_input_register, k});
    if (f_.txt_data_in.has(k)) f_.txt_data_in[k].set_pending(false);
    if (old != kLastInputRegister) return;
    const char sep = separator();
    for (auto& [k, field] : f_.txt_data_in) {
        field.set_pending(false);
        if (const auto v = parse_number(field.text(), sep))
            s_.input_register_values[static_cast<std::size_t>(k)] = *v;
    }
    for (auto& [k, list] : f_.cmb_in) list.set_pending(false);
    f_.Timer2.set_enabled(false);
    if (f_.input_bits_pending) send_write_input_bits();
}

void Transactions::on_write_input_bits() {
    apply_.confirm({Step::write_input_bits, 0});
    for (auto& [j, box] : f_.chk_input) box.set_pending(false);
    f_.input_bits_pending = false;
    s_.link_ready = true;
}

}  // namespace plx::transfer
