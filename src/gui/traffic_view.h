#pragma once
// The line in the window: the traffic window ("Kommunikation") over the recorder's ring, opened from
// the menu, and the status bar's permanent fields (link state, counters, age of the last valid
// answer, poll period). Widgets only bind; the words come from traffic/.

#include <functional>
#include <memory>
#include <optional>

#include <QAbstractTableModel>
#include <QObject>
#include <QWidget>

#include "controls/controls.h"
#include "controls/platform.h"
#include "controls/timer.h"
#include "editor/remembered.h"
#include "form/program_state.h"
#include "link/link.h"
#include "modbus/line_settings.h"
#include "modbus/serial_port.h"
#include "traffic/recorder.h"
#include "traffic/table.h"
#include "transfer/monitor_freshness.h"

class QAction;
class QLabel;
class QPushButton;
class QTableView;
class QTimer;

namespace plx::gui {

class FrmConfigView;

// What the traffic window and the status bar's fields use of the program.
struct LineParts {
    const ProgramState& state;
    traffic::Recorder& traffic;
    controls::TimerEngine& clock;
    controls::FileDialog& files;
    controls::MessageBox& messages;
    modbus::SerialPort& port;
    const link::Link& link;  // the device it lost, if any
    const std::unique_ptr<editor::RememberedSettings>& remembered;
    const transfer::MonitorFreshness& monitor;
    const controls::CheckBox& polling_box;  // "Ausgaberegister lesen"
    const controls::Timer& poll_timer;
};

// The recorder's rows as a Qt table; words are made only for the cells a view draws.
class TrafficModel : public QAbstractTableModel {
  public:
    TrafficModel(const traffic::Recorder& recorder, traffic::Style style, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Brings the rows up to the recorder's, announcing what went and what came.
    // brings the view up to the record; the number of rows dropped at the top
    std::size_t sync();
    traffic::Table& table() { return table_; }

  private:
    traffic::Table table_;
};

// The traffic window: non-modal, its own top-level window (the main window is disabled during a
// transfer, and a child window would be disabled with it). It listens to the recorder only while shown.
class TrafficWindow : public QWidget, public traffic::RowListener {
  public:
    explicit TrafficWindow(LineParts parts);
    ~TrafficWindow() override;

    void rows_changed() override;

    TrafficModel* model() const { return model_; }
    QTableView* view() const { return view_; }
    // The selected rows as tab-separated lines, oldest first.
    QString selected_text() const;
    void copy_selected() const;
    // The save dialog, then every row kept into the file chosen, complete or not at all.
    void save();
    void set_paused(bool paused);

    // Its place as the next start restores it: the top-left corner of its frame, the size of its inside.
    editor::WindowRect place() const;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void sync_now();
    void update_count();

    LineParts parts_;
    TrafficModel* model_;
    QTableView* view_;
    QPushButton* pause_;
    QLabel* count_;
    QLabel* paused_note_;
    bool sync_due_ = false;
    bool listening_ = false;
};

// The menu entry and shortcut of the traffic window, and the permanent fields of the status bar.
class LineView : public QObject, public modbus::Observer {
  public:
    LineView(FrmConfigView& view, LineParts parts);
    ~LineView() override;

    // Opens the traffic window (created on first use) or brings it to the front.
    void show_traffic();
    TrafficWindow* traffic_window() const { return window_.get(); }
    QAction* traffic_action() const { return action_; }
    // Writes the link state, counters, answer age and poll period into the status bar now.
    void refresh();
    // Every frame and verdict: the counters follow in the same turn as the status line.
    void frame_sent(const modbus::SentFrame& frame) override;
    void received(const modbus::Reception& reception) override;

    // The line setting a bus scan has the port at while it runs; unset or nothing: the link panel's.
    std::function<std::optional<modbus::LineSettings>()> scanning_line;
    // Where the traffic window lies now, for the next start; nothing while it was never opened.
    std::optional<editor::WindowRect> traffic_place() const;

    QLabel* link_label() const { return link_; }
    QLabel* counters_label() const { return counters_; }
    QLabel* age_label() const { return age_; }
    QLabel* polling_label() const { return polling_; }

  private:
    // The first opening: where it lay last time, else beside the main window; on the screen either way.
    void place_window();

    FrmConfigView& view_;
    LineParts parts_;
    QAction* action_;
    std::unique_ptr<TrafficWindow> window_;
    QLabel* link_;
    QLabel* counters_;
    QLabel* age_;
    QLabel* polling_;
    QTimer* tick_;
    bool refresh_due_ = false;
    void refresh_soon();
};

}  // namespace plx::gui
