#include "transfer/write_sequence.h"

#include <algorithm>
#include <array>
#include <ctime>

#include "device/number_text.h"
#include "device/register_map.h"
#include "device/chain.h"
#include "device/word_codec.h"
#include "lang/texts.h"

namespace plx::transfer {

namespace {

using namespace device;
using namespace device::regmap;

// date and time display registers: writing them takes the clock fields along
constexpr int kFirstClockDisplay = 28;
constexpr int kLastClockDisplay = 31;
// the clock fields second .. year written with them
constexpr int kClockFieldsWithDisplay = 6;
// bit 31 is reserved: sent with every bit write, but its mark does not start one
constexpr int kCfgBitsScanned = cfg_bit_group.count - 1;
constexpr int kLastInputRegister = input_register_group.start + input_register_group.count - 1;
constexpr int kBlock = cfg_register_group.write_count;

std::string unsendable_text(
    const std::string& text, EncodeError error, lang::Message field, int k, const std::string& language) {
    const std::string name = lang::message(field, language, {std::to_string(k)});
    if (error == EncodeError::empty) return lang::message(lang::Message::value_missing, language, {name});
    return lang::message(lang::Message::value_not_sendable, language, {text, name});
}

std::string two_digits(int v) {
    const int d = std::clamp(v, 0, 99);
    return {static_cast<char>('0' + d / 10), static_cast<char>('0' + d % 10)};
}

}  // namespace

LocalTime system_local_time() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    // a leap second is no value the unit's clock takes
    return {std::min(t.tm_sec, 59), t.tm_min, t.tm_hour, t.tm_mday, t.tm_mon + 1, t.tm_year + 1900};
}

WriteSequence::WriteSequence(
    FrmConfig& f, ProgramState& s, link::Link& link, Transactions& tx, controls::MessageBox& messages)
    : f_(f), s_(s), link_(link), tx_(tx), messages_(messages) {
    f_.set_parameter.on_click = [this] { set_parameter_Click(); };
    f_.Timer1.on_tick = [this] { Timer1_Timer(); };
    f_.Timer2.on_tick = [this] { Timer2_Timer(); };
}

bool WriteSequence::config_pending() const {
    for (const auto& [k, field] : f_.txt_data_cfg) {
        if (field.pending()) return true;
    }
    for (int j = 0; j < kCfgBitsScanned; ++j) {
        if (f_.chk_cfg[j].pending()) return true;
    }
    return false;
}

bool WriteSequence::clock_display_marked() const {
    for (int k = kFirstClockDisplay; k <= kLastClockDisplay; ++k) {
        if (f_.txt_data_cfg[k].pending()) return true;
    }
    return false;
}

EncodedWord WriteSequence::cfg_word(int k) const {
    if (k == response_time_register && s_.response_time_held) {
        // shown otherwise for pacing: written back as the unit holds it
        return encode_word(std::to_string(*s_.response_time_held),
                           cfg_registers[static_cast<std::size_t>(k)].scale,
                           separator_of(s_.decimal_separator));
    }
    return encode_word(f_.txt_data_cfg[k].text(), cfg_registers[static_cast<std::size_t>(k)].scale,
                       separator_of(s_.decimal_separator));
}

EncodedWord WriteSequence::input_word(int k) const {
    return encode_word(f_.txt_data_in[k].text(), input_registers[static_cast<std::size_t>(k)].scale,
                       separator_of(s_.decimal_separator));
}

std::string WriteSequence::cfg_problem(int k, EncodeError error) const {
    return unsendable_text(f_.txt_data_cfg[k].text(), error, lang::Message::cfg_register_field, k,
                           s_.language_code);
}

std::string WriteSequence::input_problem(int k, EncodeError error) const {
    return unsendable_text(f_.txt_data_in[k].text(), error, lang::Message::input_register_field, k,
                           s_.language_code);
}

std::optional<std::string> WriteSequence::unsendable_field() const {
    // every register of every block goes out once any configuration is pending
    if (config_pending()) {
        for (const auto& [k, field] : f_.txt_data_cfg) {
            const auto w = cfg_word(k);
            if (!w.ok()) return cfg_problem(k, w.error);
        }
    }
    // the clock fields Apply fills from the computer are replaced before they go out
    for (const auto& [k, field] : f_.txt_data_in) {
        if (!field.pending()) continue;
        const auto w = input_word(k);
        if (!w.ok()) return input_problem(k, w.error);
    }
    return std::nullopt;
}

void WriteSequence::set_parameter_Click() {
    // the engineer's own value of register 33 goes out as typed
    if (f_.txt_data_cfg[response_time_register].pending()) s_.response_time_held.reset();
    // a request that is not the user's value must never reach the unit: refuse before marking anything
    if (const auto problem = unsendable_field()) {
        messages_.show_ok(*problem);
        return;
    }
    // the stages come from the marks of this Apply alone, never from one that stopped before
    f_.input_registers_pending = false;
    f_.input_bits_pending = false;
    const bool config = config_pending();
    // a changed date or time display takes the clock along: what the engineer typed as typed, the
    // rest from the computer, never the design texts the fields were left with
    const bool clock_display = clock_display_marked();
    for (int k = 0; k < kClockFieldsWithDisplay; ++k) {
        clock_from_computer_[static_cast<std::size_t>(k)] = clock_display && !f_.txt_data_in[k].pending();
    }
    if (clock_display) f_.input_registers_pending = true;
    for (const auto& [k, field] : f_.txt_data_in) {
        if (field.pending()) f_.input_registers_pending = true;
    }
    for (const auto& [j, box] : f_.chk_input) {
        if (box.pending()) f_.input_bits_pending = true;
    }
    // the stages in the chain's order, each only when something in it is marked
    WriteStages stages;
    stages.configuration = config;
    for (const auto& [k, field] : f_.txt_data_in) {
        if (field.pending() ||
            (k < kClockFieldsWithDisplay && clock_from_computer_[static_cast<std::size_t>(k)]))
            stages.input_registers.push_back(k);
    }
    stages.input_bits = f_.input_bits_pending;
    const std::vector<StepRef> chain = write_chain(stages);
    if (chain.empty()) return;
    // what this Apply sets out to write: its confirmation and its interruption count only that
    tx_.apply_record().begin(chain);
    if (chain.front().step == Step::write_cfg_block) {
        s_.comm_state = write_cfg_registers;
        s_.current_register = 0;
        f_.Timer1.set_enabled(true);
    } else {
        tx_.send_write_stage(chain.front());
    }
    if (tx_.show_msg_window) tx_.show_msg_window();
}

std::optional<std::string> WriteSequence::sendable() const {
    if (!s_.link_ready) return std::nullopt;
    return link::slave_address_hex(f_.txt_Modbus_adress.text());
}

void WriteSequence::stop_with_message(controls::Timer& timer, const std::string& text) {
    timer.set_enabled(false);
    // the status window then closes without a read-out that would overwrite the user's text
    s_.comm_state = idle;
    messages_.show_ok(text);
}

void WriteSequence::Timer1_Timer() {
    // a cancelled or closed sequence must not keep writing the same block
    if (s_.comm_state != write_cfg_registers) {
        f_.Timer1.set_enabled(false);
        return;
    }
    const int first = s_.current_register;
    if (first < 0 || first + kBlock > cfg_register_group.count || first % kBlock != 0) {
        f_.Timer1.set_enabled(false);
        return;
    }
    const auto slave = sendable();
    if (!slave) return;
    std::array<std::string, kBlock> words;
    for (int i = 0; i < kBlock; ++i) {
        const auto w = cfg_word(first + i);
        if (!w.ok()) {
            stop_with_message(f_.Timer1, cfg_problem(first + i, w.error));
            return;
        }
        words[static_cast<std::size_t>(i)] = w.hex;
    }
    link_.transmit(device::write_request({device::Step::write_cfg_block, first}, *slave, words));
}

void WriteSequence::Timer2_Timer() {
    if (s_.comm_state != write_input_registers) {
        f_.Timer2.set_enabled(false);
        return;
    }
    const int k = s_.current_register - input_register_group.start;
    if (k < 0 || k >= input_register_group.count) {
        f_.Timer2.set_enabled(false);
        return;
    }
    const auto slave = sendable();
    if (!slave) return;
    if (k < kClockFieldsWithDisplay) fill_clock_from_computer();
    auto& field = f_.txt_data_in[k];
    if (field.pending()) {
        const auto w = input_word(k);
        if (!w.ok()) {
            stop_with_message(f_.Timer2, input_problem(k, w.error));
            return;
        }
        // the mark stays until the unit confirms the write: a time-out or a refusal leaves it for the
        // next Apply
        link_.transmit(device::write_request({device::Step::write_input_register, k}, *slave,
                                         std::span<const std::string>(&w.hex, 1)));
        return;
    }
    const int passed = s_.current_register;
    s_.current_register = static_cast<std::int16_t>(passed + 1);
    if (passed == kLastInputRegister) finish_input_registers();
}

void WriteSequence::fill_clock_from_computer() {
    if (std::none_of(clock_from_computer_.begin(), clock_from_computer_.end(), [](bool b) { return b; }))
        return;
    const LocalTime now = local_time ? local_time() : system_local_time();
    const std::array<int, kClockFieldsWithDisplay> values{now.second, now.minute, now.hour,
                                                          now.day,    now.month,  now.year % 100};
    for (int k = 0; k < kClockFieldsWithDisplay; ++k) {
        auto& from_computer = clock_from_computer_[static_cast<std::size_t>(k)];
        if (!from_computer) continue;
        from_computer = false;
        auto& field = f_.txt_data_in[k];
        field.set_text(two_digits(values[static_cast<std::size_t>(k)]));
        field.set_pending(true);
    }
}

void WriteSequence::finish_input_registers() {
    f_.Timer2.set_enabled(false);
    const char sep = separator_of(s_.decimal_separator);
    for (auto& [k, field] : f_.txt_data_in) {
        field.set_pending(false);
        if (const auto v = parse_number(field.text(), sep))
            s_.input_register_values[static_cast<std::size_t>(k)] = *v;
    }
    for (auto& [k, list] : f_.cmb_in) list.set_pending(false);
    if (f_.input_bits_pending) tx_.send_write_input_bits();
    check_pending_changes(f_);
}

}  // namespace plx::transfer
