#include "transfer/monitor_freshness.h"

#include <algorithm>

#include "lang/line_texts.h"

namespace plx::transfer {

namespace {

using std::chrono::milliseconds;

// the age shown moves on in whole seconds
constexpr milliseconds kCheckEvery{1000};
// the unit's temperature on the drawn unit repeats output register 2
constexpr int kTemperatureLabel = 0;

}  // namespace

MonitorFreshness::MonitorFreshness(FrmConfig& f, const ProgramState& s, controls::TimerEngine& clock)
    : f_(f), s_(s), clock_(clock) {
    check_.on_tick = [this] { check(); };
    check_.attach(&clock_);
    check_.set_interval(kCheckEvery);
}

MonitorFreshness::~MonitorFreshness() {
    check_.attach(nullptr);
}

milliseconds MonitorFreshness::limit() const {
    return 2 * f_.Timer7.interval() + milliseconds(std::max<int>(s_.response_time, 0));
}

void MonitorFreshness::shown() {
    shown_at_ = clock_.now();
    if (stale_) show_fresh();
    check_.set_enabled(true);
}

milliseconds MonitorFreshness::age() const {
    return shown_at_ ? clock_.now() - *shown_at_ : milliseconds(0);
}

std::string MonitorFreshness::note() const {
    if (!stale_) return {};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(age()).count();
    const std::string& language = s_.language_code;
    return lang::line_text(lang::LineText::monitor_stale, language,
                           {lang::line_text(lang::LineText::last_answer_age, language, {std::to_string(seconds)})});
}

void MonitorFreshness::lost() {
    if (shown_at_) show_stale();
}

void MonitorFreshness::check() {
    if (!shown_at_) return;
    if (age() > limit()) show_stale();
}

template <typename F>
void MonitorFreshness::for_each_value(F&& f) {
    for (auto& [i, field] : f_.txt_data_out) f(static_cast<controls::Colored&>(field));
    for (auto& [i, word] : f_.lbl_in_val) f(static_cast<controls::Colored&>(word));
    if (f_.lbl_temp.has(kTemperatureLabel))
        f(static_cast<controls::Colored&>(f_.lbl_temp[kTemperatureLabel]));
}

void MonitorFreshness::show_stale() {
    if (!stale_) {
        tooltips_.clear();
        for_each_value([this](controls::Colored& c) { tooltips_.push_back(c.tooltip()); });
    }
    stale_ = true;
    const std::string note = this->note();
    std::size_t n = 0;
    for_each_value([&](controls::Colored& c) {
        c.set_fore_color(controls::kGrayText);
        const std::string& own = tooltips_[n++];
        c.set_tooltip(own.empty() ? note : own + "\n" + note);
    });
}

void MonitorFreshness::show_fresh() {
    stale_ = false;
    std::size_t n = 0;
    for_each_value([&](controls::Colored& c) {
        c.set_fore_color(controls::kButtonText);
        if (n < tooltips_.size()) c.set_tooltip(tooltips_[n]);
        ++n;
    });
    tooltips_.clear();
}

}  // namespace plx::transfer
