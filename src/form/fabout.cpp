#include "form/fabout.h"

namespace plx {

FAboutControls::FAboutControls() {
    fAbout.name = "fAbout";
    Label2.name = "Label2";
    Label1.name = "Label1";
    lblVersion.name = "lblVersion";
    lbl_Software_Hinweis.name = "lbl_Software_Hinweis";
    lbl_Orvanto.name = "lbl_Orvanto";
    Label3.name = "Label3";
    lbl_Orvanto_Anschrift.name = "lbl_Orvanto_Anschrift";
    lblCopyright.name = "lblCopyright";
    lbltxtEmail.name = "lbltxtEmail";
    lblemail.name = "lblemail";
    lbltxtHyperlink.name = "lbltxtHyperlink";
    lblHyperlink.name = "lblHyperlink";
    for (controls::Label* l : {&Label2, &Label1, &lblVersion, &lbl_Software_Hinweis, &lbl_Orvanto, &Label3,
                               &lbl_Orvanto_Anschrift, &lblCopyright, &lbltxtEmail, &lblemail, &lbltxtHyperlink,
                               &lblHyperlink}) {
        l->set_window(&fAbout);
    }
}

}  // namespace plx
