#include <string>
#include <vector>

#include "form/frm_config.h"
#include "lang/captions.h"
#include "lang/texts.h"

namespace plx {

namespace {

using Texts = std::vector<std::string>;

void captions(c::ControlArray<c::Label>& labels, std::initializer_list<int> indices, const std::string& text) {
    for (int i : indices) labels[i].set_caption(text);
}

std::string button_name(int n) { return "T" + std::to_string(n); }

void design_link_panel(FrmConfig& f) {
    f.frm_parameter.set_caption("Parameter");
    f.lbl_parameter[6].set_caption("COM-Port");
    f.lbl_parameter[1].set_caption("Baudrate");
    f.lbl_parameter[5].set_caption("Mode");
    f.lbl_parameter[0].set_caption("Modbus address");
    f.Label1.set_caption("Parity");
    f.txt_Modbus_adress.set_text("1");
}

void design_tabs(FrmConfig& f) {
    f.SSTab1.set_tab_count(9);
    const Texts tabs = {
        "Allgemein",
        "Anzeige",
        "Tasten",
        "Monitor",
        "LED / Symbole",
        "Externe Messwerte",
        "Sollwert Temperatur",
        "Sollwert Prozent",
        "Sollwert Wert o. E.",
    };
    for (int t = 0; t < 9; ++t) f.SSTab1.set_tab_caption(t, tabs[static_cast<std::size_t>(t)]);
}

void design_frames(FrmConfig& f) {
    f.frm_allg[0].set_caption("Anzeige Datum und Uhrzeit");
    f.frm_allg[1].set_caption("Allgemeine Einstellungen");
    f.frm_allg[2].set_caption("Intensität Hintergrundbeleuchtung");
    f.frm_Anzeige[0].set_caption("Parameter");
    f.frm_Anzeige[1].set_caption("Externe Messwerte anzeigen");
    f.frm_Anzeige[2].set_caption("Sollwerte anzeigen");
    f.frm_button[0].set_caption("Konfiguration der Tasten");
    f.frm_val[0].set_caption("Tasten");
    f.frm_val[1].set_caption("Messwerte");
    f.frm_extern[0].set_caption("Tasten-LED");
    f.frm_extern[1].set_caption("Symbole");
    f.frm_extern[2].set_caption("Eingaberegister - Externe Temperatur");
    f.frm_extern[3].set_caption("Eingaberegister - Externer Prozentwert");
    f.frm_extern[4].set_caption("Eingaberegister - Externer Wert ohne Einheit");
    for (int i : {0, 3, 6}) f.frm_soll[i].set_caption("Anzeige ");
    f.frm_soll[1].set_caption("Sollwert Temperatur 1");
    f.frm_soll[2].set_caption("Sollwert Temperatur 2");
    f.frm_soll[4].set_caption("Sollwert Prozentwert 1");
    f.frm_soll[5].set_caption("Sollwert Prozentwert 2");
    f.frm_soll[7].set_caption("Sollwert Wert ohne Einheit 1");
    f.frm_soll[8].set_caption("Sollwert Wert ohne Einheit 2");
}

void design_cfg_register_captions(FrmConfig& f) {
    for (int k = 0; k < 60; ++k) f.lbl_cfg[k].set_caption(lang::cfg_register_caption(k, lang::kGerman));
}

void design_cfg_lists(FrmConfig& f) {
    f.cmb_cfg[2].set_list({"2T", "4T", "8T", "12T"});
    const Texts button_functions = {
        "0x00, ohne Sonderfunktion",
        "0x01, Sollwert Temperatur 1 Plus",
        "0x02, Sollwert Temperatur 1 Minus",
        "0x03, Sollwert Temperatur 2 Plus",
        "0x04, Sollwert Temperatur 2 Minus",
        "0x05, Sollwert Prozent 1 Plus",
        "0x06, Sollwert Prozent 1 Minus",
        "0x07, Sollwert Prozent 2 Plus",
        "0x08, Sollwert Prozent 2 Minus",
        "0x09, Sollwert Wert 1 Plus",
        "0x0A, Sollwert Wert 1 Minus",
        "0x0B, Sollwert Wert 2 Plus",
        "0x0C, Sollwert Wert 2 Minus",
        "0x0D, Lüfterstufe Plus mit \"AUTO\"",
        "0x0E, Lüfterstufe Minus mit \"AUTO\"",
        "0x0F, Lüfterstufe Plus ohne \"AUTO\"",
        "0x10, Lüfterstufe Minus ohne \"AUTO\"",
        "0x11, Lüfterstufe nur \"AUTO\"",
        "0x12, Raum nicht belegt",
        "0x13, Raum belegt",
    };
    for (int k = 8; k <= 19; ++k) f.cmb_cfg[k].set_list(button_functions);
    const Texts led_functions = {
        "0x00, ohne Sonderfunktion / über Bit-Register ansteuerbar",
        "0x01, EIN Taste gedrückt / AUS Taste nicht gedrückt",
    };
    for (int k = 20; k <= 27; ++k) f.cmb_cfg[k].set_list(led_functions);
    f.cmb_cfg[28].set_list({"0x00, ausblenden", "0x01, englisch", "0x02, deutsch"});
    f.cmb_cfg[29].set_list({"0x00, ausblenden", "0x01, englisch (JJ.MM.TT)", "0x02, deutsch (TT.MM.JJ)"});
    f.cmb_cfg[30].set_list({"0x00, ausblenden", "0x01, mit Sekunde", "0x02, ohne Sekunde"});
    f.cmb_cfg[31].set_list({"24-Stunden-Modus", "12-Stunden-Modus"});
    f.cmb_cfg[59].set_list({"1", "2", "3"});
}

void design_cfg_bits(FrmConfig& f) {
    for (int j = 0; j <= 31; ++j) f.lbl_read_cfg_bit[j].set_caption(lang::cfg_bit_caption(j, lang::kGerman));

    f.cmb_bit_cfg[24].set_list({"°F", "°C"});
    f.cmb_bit_cfg[25].set_list({"Ohne zehntel-Stelle", "Mit zehntel-Stelle"});
    f.cmb_bit_cfg[26].set_list({"Komma ausblenden", "Komma einblenden"});
    for (int j = 27; j <= 29; ++j) f.cmb_bit_cfg[j].set_list({"Sollwert offset", "Sollwert effektiv"});
}

void design_inputs(FrmConfig& f) {
    // LED switches: input bit 7 is the LED of T5, input bit 0 that of T12
    for (int j = 0; j <= 7; ++j) f.lbl_read_in_bit[j].set_caption(button_name(12 - j) + ":");
    const Texts symbol_captions = {
        "Störung:",
        "Heizen:",
        "Kühlen:",
        "Fenster:",
        "Tasten:",
        "Raumbelegung:",
        "Lüfter:",
        "Sollwert:",
    };
    for (int j = 8; j <= 15; ++j) f.lbl_read_in_bit[j].set_caption(symbol_captions[static_cast<std::size_t>(j - 8)]);

    auto& l = f.lbl_data_in;
    l[7].set_caption("Aussentemperatur:");
    l[8].set_caption("Externe Temperatur 1:");
    l[9].set_caption("Externe Temperatur 2:");
    l[10].set_caption("Externer Prozentwert 1:");
    l[11].set_caption("Externer Prozentwert 2:");
    l[12].set_caption("Externer Wert ohne Einheit 1:");
    l[13].set_caption("Externer Wert ohne Einheit 2:");
    for (int k = 14; k <= 19; ++k) l[k].set_caption("Sollwert Offset:");
    for (int k = 20; k <= 25; ++k) l[k].set_caption("Basissollwert:");
    l[26].set_caption("Lüfterstufe:");
    l[27].set_caption("Raumbelegung:");

    // design texts; the load step takes the input reference values from them
    for (int k = 0; k <= 27; ++k) f.txt_data_in[k].set_text("0");
    for (int k : {0, 1, 2}) f.txt_data_in[k].set_text("00");
    for (int k : {3, 4}) f.txt_data_in[k].set_text("01");
    f.txt_data_in[5].set_text("07");
    f.txt_data_in[6].set_text("00");
    for (int k : {20, 21}) f.txt_data_in[k].set_text("22");

    f.cmb_in[26].set_list({"0x00, Aus", "0x01, 1. Stufe", "0x02, 2. Stufe", "0x03, 3. Stufe", "0x04, Auto"});
    f.cmb_in[27].set_list({"0x00, Raum nicht belegt", "0x01, Raum belegt"});
}

void design_outputs(FrmConfig& f) {
    auto& l = f.lbl_read_out;
    l[0].set_caption("BT_read_0:");
    l[1].set_caption("BT_read_1:");
    l[2].set_caption("Temperatur:");
    for (int i : {3, 5, 7, 9, 11, 13}) l[i].set_caption("Sollwert Offset:");
    for (int i : {4, 6, 8, 10, 12, 14}) l[i].set_caption("Sollwert Effektiv:");
    l[15].set_caption("Lüfterstufe:");
    l[16].set_caption("Raumbelegung:");
    f.lbl_temp[0].set_caption("22.5");
    f.lbl_temp[1].set_caption("°C");
}

void design_descriptions(FrmConfig& f) {
    auto& d = f.lbl_desc;
    d[0].set_caption("LCD:");
    d[1].set_caption("Beschriftungsfeld:");
    d[2].set_caption("Funktion der Tasten:");
    d[3].set_caption("Funktion der Tasten-LED:");
    d[4].set_caption("Datum:");
    d[5].set_caption(
        "Die Tasten-LEDs können nur bei entsprechender Konfiguration angesteuert werden: Im Reiter 'Tasten' muss "
        "die 'Funktion der Tasten-LED auf den Wert 'ohne Sonderfunktion' eingestellt werden.");
    d[6].set_caption("Uhrzeit:");
    d[7].set_caption("Kommunikationsprobleme, bitte Einstellungen überprüfen!");
    captions(d, {8, 9, 10, 11, 12, 13, 15}, "Eingaberegister");
    d[14].set_caption("LED");
    captions(d, {16, 17, 18, 19, 20, 21, 23}, "Ausgaberegister");
    d[22].set_caption("Sperren");
    captions(d, {24, 25, 26, 27, 28, 29}, "Konfigurationsregister");
    d[30].set_caption("Ausgaberegister lesen:");
    d[31].set_caption("Funktion");
    // temperature units: outdoor, external 1, monitor, external 2, then basic / effective of setpoints 1, 2
    for (int i = 33; i <= 40; ++i) d[i].set_caption("°C");
    // percent units: the two external percent values, then the four value fields of each percent setpoint
    for (int i = 41; i <= 50; ++i) d[i].set_caption("%");
    captions(d, {51, 52, 53, 55, 56, 57}, "[K]");
    captions(d, {54, 58}, "[°C]");
    for (int i = 59; i <= 62; ++i) d[i].set_caption(" K");
    d[63].set_caption("Werte ohne Einheit werden ohne Komma übertragen!");
    captions(d, {64, 65}, "Werte ohne Einheit werden ohne Komma übertragen und angezeigt!");
    d[67].set_caption("Eingaberegister");
    d[68].set_caption("Konfigurationsregister");
    d[69].set_caption("Tag         Monat       Jahr");
    d[70].set_caption("Stunde    Minute     Sekunde");
    captions(d, {71, 73}, "Einschalten");
    d[72].set_caption("Symbol");
}

void design_command_strip_and_menu(FrmConfig& f) {
    f.read_out_parameter.set_caption("Abbrechen");
    f.set_parameter.set_caption("Übernehmen");
    f.lbl_desc[7].set_fore_color(c::kRed);
    f.lbl_desc[7].set_visible(false);

    f.MenueMain[1].set_caption("&Datei");
    f.MenueMain[2].set_caption("&Über");
    f.MenueMain[3].set_caption("&Hilfe");
    f.ParMenueMain[1].set_caption("&Parameter laden");
    f.ParMenueMain[2].set_caption("&Parameter speichern");
    f.ParMenueMain[3].set_caption("-");
    f.ParMenueMain[4].set_caption("&Beenden");
}

// Holders whose value the user sees in another control, and the controls the unit never shows.
void design_hidden(FrmConfig& f) {
    for (int k : {0, 1, 2, 59}) f.txt_data_cfg[k].set_visible(false);
    for (int k = 8; k <= 31; ++k) f.txt_data_cfg[k].set_visible(false);
    for (int j = 24; j <= 29; ++j) f.chk_cfg[j].set_visible(false);
    for (int k : {6, 26, 27}) f.txt_data_in[k].set_visible(false);
    for (int i : {0, 1, 15, 16}) f.txt_data_out[i].set_visible(false);
    for (int i : {0, 1}) f.lbl_read_out[i].set_visible(false);
    for (int j : {23, 30, 31}) {
        f.chk_cfg[j].set_visible(false);
        f.lbl_read_cfg_bit[j].set_visible(false);
    }
    // on the Tasten tab the row caption "T5:" .. "T12:" serves both columns
    for (int k = 20; k <= 27; ++k) f.lbl_cfg[k].set_visible(false);
}

// Geometry in twips inside Frame2: the monitor picture and the lamps that sit on its buttons.
void design_monitor(FrmConfig& f) {
    for (auto* pictures : {&f.Image2T, &f.Image4T, &f.Image8T, &f.Image12T}) {
        for (auto& [i, p] : *pictures) {
            p.set_left(120);
            p.set_top(120);
            p.set_width(2070);
            p.set_height(3885);
            p.set_visible(false);
        }
    }
    f.Image12T[0].set_visible(true);

    const int top_row_lefts[] = {540, 855, 1215, 1530};
    for (int n = 0; n < 4; ++n) {
        auto& lamp = f.Lbl_button[n];
        lamp.set_left(top_row_lefts[n]);
        lamp.set_top(1920);
        lamp.set_width(255);
        lamp.set_height(105);
    }
    const int column_tops[] = {2295, 2670, 3030, 3405};
    for (int n = 4; n < 12; ++n) {
        auto& lamp = f.Lbl_button[n];
        lamp.set_left(n % 2 == 0 ? 480 : 1770);
        lamp.set_top(column_tops[(n - 4) / 2]);
        lamp.set_width(105);
        lamp.set_height(285);
    }
    for (auto& [n, lamp] : f.Lbl_button) lamp.set_back_color(c::kButtonFace);

    // room temperature and its unit in the display area of the picture
    f.lbl_temp[0].set_left(390);
    f.lbl_temp[0].set_top(780);
    f.lbl_temp[0].set_width(1110);
    f.lbl_temp[0].set_height(510);
    f.lbl_temp[1].set_left(1500);
    f.lbl_temp[1].set_top(780);
    f.lbl_temp[1].set_width(540);
    f.lbl_temp[1].set_height(510);
    f.Frame2.set_width(2310);
    f.Frame2.set_height(4125);
}

}  // namespace

// Design captions (German), list texts, initial visibility and geometry of frm_config.
void load_design(FrmConfig& f) {
    f.frm_config.set_caption("PLX24-RS485-Modbus Version 1.5");
    // the designed window size, which the load step centres on the screen
    f.frm_config.set_width(15900);
    f.frm_config.set_height(10050);
    design_link_panel(f);
    design_tabs(f);
    design_frames(f);
    design_cfg_register_captions(f);
    design_cfg_lists(f);
    design_cfg_bits(f);
    design_inputs(f);
    design_outputs(f);
    design_descriptions(f);
    design_command_strip_and_menu(f);
    design_hidden(f);
    design_monitor(f);
    // the port is closed at start: no transaction can be started yet
    f.set_parameter.set_enabled(false);
    f.read_out_parameter.set_enabled(false);
    f.chk_read_out.set_enabled(false);
    f.lbl_desc[30].set_enabled(false);
}

}  // namespace plx
