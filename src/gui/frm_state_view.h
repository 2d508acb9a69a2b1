#pragma once
// The status window frmState as a modeless Qt dialog bound to its control models. The model opens
// and closes it; the dialog only draws and forwards the cancel click.

#include <QDialog>

#include "form/frm_state.h"
#include "windows/frm_state.h"

class QCloseEvent;

namespace plx::gui {

class FrmStateView : public QDialog {
  public:
    // Not a child widget of the main window: the main window is disabled while this one is open,
    // and a disabled parent would disable the cancel button with it.
    FrmStateView(FrmStateControls& c, QWidget* owner);

  protected:
    // the window closes by itself when its time is up; the user cannot dismiss it early
    void closeEvent(QCloseEvent* e) override;
    void reject() override {}
};

// Gives the status window model its view: created on load, shown centred in front of the owner,
// destroyed on unload.
void attach_status_view(windows::FrmState& model, QWidget* owner);

}  // namespace plx::gui
