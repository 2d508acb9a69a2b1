#include "program/program.h"

#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QTime>

#include "device/number_text.h"
#include "lang/apply_language.h"
#include "lang/line_texts.h"
#include "lang/texts.h"
#include "regdoc/register_description.h"
#include "settings/registry.h"
#include "traffic/status.h"

namespace plx {

Program::Program(Platform p) : platform(p) {
    form.for_each_timer([&](controls::Timer& t) { t.attach(&platform.timers); });
    engine = std::make_unique<modbus::Engine>(platform.port, platform.timers, form.Timer4, form.Timer5);
    link = std::make_unique<plx::link::Link>(form, state, *engine, platform.messages);
    editor =
        std::make_unique<plx::editor::FrmConfigCode>(form, state, *link, platform.shell, platform.messages);
    const QString application_dir =
        QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QString();
    settings = std::make_unique<settings::QSettingsStore>(settings::QSettingsStore::for_program(application_dir));
    editor->apply_language = [this](int window_kind) { apply_language(window_kind); };
    editor->report = [this](const std::string& message) { platform.messages.show_ok(message); };
    // besides the recorded install folder: the program's own folder (a build tree, a portable copy)
    // and the data folder of a Linux install
    editor->help_folders = [application_dir] {
        if (application_dir.isEmpty()) return std::vector<std::string>{};
        return std::vector<std::string>{
            application_dir.toStdString(),
            QDir::cleanPath(application_dir + QStringLiteral("/../share/plx24cfg")).toStdString()};
    };
    transactions = std::make_unique<plx::transfer::Transactions>(form, state, *link, platform.port);
    write_sequence =
        std::make_unique<plx::transfer::WriteSequence>(form, state, *link, *transactions, platform.messages);
    frm_state = std::make_unique<plx::windows::FrmState>(state, form, platform.timers);
    transactions->show_msg_window = [this] { frm_state->ShowMsgWindow(); };
    frm_state->func_read_out_parameter = [this] { transactions->func_read_out_parameter(); };
    frm_state->transfer_in_progress = [this] { return transactions->transfer_in_progress(); };
    transactions->after_dispatch = [this] { frm_state->follow_transfer(); };
    link->on_time_out = [this] {
        show_line_failure();
        // an Apply waits for no late confirmation: it stops and says how far it got
        if (transactions->apply_record().running()) {
            stop_transfer(lang::line_text(lang::LineText::apply_stopped_time_out, state.language_code));
            return;
        }
        frm_state->follow_transfer();
    };
    link->on_exception = [this](const std::string& request, int code) { stop_on_refusal(request, code); };
    link->on_port_lost = [this](const std::string& message) {
        // no poll can come back now: the Monitor says so before the message waits for the engineer
        monitor_freshness->lost();
        stop_transfer(message);
    };
    frm_state->cancelled = [this] {
        if (transactions->apply_record().running())
            stop_transfer(lang::line_text(lang::LineText::apply_cancelled, state.language_code));
    };
    transactions->after_read_out = [this] { read_out_completed(); };
    traffic = std::make_unique<traffic::Recorder>();
    traffic->framing = [this] { return engine->framing(); };
    engine->observe(traffic.get());
    time_of_day = [] { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString(); };
    monitor_freshness = std::make_unique<plx::transfer::MonitorFreshness>(form, state, platform.timers);
    transactions->monitor_updated = [this] { monitor_freshness->shown(); };
    traffic->on_recovered = [this] {
        // the reason is history once the unit answers again
        if (!failure_text_.empty() && form.status_line.caption() == failure_text_)
            form.status_line.set_caption("");
        form.lbl_desc[7].set_tooltip("");
        failure_text_.clear();
    };
    frm_state->apply_language = [this](FrmStateControls& w) { apply_language(3, &w); };
    // the user's own device for COMn: [Ports] COMn=/dev/... in the user settings
    // the network entry's gateway is [Ports] Network=tcp://...
    const auto key = [](int n) { return n == link::kNetworkEntry ? std::string("Network") : "COM" + std::to_string(n); };
    ports.user_map = [this, key](int n) {
        return settings::CRegistry(std::as_const(*settings)).Werte("Ports", key(n));
    };
    ports.store_user_map = [this, key](int n, const std::string& device) {
        return settings->write(settings::Root::user, QStringLiteral("Ports"), QString::fromStdString(key(n)),
                               QString::fromStdString(device));
    };
    link->port_override = [this](int n) { return ports.assigned(n); };
    bus_scan = std::make_unique<plx::editor::BusScan>(form, state, *engine, platform.messages);
    parameter_files =
        std::make_unique<plx::editor::ParameterFiles>(form, state, platform.files, platform.messages);
    parameter_files->version_text = [this] {
        return settings::CRegistry(std::as_const(*settings)).MachineSetting(settings::kProgramKey, "Version");
    };
    // "Abbrechen" reads everything again: over unsent edits it asks first, as Exit does
    editor->ask_before_read_out();
    unit_record = std::make_unique<plx::editor::UnitRecord>(form, state, platform.files, platform.messages,
                                                            *parameter_files);
    editor->load_parameter_file = [this] { parameter_files->load_parameter_file(); };
    editor->save_parameter_file = [this] {
        if (may_save_parameter_file()) parameter_files->save_parameter_file();
    };
}

void Program::apply_language(int window_kind, FrmStateControls* status_window) {
    lang::apply_language(window_kind, state, &form, status_window, *settings);
}

void Program::show_line_failure() {
    failure_text_ = traffic::reason_text(traffic->line_diagnosis(), state.language_code);
    form.status_line.set_caption(failure_text_);
    form.lbl_desc[7].set_tooltip(failure_text_);
}

void Program::stop_on_refusal(const std::string& request_string, int code) {
    const std::string stages = apply_stages(false);
    // first the chain and the status window, so nothing sends while the message is open
    transactions->stop_transfer();
    frm_state->give_up();
    const traffic::Style style{state.language_code, device::separator_of(state.decimal_separator)};
    form.status_line.set_caption(traffic::refusal_text(request_string, code, style, true));
    platform.messages.show_ok(traffic::refusal_text(request_string, code, style) + stages);
}

void Program::stop_transfer(const std::string& cause) {
    const std::string stages = apply_stages(true);
    transactions->stop_transfer();
    frm_state->give_up();
    platform.messages.show_ok(cause + stages);
}

std::string Program::apply_stages(bool marks_kept) const {
    const auto& record = transactions->apply_record();
    if (!record.running()) return {};
    const std::string& language = state.language_code;
    std::string text = "\n" + record.stages_text(language);
    if (marks_kept) text += "\n" + lang::line_text(lang::LineText::apply_marks_kept, language);
    return text;
}

void Program::read_out_completed() {
    auto& record = transactions->apply_record();
    traffic::Written written;
    if (record.complete()) {
        const auto c = record.counts();
        written = {c.register_blocks, c.cfg_bits, c.input_registers, c.input_bits};
    }
    // the next read-out confirms no write of this Apply again
    record.clear();
    form.status_line.set_caption(traffic::completion_text(written, time_of_day(), state.language_code));
    unit_record->read_out_completed();
}

bool Program::may_save_parameter_file() {
    const std::string& language = state.language_code;
    const auto unread = transactions->read_out_record().unread(language);
    if (!unread) return true;
    return platform.messages.ask(
        lang::message(lang::Message::parameter_file_incomplete_question, language, {*unread}),
        lang::message(lang::Message::save_button, language),
        lang::message(lang::Message::cancel_button, language));
}

Program::~Program() {
    // the record goes first among the members; whatever the engine still reports on the way out
    // (a scan giving the line back) must not reach it
    engine->observe(nullptr);
    form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
}

void Program::start() {
    // start-up values of the module (ProgramState's initialisers) are in place; the input-register
    // count of 28 is used by the window's load step
    state.input_register_count = 28;
    ports.refresh();
    // the window's load step: language, centring, the link boxes (whose selections apply the link
    // settings), the input references
    editor->Form_Load();
    remembered = std::make_unique<editor::RememberedSettings>(form, *settings);
    remembered->restore_link(!startup_entry_fixed && !state.demo);
    // every field says which register it is, in the language the load step has chosen
    regdoc::set_field_tooltips(form, state.language_code);
    // start-up step 3: input mode, settings and port number of the serial control
    link->apply_startup_settings();
    if (state.demo) {
        form.frm_config.set_caption(form.frm_config.caption() +
                                    lang::message(lang::Message::demo_caption_suffix, state.language_code));
    }
}

}  // namespace plx
