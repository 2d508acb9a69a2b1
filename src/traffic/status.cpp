#include "traffic/status.h"

#include <vector>

#include "lang/line_texts.h"
#include "lang/texts.h"
#include "modbus/gateway.h"

namespace plx::traffic {

namespace {

using lang::LineText;

std::string say(LineText id, const std::string& language, const std::vector<std::string>& args = {}) {
    return lang::line_text(id, language, args);
}

std::string n(std::uint64_t v) {
    return std::to_string(v);
}

}  // namespace

std::string counters_text(const Counters& c, const std::string& language_code) {
    return say(LineText::counters, language_code,
               {n(c.requests), n(c.valid_answers), n(c.time_outs), n(c.check_sum_errors), n(c.exceptions)});
}

std::string link_state_text(const LinkFacts& f, const std::string& language_code) {
    // a gateway is the port box's network entry; its line settings are the gateway's own
    if (modbus::names_gateway(f.device)) {
        const std::string entry = lang::message(lang::Message::network_entry, language_code);
        return say(f.open ? LineText::port_open_gateway : LineText::port_closed, language_code, {entry, f.device});
    }
    const std::string entry = "COM" + std::to_string(f.port_number);
    if (f.scanning) return say(LineText::port_scanning, language_code, {entry, f.device, f.settings, f.mode});
    if (!f.open)
        return say(f.gone ? LineText::port_gone : LineText::port_closed, language_code, {entry, f.device});
    return say(LineText::port_open, language_code, {entry, f.device, f.settings, f.mode});
}

std::string polling_text(const LinkFacts& f, const std::string& language_code) {
    if (!f.open || !f.polling) return {};
    return say(LineText::polling_every, language_code,
               {n(static_cast<std::uint64_t>(f.poll_interval.count()))});
}

std::string answer_age_text(std::optional<std::chrono::milliseconds> last_valid,
                            std::chrono::milliseconds now,
                            const std::string& language_code) {
    if (!last_valid) return say(LineText::no_valid_answer_yet, language_code);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - *last_valid).count();
    return say(LineText::last_answer_age, language_code, {std::to_string(seconds < 0 ? 0 : seconds)});
}

std::string reason_text(const Diagnosis& d, const std::string& language_code) {
    const std::string asked = std::to_string(d.asked_address);
    switch (d.reason) {
        case Reason::none:
            return {};
        case Reason::exception: {
            const std::string advice = exception_advice(d.exception_code, language_code);
            return say(LineText::reason_exception, language_code,
                       {exception_text(d.exception_code, language_code)}) +
                   (advice.empty() ? "" : " " + advice);
        }
        case Reason::check_sums:
            return say(LineText::reason_check_sums, language_code, {n(d.count)});
        case Reason::other_address:
            return say(LineText::reason_other_address, language_code,
                       {std::to_string(d.other_address), asked});
        case Reason::short_answer:
            return say(LineText::reason_short_answer, language_code, {n(d.count), n(d.awaited)});
        case Reason::misfit:
            return say(LineText::reason_misfit, language_code);
        case Reason::other_transaction:
            return say(LineText::reason_other_transaction, language_code, {n(d.count)});
        case Reason::bytes_no_frame:
            return say(LineText::reason_bytes_no_frame, language_code, {n(d.count)});
        case Reason::echo_only:
            return say(LineText::reason_echo_only, language_code, {asked});
        case Reason::no_byte:
            return say(LineText::reason_no_byte, language_code, {asked});
    }
    return {};
}

std::string refusal_text(const std::string& request_string,
                         int exception_code,
                         const Style& style,
                         bool short_form) {
    const auto request = modbus::adu_of_request(request_string);
    const std::string what = request ? request_title(*request, style) : request_string;
    const std::string advice = exception_advice(exception_code, style.language_code);
    return say(short_form ? LineText::refused_short : LineText::refused, style.language_code,
               {what, exception_text(exception_code, style.language_code)}) +
           (advice.empty() ? "" : "\n" + advice);
}

std::string completion_text(const Written& w,
                            const std::string& time_of_day,
                            const std::string& language_code) {
    if (!w.any()) return say(LineText::read_out_completed, language_code, {time_of_day});
    std::vector<std::string> parts;
    if (w.register_blocks == 1) parts.push_back(say(LineText::register_block, language_code));
    if (w.register_blocks > 1)
        parts.push_back(say(LineText::register_blocks, language_code, {n(w.register_blocks)}));
    if (w.cfg_bits > 0) parts.push_back(say(LineText::cfg_bits_written, language_code, {n(w.cfg_bits)}));
    if (w.input_registers == 1) parts.push_back(say(LineText::input_register_written, language_code));
    if (w.input_registers > 1) {
        parts.push_back(say(LineText::input_registers_written, language_code, {n(w.input_registers)}));
    }
    if (w.input_bits > 0)
        parts.push_back(say(LineText::input_bits_written, language_code, {n(w.input_bits)}));
    std::string what;
    for (const std::string& p : parts) what += (what.empty() ? "" : ", ") + p;
    return say(LineText::written_and_read_back, language_code, {what, time_of_day});
}

}  // namespace plx::traffic
