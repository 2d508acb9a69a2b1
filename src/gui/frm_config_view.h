#pragma once
// The main window frm_config as a Qt window: every control of the control set bound to its widget,
// laid out in the link panel, the nine tabs of SSTab1 and the command strip. Widgets are named like
// their controls ("txt_data_cfg(34)"), so tests and tools find them by name.

#include <QMainWindow>
#include <functional>

#include "form/frm_config.h"

class QBoxLayout;
class QComboBox;
class QCheckBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QTabWidget;
class QWidget;

namespace plx::gui {

class ClickLabel;
class TextBoxEdit;
class UpDownWidget;

class FrmConfigView : public QMainWindow {
public:
    explicit FrmConfigView(FrmConfig& form, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    // The port box and the link panel's grid (row 0 captions, row 1 boxes), for the port view.
    QComboBox* port_box() const { return port_box_; }
    QGridLayout* link_grid() const { return link_grid_; }
    // The Monitor tab's free side, for the recording and trend view.
    QBoxLayout* monitor_side() const { return monitor_side_; }
    // Asked before the window closes through the close box; false keeps it open.
    std::function<bool()> may_close;
    // Closing through the close box (Form_Unload), once may_close has agreed.
    std::function<void()> on_close;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // widget factories: each creates the widget and binds it to its control
    ClickLabel* label(controls::Label& m);
    ClickLabel* heading(controls::Label& m);
    ClickLabel* value_label(controls::Label& m);
    TextBoxEdit* text(controls::TextBox& m);
    TextBoxEdit* output(controls::TextBox& m);
    QComboBox* combo(controls::ComboBox& m);
    QCheckBox* check(controls::CheckBox& m, QLabel* mark_label);
    UpDownWidget* spinner(controls::UpDown& m, QWidget* buddy);
    QGroupBox* group(controls::Frame& m);
    QFrame* panel(controls::Frame& m, QLabel* caption_label = nullptr);
    QWidget* cfg_field(int k);  // txt_data_cfg(k) with its spinner
    QWidget* hidden_holder(controls::TextBox& m);
    QWidget* picture_stack(int index);

    void build_menu();
    QWidget* build_link_panel();
    QWidget* build_command_strip();
    QWidget* tab_general();
    QWidget* tab_display();
    QWidget* tab_buttons();
    QWidget* tab_monitor();
    QWidget* tab_led_symbols();
    QWidget* tab_external();
    QWidget* tab_setpoint(int first_frame);
    QGroupBox* setpoint_frame(int frame);

    // a caption and its check box in one grid row
    void bit_row(QGridLayout* g, int row, controls::Label& caption, controls::CheckBox& box);

    FrmConfig& f_;
    QTabWidget* tabs_ = nullptr;
    QComboBox* port_box_ = nullptr;
    QGridLayout* link_grid_ = nullptr;
    QBoxLayout* monitor_side_ = nullptr;
    int field_width_ = 56;
};

}  // namespace plx::gui
