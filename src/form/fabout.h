#pragma once
// Control set of the About window fAbout.

#include "controls/controls.h"

namespace plx {

struct FAboutControls {
    FAboutControls();
    FAboutControls(const FAboutControls&) = delete;
    FAboutControls& operator=(const FAboutControls&) = delete;

    controls::Window fAbout;
    controls::Label Label2;  // "Version:"
    controls::Label Label1;  // the version text
    controls::Label lblVersion;
    controls::Label lbl_Software_Hinweis;
    controls::Label lbl_Orvanto;
    controls::Label Label3;
    controls::Label lbl_Orvanto_Anschrift;
    controls::Label lblCopyright;
    controls::Label lbltxtEmail;
    controls::Label lblemail;
    controls::Label lbltxtHyperlink;
    controls::Label lblHyperlink;
};

}  // namespace plx
