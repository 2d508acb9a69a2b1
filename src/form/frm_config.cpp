#include "form/frm_config.h"

namespace plx {

FrmConfig::FrmConfig() {
    frm_config.name = "frm_config";
    frm_parameter.name = "frm_parameter";
    Combo_Port.create("Combo_Port", {{0, 1}, {5, 6}});
    lbl_parameter.create("lbl_parameter", {{0, 1}, {5, 6}});
    cbParity.name = "cbParity";
    Label1.name = "Label1";
    txt_Modbus_adress.name = "txt_Modbus_adress";
    Image1.name = "Image1";
    SSTab1.name = "SSTab1";

    txt_data_cfg.create("txt_data_cfg", {{0, 59}});
    lbl_cfg.create("lbl_cfg", {{0, 59}});
    cmb_cfg.create("cmb_cfg", {{2, 2}, {8, 31}, {59, 59}});
    UpD_txt_cfg.create("UpD_txt_cfg", {{3, 7}, {32, 58}});
    lbl_cfg_val.create("lbl_cfg_val", {{0, 1}});
    chk_cfg.create("chk_cfg", {{0, 31}});
    lbl_read_cfg_bit.create("lbl_read_cfg_bit", {{0, 31}});
    cmb_bit_cfg.create("cmb_bit_cfg", {{24, 29}});
    chk_input.create("chk_input", {{0, 15}});
    lbl_read_in_bit.create("lbl_read_in_bit", {{0, 15}});
    txt_data_in.create("txt_data_in", {{0, 27}});
    lbl_data_in.create("lbl_data_in", {{7, 27}});
    cmb_in.create("cmb_in", {{26, 27}});
    txt_data_out.create("txt_data_out", {{0, 16}});
    lbl_read_out.create("lbl_read_out", {{0, 16}});
    lbl_in_val.create("lbl_in_val", {{15, 16}});
    Lbl_button.create("Lbl_button", {{0, 11}});
    lbl_temp.create("lbl_temp", {{0, 1}});
    lbl_desc.create("lbl_desc", {{0, 31}, {33, 65}, {67, 73}});
    Image2T.create("Image2T", {{0, 2}});
    Image4T.create("Image4T", {{0, 2}});
    Image8T.create("Image8T", {{0, 2}});
    Image12T.create("Image12T", {{0, 2}});
    Frame2.name = "Frame2";
    frm_2T.create("frm_2T", {{0, 1}});
    frm_4T.create("frm_4T", {{0, 2}});
    frm_8T.create("frm_8T", {{0, 4}});
    frm_12T.name = "frm_12T";
    frm_allg.create("frm_allg", {{0, 2}});
    frm_Anzeige.create("frm_Anzeige", {{0, 2}});
    frm_button.create("frm_button", {{0, 0}});
    frm_val.create("frm_val", {{0, 1}});
    frm_extern.create("frm_extern", {{0, 4}});
    frm_soll.create("frm_soll", {{0, 8}});
    Frm_read.name = "Frm_read";
    chk_read_out.name = "chk_read_out";
    read_out_parameter.name = "read_out_parameter";
    set_parameter.name = "set_parameter";
    status_line.name = "status_line";
    MenueMain.create("MenüMain", {{1, 3}});
    ParMenueMain.create("ParMenüMain", {{1, 4}});

    // user input reaches a control only while the window is enabled
    auto bind = [this](auto& array) {
        for (auto& [i, ctl] : array) ctl.set_window(&frm_config);
    };
    bind(Combo_Port);
    bind(txt_data_cfg);
    bind(cmb_cfg);
    bind(UpD_txt_cfg);
    bind(chk_cfg);
    bind(cmb_bit_cfg);
    bind(chk_input);
    bind(txt_data_in);
    bind(cmb_in);
    bind(Lbl_button);
    bind(MenueMain);
    bind(ParMenueMain);
    for (c::Control* ctl : std::initializer_list<c::Control*>{&cbParity, &txt_Modbus_adress, &chk_read_out,
                                                             &read_out_parameter, &set_parameter}) {
        ctl->set_window(&frm_config);
    }

    for (auto& [k, t] : txt_data_cfg) t.set_max_length(5);
    for (auto& [k, t] : txt_data_in) t.set_max_length(5);
    txt_Modbus_adress.set_max_length(3);

    // all seven timers are disabled when the window is created
    Timer.set_interval(std::chrono::milliseconds(250));
    Timer1.set_interval(std::chrono::milliseconds(400));
    Timer2.set_interval(std::chrono::milliseconds(200));
    Timer4.set_interval(std::chrono::milliseconds(50));
    Timer5.set_interval(std::chrono::milliseconds(10000));
    Timer6.set_interval(std::chrono::milliseconds(200));
    Timer7.set_interval(std::chrono::milliseconds(200));

    load_design(*this);
}

bool has_pending_changes(const FrmConfig& f) {
    bool pending = false;
    // every holder is visited; the mark is the exact colour 255
    for (const auto& [k, t] : f.txt_data_cfg) pending = t.pending() || pending;
    for (const auto& [k, t] : f.txt_data_in) pending = t.pending() || pending;
    for (const auto& [j, b] : f.chk_input) pending = b.pending() || pending;
    for (const auto& [j, b] : f.chk_cfg) pending = b.pending() || pending;
    return pending;
}

void check_pending_changes(FrmConfig& f) {
    const bool pending = has_pending_changes(f);
    if (f.chk_read_out.value() != 1) f.set_parameter.set_enabled(pending);
    mark_tabs(f);
}

}  // namespace plx
