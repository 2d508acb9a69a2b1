#pragma once
// The Monitor's values once they are no longer fresh: older than two poll periods and the unit's
// response time, they are greyed and their tooltip gives the age of the last valid answer, until a
// poll is answered again. An old value must never look like a live one.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/program_state.h"

namespace plx::transfer {

class MonitorFreshness {
  public:
    MonitorFreshness(FrmConfig& f, const ProgramState& s, controls::TimerEngine& clock);
    ~MonitorFreshness();
    MonitorFreshness(const MonitorFreshness&) = delete;
    MonitorFreshness& operator=(const MonitorFreshness&) = delete;

    // A poll's answer is on the Monitor now.
    void shown();
    bool stale() const { return stale_; }
    // "Monitorwerte veraltet: letzte gültige Antwort vor 12 s" while stale, empty otherwise.
    std::string note() const;
    // No poll can refresh the values any more (the port's device went away): grey at once.
    void lost();
    // how long ago the Monitor's values were read
    std::chrono::milliseconds age() const;
    // The longest a shown value may be old: two poll periods and the unit's response time.
    std::chrono::milliseconds limit() const;

  private:
    void check();
    void show_stale();
    void show_fresh();

    FrmConfig& f_;
    const ProgramState& s_;
    controls::TimerEngine& clock_;
    controls::Timer check_{"monitor freshness"};
    std::optional<std::chrono::milliseconds> shown_at_;
    bool stale_ = false;
    // the fields' own tooltips, while the age stands beside them
    std::vector<std::string> tooltips_;
    // each Monitor value's control: the fields, the words of fan stage and occupancy, the drawn unit's
    // temperature
    template <typename F>
    void for_each_value(F&& f);
};

}  // namespace plx::transfer
