#pragma once
// The port box's network entry ("Netzwerk…" after COM40): choosing it opens a small dialog for the
// gateway (kind, host, port), kept in the user settings like a port assignment and used at once.

#include <functional>

#include <QDialog>
#include <QObject>

#include "controls/platform.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/link.h"
#include "link/port_directory.h"
#include "modbus/gateway.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace plx::gui {

class FrmConfigView;

class NetworkDialog : public QDialog {
  public:
    NetworkDialog(const std::optional<modbus::Gateway>& current, const std::string& language, QWidget* parent);
    // the gateway entered, nothing while the entries name none
    std::optional<modbus::Gateway> gateway() const;

  private:
    void check();

    std::string language_;
    QComboBox* kind_ = nullptr;
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QLabel* problem_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class NetworkView : public QObject {
  public:
    NetworkView(FrmConfigView& view,
                FrmConfig& form,
                const ProgramState& state,
                link::PortDirectory& ports,
                link::Link& link,
                controls::MessageBox& messages);

    // The dialog (modal); true when a gateway was set.
    bool edit_gateway();
    // after a gateway was set: the port box's line shows it
    std::function<void()> on_gateway_set;

  private:
    FrmConfigView& view_;
    FrmConfig& form_;
    const ProgramState& state_;
    link::PortDirectory& ports_;
    link::Link& link_;
    controls::MessageBox& messages_;
};

}  // namespace plx::gui
