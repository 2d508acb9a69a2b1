#pragma once
// Control set of the status window frmState (created when shown, destroyed when closed).

#include "controls/controls.h"
#include "controls/timer.h"

namespace plx {

struct FrmStateControls {
    FrmStateControls();
    FrmStateControls(const FrmStateControls&) = delete;
    FrmStateControls& operator=(const FrmStateControls&) = delete;

    controls::Window frmState;
    controls::Label lblTxt;
    controls::Frame frameProgress;
    controls::ProgressBar ProgressFile;
    controls::CommandButton Abbruch;
    controls::CommandButton cmdOK;
    controls::Timer Timer1SW{"Timer1SW"};
    controls::Timer Timer2SW{"Timer2SW"};
};

}  // namespace plx
