#include "form/frm_state.h"

namespace plx {

FrmStateControls::FrmStateControls() {
    frmState.name = "frmState";
    frmState.set_caption("Status");
    lblTxt.name = "lblTxt";
    // the label's own design caption is the English one; apply_language sets the German text
    lblTxt.set_caption("Waiting ...");
    frameProgress.name = "frameProgress";
    ProgressFile.name = "ProgressFile";
    ProgressFile.set_max(10);
    Abbruch.name = "Abbruch";
    Abbruch.set_caption("Abbruch");
    Abbruch.set_visible(false);
    Abbruch.set_window(&frmState);
    cmdOK.name = "cmdOK";
    cmdOK.set_caption("Schließen");
    cmdOK.set_window(&frmState);
}

}  // namespace plx
