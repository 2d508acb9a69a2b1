#include "windows/frm_state.h"

#include <algorithm>
#include <cstdint>

namespace plx::windows {

namespace {

using std::chrono::milliseconds;

constexpr int kBarSteps = 10;
// the main window's communication-problem label, shown when the response time-out elapsed
constexpr int kTimeOutLabel = 7;

}  // namespace

milliseconds display_time(int comm_state, int response_time) {
    const std::int32_t unit = 2 * std::max(response_time, 0) + 200;
    switch (comm_state) {
        case idle:
            return milliseconds(0);
        case read_registers:
            return milliseconds(unit * 10);
        case write_cfg_registers:
        case write_input_registers:
            return milliseconds(unit * 35);
        default:
            return milliseconds(unit);
    }
}

FrmState::FrmState(ProgramState& s, FrmConfig& main, controls::TimerEngine& timers)
    : s_(s), main_(main), timers_(timers) {}

FrmState::~FrmState() {
    if (live_) {
        live_->Timer1SW.attach(nullptr);
        live_->Timer2SW.attach(nullptr);
    }
}

void FrmState::release_retired() {
    if (ticking_ == 0) retired_.clear();
}

void FrmState::reset_progress() {
    overtime_ = false;
    live_->frameProgress.set_visible(true);
    step_counter_ = 0;
    live_->ProgressFile.set_max(kBarSteps);
    live_->ProgressFile.set_min(0);
    live_->ProgressFile.set_value(0);
}

void FrmState::load() {
    release_retired();
    live_ = std::make_unique<FrmStateControls>();
    FrmStateControls& w = *live_;
    w.Timer1SW.attach(&timers_);
    w.Timer2SW.attach(&timers_);
    w.Timer1SW.on_tick = [this] { Timer1SW_Timer(); };
    w.Timer2SW.on_tick = [this] { Timer2SW_Timer(); };
    w.Abbruch.on_click = [this] { Abbruch_Click(); };
    if (apply_language) apply_language(w);
    reset_progress();
    for (controls::Timer* t : {&w.Timer1SW, &w.Timer2SW}) {
        t->set_interval(milliseconds(0));
        t->set_enabled(false);
    }
    if (on_load) on_load(w);
}

void FrmState::unload() {
    overtime_ = false;
    if (!live_) return;
    if (on_unload) on_unload();
    live_->Timer1SW.set_enabled(false);
    live_->Timer2SW.set_enabled(false);
    live_->Timer1SW.attach(nullptr);
    live_->Timer2SW.attach(nullptr);
    retired_.push_back(std::move(live_));
    main_.frm_config.set_enabled(true);
}

void FrmState::ShowMsgWindow() {
    main_.frm_config.set_enabled(false);
    ShowMsg();
    if (live_ && on_show) on_show();
}

void FrmState::ShowMsg() {
    if (!live_) load();
    if (s_.comm_state == idle) {
        CloseWindow();
        return;
    }
    const milliseconds shown = display_time(s_.comm_state, s_.response_time);
    // only ever shown: a later stage of the same write keeps the button
    if (s_.comm_state == write_cfg_registers) live_->Abbruch.set_visible(true);
    reset_progress();
    live_->Timer1SW.set_interval(shown);
    live_->Timer2SW.set_interval(milliseconds((shown.count() + kBarSteps / 2) / kBarSteps));
    live_->Timer1SW.set_enabled(true);
    live_->Timer2SW.set_enabled(true);
}

void FrmState::Timer2SW_Timer() {
    ++ticking_;
    const int max = live_->ProgressFile.max();
    step_counter_ = step_counter_ >= max ? max : step_counter_ + 1;
    live_->ProgressFile.set_value(step_counter_);
    if (overtime_) end_or_follow_transfer();
    --ticking_;
}

void FrmState::Timer1SW_Timer() {
    ++ticking_;
    live_->Timer1SW.set_enabled(false);
    end_or_follow_transfer();
    --ticking_;
}

void FrmState::end_or_follow_transfer() {
    if (!transfer_in_progress || !transfer_in_progress()) {
        live_->Timer2SW.set_enabled(false);
        CloseWindow();
        return;
    }
    if (main_.lbl_desc[kTimeOutLabel].visible()) {
        close_on_time_out();
        return;
    }
    // a unit slower than its response time: closing now would cut the chain off under idle
    overtime_ = true;
    step_counter_ = live_->ProgressFile.max();
    live_->ProgressFile.set_value(step_counter_);
}

void FrmState::follow_transfer() {
    if (live_ && overtime_) end_or_follow_transfer();
}

void FrmState::give_up() {
    close_on_time_out();
}

void FrmState::close_on_time_out() {
    // the chain is given up: its pacing timers must not send on under idle after a late answer
    s_.comm_state = idle;
    main_.Timer1.set_enabled(false);
    main_.Timer2.set_enabled(false);
    main_.Timer6.set_enabled(false);
    unload();
}

void FrmState::CloseWindow() {
    if (live_) {
        live_->Timer1SW.set_enabled(false);
        live_->Timer2SW.set_enabled(false);
    }
    const int shown_for = s_.comm_state;
    s_.comm_state = idle;
    unload();
    if (shown_for == write_cfg_bits || shown_for == write_input_registers || shown_for == write_input_bits) {
        if (func_read_out_parameter) func_read_out_parameter();
    }
}

void FrmState::Abbruch_Click() {
    s_.comm_state = idle;
    main_.Timer1.set_enabled(false);
    main_.Timer6.set_enabled(false);
    unload();
    if (cancelled) cancelled();
}

}  // namespace plx::windows
