#include "form/fabout.h"

namespace plx {

FAboutControls::FAboutControls() {
    fAbout.name = "fAbout";
    for (controls::Label* l : {&Label2, &Label1, &lblVersion, &lbl_Software_Hinweis, &lbl_Orvanto, &Label3,
                               &lbl_Orvanto_Anschrift, &lblCopyright, &lbltxtEmail, &lblemail, &lbltxtHyperlink,
                               &lblHyperlink}) {
        l->set_window(&fAbout);
    }
}

}  // namespace plx
