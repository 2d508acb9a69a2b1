#pragma once
// "Bus durchsuchen…" in the file menu and its dialog over editor::BusScan: the line settings and
// addresses to try, a progress bar and a cancel button while the scan runs on the window's timers,
// the units found; "Öffnen" (or a double click) puts the chosen unit on the link panel and opens it.

#include <memory>

#include <QDialog>
#include <QObject>

#include "editor/bus_scan.h"
#include "form/program_state.h"

class QAction;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace plx::gui {

class FrmConfigView;

class ScanDialog : public QDialog {
  public:
    ScanDialog(editor::BusScan& scan, const std::string& language, QWidget* parent = nullptr);
    ~ScanDialog() override;

    // Brings the dialog up to date with the scan (it calls this itself on every change).
    void refresh();
    QTableWidget* table() const { return table_; }

  protected:
    void reject() override;

  private:
    editor::BusScan::Choice choice() const;
    void open_chosen();

    editor::BusScan& scan_;
    std::vector<std::pair<QCheckBox*, int>> bauds_;
    std::vector<std::pair<QCheckBox*, char>> parities_;
    std::vector<std::pair<QCheckBox*, modbus::Framing>> modes_;
    QSpinBox* first_ = nullptr;
    QSpinBox* last_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* open_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* table_ = nullptr;
};

class ScanView : public QObject {
  public:
    ScanView(FrmConfigView& view, editor::BusScan& scan, const ProgramState& state);
    ~ScanView() override;

    QAction* action() const { return action_; }
    const editor::BusScan& scan() const { return scan_; }
    // Shows the dialog (window-modal, the event loop keeps running), or raises the open one.
    ScanDialog* show_dialog();

  private:
    FrmConfigView& view_;
    editor::BusScan& scan_;
    const ProgramState& state_;
    QAction* action_ = nullptr;
    ScanDialog* dialog_ = nullptr;
};

}  // namespace plx::gui
