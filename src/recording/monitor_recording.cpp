#include "recording/monitor_recording.h"

#include "device/number_text.h"
#include "device/requests.h"
#include "lang/recording_texts.h"
#include "modbus/wandeln.h"
#include "traffic/status.h"

namespace plx::recording {

namespace {

using lang::RecordingText;

// A poll is the output-register read the one request builder makes for its slave.
bool is_poll(const std::string& request_string) {
    return request_string.size() >= 2 &&
           request_string == device::requests::read_output_registers(request_string.substr(0, 2));
}

}  // namespace

MonitorRecording::MonitorRecording(Parts parts, std::function<QDateTime()> wall)
    : parts_(parts), wall_(std::move(wall)), log_(anchored_wall_clock(parts.clock.now(), wall_())) {
    log_.on_poll = [this](const Poll& p) { take(p); };
    parts_.transactions.after_poll = [this](std::span<const std::uint16_t> words) { polled(words); };
    parts_.traffic.add_follower(this);
}

MonitorRecording::~MonitorRecording() {
    parts_.traffic.remove_follower(this);
    parts_.transactions.after_poll = nullptr;
}

void MonitorRecording::frame_sent(const modbus::SentFrame& frame) {
    // whatever goes out next, the link no longer takes an answer to the poll before it
    if (log_.awaiting()) {
        log_.failed(frame.at,
                    reason(seen_.value_or(traffic::Diagnosis{traffic::Reason::no_byte, 0, asked_address_})));
    }
    if (!is_poll(frame.request_string)) return;
    seen_.reset();
    asked_address_ = modbus::hex_pair_to_byte(frame.request_string);
    log_.sent(frame.at);
}

void MonitorRecording::received(const modbus::Reception& r) {
    if (!log_.awaiting()) return;
    switch (r.verdict) {
        case modbus::Verdict::ok:
            // the values come with the dispatch
            break;
        case modbus::Verdict::exception:
        case modbus::Verdict::time_out:
            log_.failed(r.at, reason(parts_.traffic.diagnosis()));
            break;
        default:
            seen_ = parts_.traffic.diagnosis();
            break;
    }
}

void MonitorRecording::polled(std::span<const std::uint16_t> words) {
    Values v;
    std::copy_n(words.begin(), std::min(words.size(), v.outputs.size()), v.outputs.begin());
    for (const Column& c : columns()) {
        if (c.source == Source::input_register)
            v.inputs[static_cast<std::size_t>(c.index)] =
                parts_.state.input_register_values[static_cast<std::size_t>(c.index)];
    }
    log_.answered(parts_.clock.now(), v);
}

std::string MonitorRecording::reason(const traffic::Diagnosis& d) const {
    // the first line says what was seen; the second, what to do, belongs to the status line
    const std::string text = traffic::reason_text(d, parts_.state.language_code);
    return text.substr(0, text.find('\n'));
}

void MonitorRecording::take(const Poll& p) {
    trend_.add(p);
    std::optional<std::string> error;
    if (recording()) error = sheet_.add(row(p, sheet_.dialect()));
    // the view shows the recording stopped while the message is open
    changed();
    if (error) {
        parts_.messages.show_ok(lang::recording_text(RecordingText::write_failed, parts_.state.language_code,
                                                     {path_, *error, std::to_string(sheet_.rows())}));
    }
}

void MonitorRecording::record_clicked() {
    if (recording()) {
        stop();
        return;
    }
    const std::string& code = parts_.state.language_code;
    const auto path = parts_.files.save_file(lang::recording_text(RecordingText::dialog_title, code),
                                             lang::recording_text(RecordingText::dialog_filter, code));
    if (path && !path->empty()) start(*path);
}

bool MonitorRecording::start(const std::string& path) {
    const std::string& code = parts_.state.language_code;
    const Dialect d = dialect_for(code, device::separator_of(parts_.state.decimal_separator));
    if (const auto error = sheet_.open(path, header(code, wall_()), d)) {
        parts_.messages.show_ok(lang::recording_text(RecordingText::not_opened, code, {path, *error}));
        changed();
        return false;
    }
    path_ = path;
    changed();
    return true;
}

void MonitorRecording::stop() {
    sheet_.close();
    changed();
}

std::string MonitorRecording::button_text() const {
    return lang::recording_text(recording() ? RecordingText::stop : RecordingText::record,
                                parts_.state.language_code);
}

std::string MonitorRecording::status_text() const {
    if (path_.empty()) return {};
    return lang::recording_text(recording() ? RecordingText::recording_to : RecordingText::recorded_to,
                                parts_.state.language_code, {path_, std::to_string(sheet_.rows())});
}

void MonitorRecording::changed() const {
    if (on_changed) on_changed();
}

}  // namespace plx::recording
