#pragma once
// The About window as a modal Qt dialog: created when shown, destroyed when closed.

#include <QDialog>
#include <memory>

#include "controls/platform.h"
#include "form/fabout.h"
#include "form/program_state.h"
#include "windows/fabout.h"

namespace plx::gui {

class FAboutView : public QDialog {
public:
    FAboutView(const ProgramState& state, controls::Shell& shell, QWidget* owner = nullptr);
    windows::FAbout& model() { return *model_; }

private:
    std::unique_ptr<FAboutControls> controls_;
    std::unique_ptr<windows::FAbout> model_;
};

// Menu "&Über": the About window, modal, owned by the main window; returns when it is closed.
void show_about(const ProgramState& state, controls::Shell& shell, QWidget* owner);

}  // namespace plx::gui
