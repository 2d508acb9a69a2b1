#pragma once
// The port box's companions in the link panel: each COM entry's present port beside it in the drop-down
// list, the chosen entry's device under the box (also while the port is open), and "Port zuordnen…",
// which assigns a present port to an entry.

#include <memory>
#include <optional>

#include <QDialog>
#include <QObject>

#include "controls/controls.h"
#include "controls/platform.h"
#include "form/program_state.h"
#include "link/link.h"
#include "link/port_directory.h"
#include "modbus/serial_port.h"
#include "settings/store.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace plx::gui {

class FrmConfigView;

// Item data of the port box's entries: the present port behind the entry, in one line.
inline constexpr int kPortNoteRole = Qt::UserRole + 1;

class PortView : public QObject {
  public:
    // What the port box's companions use of the program.
    struct Parts {
        const ProgramState& state;
        modbus::SerialPort& port;           // the device behind an entry
        link::PortDirectory& ports;         // present ports and the user's assignments
        const std::unique_ptr<settings::Store>& settings;  // where an assignment is kept
        controls::MessageBox& messages;
        controls::ComboBox& entry_box;      // the link panel's port box
        link::Link& link;                   // told when the chosen entry's assignment changed
    };
    PortView(FrmConfigView& view, Parts parts);

    // Asks the system for its ports again and redraws the entries' notes and the device line.
    void refresh();
    // The assignment dialog (modal); true when an assignment was made.
    bool assign_port();

    QLabel* device_label() const { return device_; }
    QPushButton* assign_button() const { return assign_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::string device_of(int n) const;
    std::string note_of(int n) const;
    void show_device();

    Parts parts_;
    QComboBox* box_;
    QLabel* device_;
    QPushButton* assign_;
};

// The dialog of "Port zuordnen…": the present ports in a table and the entry to put one on.
class PortAssignDialog : public QDialog {
  public:
    PortAssignDialog(const link::PortDirectory& ports,
                     const std::function<std::string(int n)>& device_of,
                     int entry,
                     const std::string& language_code,
                     QWidget* parent = nullptr);
    // the chosen port (a typed device path before a listed one), nothing when none is chosen
    std::optional<link::PortInfo> port() const;
    int entry() const;
    QLineEdit* path_field() const { return path_; }

    // A typed path that is no device keeps the dialog open and says why.
    void accept() override;

  private:
    std::vector<link::PortInfo> ports_;
    std::string language_;
    QTableWidget* table_ = nullptr;
    QComboBox* entry_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLabel* path_problem_ = nullptr;
};

}  // namespace plx::gui
