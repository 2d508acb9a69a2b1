#pragma once
// The window's side of a recording: every poll of the Monitor feeds the trend, and while recording
// also the CSV file. The polls come from two hooks: the values from the dispatch as the Monitor shows
// them, the requests and verdicts from the traffic record, whose diagnosis gives the reason of a poll
// without a valid answer. "Aufzeichnen…" asks for the file once and starts; a second click stops; a
// write error stops with a message and leaves the rows written before in the file.

#include <functional>
#include <optional>
#include <string>

#include "controls/platform.h"
#include "controls/timer.h"
#include "transfer/transactions.h"
#include "form/program_state.h"
#include "modbus/diagnostics.h"
#include "recording/poll_log.h"
#include "recording/sheet.h"
#include "recording/trend.h"
#include "traffic/recorder.h"

namespace plx::recording {

class MonitorRecording : public modbus::Observer {
  public:
    struct Parts {
        transfer::Transactions& transactions;
        traffic::Recorder& traffic;
        const controls::TimerEngine& clock;
        const ProgramState& state;
        controls::FileDialog& files;
        controls::MessageBox& messages;
    };
    // wall: the wall-clock time now (the computer's clock; tests hand in their own)
    MonitorRecording(Parts parts, std::function<QDateTime()> wall);
    ~MonitorRecording() override;
    MonitorRecording(const MonitorRecording&) = delete;
    MonitorRecording& operator=(const MonitorRecording&) = delete;

    // "Aufzeichnen…": not recording, the file dialog and then the file; recording, stop.
    void record_clicked();
    // Starts writing into `path`; false (and a message) when it cannot be opened.
    bool start(const std::string& path);
    void stop();
    bool recording() const { return sheet_.is_open(); }
    const std::string& path() const { return path_; }
    long rows() const { return sheet_.rows(); }

    std::string button_text() const;
    // "Aufzeichnung in /tmp/a.csv: 12 Zeilen"; after a stop, what was recorded; empty before the first.
    std::string status_text() const;

    Trend& trend() { return trend_; }
    const Trend& trend() const { return trend_; }

    // After every poll and every start or stop, for the view.
    std::function<void()> on_changed;

    void frame_sent(const modbus::SentFrame& frame) override;
    void received(const modbus::Reception& reception) override;

  private:
    void polled(std::span<const std::uint16_t> words);
    void take(const Poll& p);
    std::string reason(const traffic::Diagnosis& d) const;
    void changed() const;

    Parts parts_;
    std::function<QDateTime()> wall_;
    PollLog log_;
    Trend trend_;
    Sheet sheet_;
    std::string path_;
    // what came back since the poll awaited went out; nothing: not a byte
    std::optional<traffic::Diagnosis> seen_;
    int asked_address_ = 0;
};

}  // namespace plx::recording
