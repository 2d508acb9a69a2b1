#pragma once
// The status window frmState: put in front of the main window during a transfer, it fills a bar of
// ten steps over a time estimated from comm_state and response_time and closes by itself. Closing
// after a write starts a full read-out. A transfer still running at the end of that time keeps the
// window (bar full) until it has finished or the unit is reported silent.

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/frm_state.h"
#include "form/program_state.h"

namespace plx::windows {

// How long the window stays for a transfer of this kind. Held in 32 bits so that large response
// times still close the window; a negative response time counts as 0.
std::chrono::milliseconds display_time(int comm_state, int response_time);

class FrmState {
  public:
    FrmState(ProgramState& s, FrmConfig& main, controls::TimerEngine& timers);
    ~FrmState();
    FrmState(const FrmState&) = delete;
    FrmState& operator=(const FrmState&) = delete;

    // The main window's ShowMsgWindow: disable the main window, ShowMsg, show modeless.
    void ShowMsgWindow();
    void ShowMsg();
    void CloseWindow();
    void Abbruch_Click();
    // The transfer answered or timed out: past its display time the window ends as soon as it may.
    void follow_transfer();
    // The transfer was given up (the unit refused a request): the window goes at once, no read-out
    // follows, and the chain's timers stop.
    void give_up();

    bool loaded() const { return live_ != nullptr; }
    // The window's controls while it is loaded, otherwise null.
    FrmStateControls* controls() { return live_.get(); }
    int step_counter() const { return step_counter_; }
    // The display time has passed and the window waits for the transfer to finish.
    bool overtime() const { return overtime_; }

    // Language texts of this window (the load step's first action).
    std::function<void(FrmStateControls&)> apply_language;
    // The main window's read-out, started when a write display ends.
    std::function<void()> func_read_out_parameter;
    // Is the transfer still under way (a request outstanding, a pacing timer about to send)? Set by
    // the program from the device layer; unset, the display ends at its time whatever the transfer does.
    std::function<bool()> transfer_in_progress;
    // The engineer pressed "Abbruch": the transfer has stopped where it was.
    std::function<void()> cancelled;
    // View hooks: a window was created (bind to it), is to be shown, is going away (unbind).
    std::function<void(FrmStateControls&)> on_load;
    std::function<void()> on_show;
    std::function<void()> on_unload;

  private:
    void load();
    void unload();
    void Timer1SW_Timer();
    void Timer2SW_Timer();
    void reset_progress();
    void end_or_follow_transfer();
    void close_on_time_out();
    void release_retired();

    ProgramState& s_;
    FrmConfig& main_;
    controls::TimerEngine& timers_;
    std::unique_ptr<FrmStateControls> live_;
    // unloaded windows wait here: the tick that closes a window runs inside that window's timer
    std::vector<std::unique_ptr<FrmStateControls>> retired_;
    int ticking_ = 0;
    int step_counter_ = 0;
    bool overtime_ = false;
};

}  // namespace plx::windows
