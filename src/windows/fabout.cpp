#include "windows/fabout.h"

namespace plx::windows {

FAbout::FAbout(FAboutControls& controls, const ProgramState& state, controls::Shell& shell)
    : c_(controls), s_(state), shell_(shell) {
    // design texts (German)
    c_.fAbout.set_caption("Information");
    c_.fAbout.set_back_color(0xFFFFFF);
    c_.Label2.set_caption("Version:");
    c_.lblVersion.set_caption("Orvanto: Konfigurationssoftware für PLX24-RS485-Modbus");
    c_.lbl_Software_Hinweis.set_caption(
        "Für Schäden die durch Verwendung dieser Software an Hard- oder Software entstehen wird keine Haftung "
        "übernommen.");
    c_.lbl_Orvanto.set_caption(MakerContacts::company);
    c_.Label3.set_caption(MakerContacts::address);
    c_.lblCopyright.set_caption(MakerContacts::rights);
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
    if (s_.language_code == "1033") {
        c_.fAbout.set_caption("About");
        c_.lblVersion.set_caption("Orvanto: Configuration software for PLX24-RS485-Modbus");
        c_.lbl_Software_Hinweis.set_caption(
            "Orvanto Sensortechnik GmbH does not take over any liability for damages occurred by the operation of "
            "the software.");
    }
}

// A shell that cannot open the link reports nothing; the window stays open.
void FAbout::lblemail_Click() { shell_.open(std::string("mailto:") + MakerContacts::email); }

void FAbout::lblHyperlink_Click() { shell_.open(MakerContacts::web); }

}  // namespace plx::windows
