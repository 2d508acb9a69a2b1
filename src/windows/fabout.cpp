#include "windows/fabout.h"

#include "lang/texts.h"

namespace plx::windows {

namespace {

void show_texts(FAboutControls& c, const lang::AboutTexts& t) {
    c.fAbout.set_caption(t.caption);
    c.lblVersion.set_caption(t.lblVersion);
    c.lbl_Software_Hinweis.set_caption(t.lbl_Software_Hinweis);
    c.lblCopyright.set_caption(t.lblCopyright);
}

}  // namespace

FAbout::FAbout(FAboutControls& controls, const ProgramState& state, controls::Shell& shell)
    : c_(controls), s_(state), shell_(shell) {
    // design texts (German)
    show_texts(c_, lang::about_texts(lang::kGerman));
    c_.fAbout.set_back_color(0xFFFFFF);
    c_.Label2.set_caption("Version:");
    c_.lbl_Orvanto.set_caption(MakerContacts::company);
    c_.Label3.set_caption(MakerContacts::address);
    c_.lbltxtEmail.set_caption("E-Mail:");
    c_.lblemail.set_caption(MakerContacts::email);
    c_.lbltxtHyperlink.set_caption("Internet:");
    c_.lblHyperlink.set_caption(MakerContacts::web);
    // pure blue, the colour of a link
    c_.lblemail.set_fore_color(0xFF0000);
    c_.lblHyperlink.set_fore_color(0xFF0000);

    c_.lblemail.on_click = [this] { lblemail_Click(); };
    c_.lblHyperlink.on_click = [this] { lblHyperlink_Click(); };
}

void FAbout::Form_Load() {
    c_.Label1.set_caption("1.5");
    show_texts(c_, lang::about_texts(s_.language_code));
}

// A shell that cannot open the link reports nothing; the window stays open.
void FAbout::lblemail_Click() { shell_.open(std::string("mailto:") + MakerContacts::email); }

void FAbout::lblHyperlink_Click() { shell_.open(MakerContacts::web); }

}  // namespace plx::windows
