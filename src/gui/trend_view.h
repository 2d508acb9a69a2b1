#pragma once
// The Monitor tab's recording and trend: "Aufzeichnen…" and the file it writes, the plot of the values
// the engineer ticks (the last 10 minutes at first; the wheel or the span box zooms, "Anhalten" holds
// the picture while the polls go on), failed polls as red bands where the lines break. The logic is
// recording::MonitorRecording and recording::Trend; these widgets only bind and draw.

#include <memory>

#include <QObject>
#include <QWidget>

#include "form/program_state.h"
#include "recording/monitor_recording.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace plx::gui {

class FrmConfigView;

// Draws a recording::Trend with QPainter: a line per ticked value, broken where polls failed.
class TrendPlot : public QWidget {
  public:
    TrendPlot(const recording::Trend& trend, const ProgramState& state, QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    // a wheel step up zooms in
    std::function<void(int steps)> on_zoom;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    const recording::Trend& trend_;
    const ProgramState& state_;
};

class TrendView : public QObject {
  public:
    TrendView(FrmConfigView& view, recording::MonitorRecording::Parts parts);
    ~TrendView() override;

    recording::MonitorRecording& recording() { return *recording_; }
    QPushButton* record_button() const { return record_; }
    QLabel* file_label() const { return file_; }
    TrendPlot* plot() const { return plot_; }
    QListWidget* values() const { return values_; }

  private:
    void refresh();

    const ProgramState& state_;
    std::unique_ptr<recording::MonitorRecording> recording_;
    QPushButton* record_;
    QLabel* file_;
    TrendPlot* plot_;
    QListWidget* values_;
    QComboBox* span_;
    QPushButton* pause_;
    QTimer* tick_;
};

}  // namespace plx::gui
