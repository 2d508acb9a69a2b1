#include "gui/frm_config_view.h"

#include <algorithm>
#include <vector>

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/binders.h"
#include "gui/unit_pictures.h"

namespace plx::gui {

namespace c = controls;

namespace {

QHBoxLayout* tight_row(QWidget* parent = nullptr) {
    auto* h = new QHBoxLayout(parent);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    return h;
}

QWidget* hbox_widget(std::initializer_list<QWidget*> widgets, int spacing = 4) {
    auto* w = new QWidget;
    auto* h = tight_row(w);
    h->setSpacing(spacing);
    for (QWidget* x : widgets) h->addWidget(x);
    h->addStretch(1);
    return w;
}

QLabel* plain(const QString& text) {
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// Gives every widget of a column the widest one's width, so rows in separate frames line up.
template <class W>
void same_width(const std::vector<W*>& widgets) {
    int w = 0;
    for (W* x : widgets) w = std::max(w, x->sizeHint().width());
    for (W* x : widgets) x->setFixedWidth(w);
}

QVBoxLayout* column(QWidget* parent = nullptr) {
    auto* v = new QVBoxLayout(parent);
    v->setContentsMargins(0, 0, 0, 0);
    return v;
}

}  // namespace

FrmConfigView::FrmConfigView(FrmConfig& form, QWidget* parent) : QMainWindow(parent), f_(form) {
    field_width_ = QFontMetrics(font()).horizontalAdvance(QStringLiteral("-888,88")) + 14;

    build_menu();
    auto* central = new QWidget;
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(8, 6, 8, 6);

    auto* top = new QHBoxLayout;
    top->addWidget(build_link_panel());
    top->addStretch(1);
    auto* logo = new LogoPicture;
    bind(f_.Image1, logo, Placement::layout);
    top->addWidget(logo, 0, Qt::AlignTop);
    v->addLayout(top);

    tabs_ = new QTabWidget;
    // each tab scrolls when the window is smaller than its content (small or high-DPI screens)
    auto scrolling = [](QWidget* page) {
        auto* area = new QScrollArea;
        area->setFrameShape(QFrame::NoFrame);
        area->setWidgetResizable(true);
        area->setWidget(page);
        return area;
    };
    tabs_->addTab(scrolling(tab_general()), QString());
    tabs_->addTab(scrolling(tab_display()), QString());
    tabs_->addTab(scrolling(tab_buttons()), QString());
    tabs_->addTab(scrolling(tab_monitor()), QString());
    tabs_->addTab(scrolling(tab_led_symbols()), QString());
    tabs_->addTab(scrolling(tab_external()), QString());
    tabs_->addTab(scrolling(tab_setpoint(0)), QString());
    tabs_->addTab(scrolling(tab_setpoint(3)), QString());
    tabs_->addTab(scrolling(tab_setpoint(6)), QString());
    bind(f_.SSTab1, tabs_);
    v->addWidget(tabs_, 1);

    v->addWidget(build_command_strip());
    // refusals, reasons and confirmations in a row of their own that wraps, so none is ever cut; the
    // status bar below keeps the line's state and counters
    auto* note = label(f_.status_line);
    note->setWordWrap(true);
    note->tooltip_follows_text = true;
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note->setContentsMargins(2, 2, 2, 0);
    v->addWidget(note);
    setCentralWidget(central);
    statusBar()->setSizeGripEnabled(true);
    bind(f_.frm_config, this);
}

void FrmConfigView::closeEvent(QCloseEvent* e) {
    if (may_close && !may_close()) {
        e->ignore();
        return;
    }
    if (on_close) on_close();
    e->accept();
}

// ---- factories ----

ClickLabel* FrmConfigView::label(c::Label& m) {
    auto* w = new ClickLabel;
    bind(m, w);
    return w;
}

ClickLabel* FrmConfigView::heading(c::Label& m) {
    auto* w = label(m);
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
    return w;
}

ClickLabel* FrmConfigView::value_label(c::Label& m) {
    // looks like a field that cannot be edited
    auto* w = label(m);
    w->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    w->setMinimumWidth(field_width_);
    w->setMinimumHeight(w->sizeHint().height() + 6);
    w->setContentsMargins(3, 0, 3, 0);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    w->setPalette(p);
    return w;
}

TextBoxEdit* FrmConfigView::text(c::TextBox& m) {
    auto* w = new TextBoxEdit;
    w->setFixedWidth(field_width_);
    w->setAlignment(Qt::AlignRight);
    bind(m, w);
    return w;
}

TextBoxEdit* FrmConfigView::output(c::TextBox& m) {
    auto* w = text(m);
    // display only, on a shaded background
    w->setReadOnly(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    w->setPalette(p);
    return w;
}

QComboBox* FrmConfigView::combo(c::ComboBox& m) {
    auto* w = new QComboBox;
    w->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    bind(m, w);
    return w;
}

QCheckBox* FrmConfigView::check(c::CheckBox& m, QLabel* mark_label) {
    auto* w = new QCheckBox;
    bind(m, w, mark_label);
    return w;
}

UpDownWidget* FrmConfigView::spinner(c::UpDown& m, QWidget* buddy) {
    auto* w = new UpDownWidget;
    w->setFixedHeight(buddy->sizeHint().height());
    bind(m, w);
    return w;
}

QGroupBox* FrmConfigView::group(c::Frame& m) {
    auto* w = new QGroupBox;
    bind(m, w);
    return w;
}

QFrame* FrmConfigView::panel(c::Frame& m, QLabel* caption_label) {
    auto* w = new QFrame;
    w->setFrameStyle(QFrame::NoFrame);
    bind(m, w, caption_label);
    return w;
}

QWidget* FrmConfigView::cfg_field(int k) {
    auto* t = text(f_.txt_data_cfg[k]);
    if (!f_.UpD_txt_cfg.has(k)) return t;
    auto* box = new QWidget;
    auto* h = tight_row(box);
    h->addWidget(t);
    h->addWidget(spinner(f_.UpD_txt_cfg[k], t));
    h->addStretch(1);
    return box;
}

QWidget* FrmConfigView::hidden_holder(c::TextBox& m) { return text(m); }

QWidget* FrmConfigView::picture_stack(int index) {
    // the four front views lie on top of each other; the variant layout shows one of them
    auto* stack = new QWidget;
    stack->setFixedSize(px(f_.Frame2.width()), px(f_.Frame2.height()));
    const std::pair<c::ControlArray<c::Picture>*, int> pictures[] = {
        {&f_.Image2T, 2},
        {&f_.Image4T, 4},
        {&f_.Image8T, 8},
        {&f_.Image12T, 12},
    };
    for (auto [array, buttons] : pictures) {
        auto* p = new UnitPicture(buttons, stack);
        bind((*array)[index], p, Placement::twips);
    }
    return stack;
}

void FrmConfigView::bit_row(QGridLayout* g, int row, c::Label& caption, c::CheckBox& box) {
    auto* l = label(caption);
    g->addWidget(l, row, 0);
    g->addWidget(check(box, l), row, 1);
}

// ---- regions ----

void FrmConfigView::build_menu() {
    QMenu* file = menuBar()->addMenu(QString());
    bind(f_.MenueMain[1], file->menuAction());
    for (int i = 1; i <= 4; ++i) {
        auto* a = new QAction(file);
        file->addAction(a);
        bind(f_.ParMenueMain[i], a);
        // load and save parameters as every program opens and saves
        if (i == 1) a->setShortcut(QKeySequence::Open);
        if (i == 2) a->setShortcut(QKeySequence::Save);
    }
    for (int i : {2, 3}) {
        auto* a = new QAction(menuBar());
        menuBar()->addAction(a);
        bind(f_.MenueMain[i], a);
        if (i == 3) a->setShortcut(QKeySequence(Qt::Key_F1));
    }
}

QWidget* FrmConfigView::build_link_panel() {
    auto* caption = new QLabel;
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    QFrame* frame = panel(f_.frm_parameter, caption);
    frame->setAutoFillBackground(true);
    QPalette p = frame->palette();
    p.setColor(QPalette::Window, Qt::white);
    frame->setPalette(p);

    auto* g = new QGridLayout(frame);
    link_grid_ = g;
    g->setContentsMargins(8, 4, 8, 6);
    g->setVerticalSpacing(2);
    g->addWidget(caption, 0, 0, 2, 1, Qt::AlignVCenter);
    g->setColumnMinimumWidth(0, caption->sizeHint().width() + 8);
    auto add = [&](int col, c::Label* cap, QWidget* box) {
        if (cap) g->addWidget(label(*cap), 0, col);
        g->addWidget(box, 1, col);
    };
    auto* port = combo(f_.Combo_Port[0]);
    port_box_ = port;
    port->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("COM40")) + 40);
    add(1, &f_.lbl_parameter[6], port);
    add(2, &f_.lbl_parameter[1], combo(f_.Combo_Port[1]));
    add(3, &f_.Label1, combo(f_.cbParity));
    add(4, &f_.lbl_parameter[5], combo(f_.Combo_Port[5]));
    add(5, nullptr, combo(f_.Combo_Port[6]));
    auto* address = text(f_.txt_Modbus_adress);
    address->setFixedWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("Modbus address")) + 8);
    add(6, &f_.lbl_parameter[0], address);
    return frame;
}

QWidget* FrmConfigView::build_command_strip() {
    QFrame* strip = panel(f_.Frm_read);
    auto* h = new QHBoxLayout(strip);
    h->setContentsMargins(0, 4, 0, 0);
    auto* problem = label(f_.lbl_desc[7]);
    QSizePolicy keep = problem->sizePolicy();
    // the strip does not jump when the problem label comes and goes
    keep.setRetainSizeWhenHidden(true);
    problem->setSizePolicy(keep);
    h->addWidget(problem, 1);
    auto* poll_label = label(f_.lbl_desc[30]);
    h->addWidget(poll_label);
    h->addWidget(check(f_.chk_read_out, nullptr));
    h->addSpacing(16);
    auto* read = new QPushButton;
    bind(f_.read_out_parameter, read);
    auto* write = new QPushButton;
    bind(f_.set_parameter, write);
    for (auto* b : {read, write}) b->setMinimumWidth(110);
    h->addWidget(read);
    h->addWidget(write);
    return strip;
}

// ---- tabs ----

QWidget* FrmConfigView::tab_general() {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    // general settings
    auto* allg1 = group(f_.frm_allg[1]);
    auto* g = new QGridLayout(allg1);
    int row = 0;
    for (int k : {0, 1}) {
        g->addWidget(label(f_.lbl_cfg[k]), row, 0);
        g->addWidget(hbox_widget({value_label(f_.lbl_cfg_val[k]), hidden_holder(f_.txt_data_cfg[k])}), row++, 1);
    }
    g->addWidget(label(f_.lbl_cfg[2]), row, 0);
    g->addWidget(hbox_widget({combo(f_.cmb_cfg[2]), hidden_holder(f_.txt_data_cfg[2])}), row++, 1);
    for (int k : {3, 33, 34}) {
        g->addWidget(label(f_.lbl_cfg[k]), row, 0);
        g->addWidget(cfg_field(k), row++, 1);
    }
    g->addWidget(label(f_.lbl_cfg[59]), row, 0);
    g->addWidget(hbox_widget({combo(f_.cmb_cfg[59]), hidden_holder(f_.txt_data_cfg[59])}), row++, 1);

    // backlight
    auto* allg2 = group(f_.frm_allg[2]);
    auto* g2 = new QGridLayout(allg2);
    row = 0;
    for (auto [desc, first] : {std::pair{0, 4}, std::pair{1, 6}}) {
        g2->addWidget(heading(f_.lbl_desc[desc]), row++, 0, 1, 2);
        for (int k : {first, first + 1}) {
            g2->addWidget(label(f_.lbl_cfg[k]), row, 0);
            g2->addWidget(cfg_field(k), row++, 1);
        }
    }

    auto* left = column();
    left->addWidget(allg1);
    left->addWidget(allg2);
    left->addStretch(1);
    h->addLayout(left);

    // date and time
    auto* allg0 = group(f_.frm_allg[0]);
    auto* g0 = new QGridLayout(allg0);
    row = 0;
    g0->addWidget(heading(f_.lbl_desc[68]), row++, 0, 1, 2);
    for (int k = 28; k <= 31; ++k) {
        g0->addWidget(label(f_.lbl_cfg[k]), row, 0);
        g0->addWidget(hbox_widget({combo(f_.cmb_cfg[k]), hidden_holder(f_.txt_data_cfg[k])}), row++, 1);
    }
    g0->setRowMinimumHeight(row++, 10);
    g0->addWidget(heading(f_.lbl_desc[67]), row++, 0, 1, 2);
    auto clock_row = [&](int heading_desc, int caption_desc, std::initializer_list<int> fields, QChar sep) {
        g0->addWidget(label(f_.lbl_desc[heading_desc]), row++, 1);
        std::vector<QWidget*> parts;
        bool first = true;
        for (int k : fields) {
            if (!first) parts.push_back(plain(QString(sep)));
            first = false;
            auto* t = text(f_.txt_data_in[k]);
            t->setFixedWidth(field_width_ - 8);
            parts.push_back(t);
        }
        auto* w = new QWidget;
        auto* hb = tight_row(w);
        hb->setSpacing(2);
        for (auto* p : parts) {
            if (auto* sep_label = qobject_cast<QLabel*>(p)) sep_label->setFixedWidth(10);
            hb->addWidget(p);
        }
        hb->addStretch(1);
        g0->addWidget(label(f_.lbl_desc[caption_desc]), row, 0);
        g0->addWidget(w, row++, 1);
    };
    clock_row(69, 4, {3, 4, 5}, u'.');
    clock_row(70, 6, {2, 1, 0}, u':');
    g0->addWidget(hidden_holder(f_.txt_data_in[6]), row++, 1);

    auto* right = column();
    right->addWidget(allg0);
    right->addStretch(1);
    h->addLayout(right);
    h->addStretch(1);
    return page;
}

QWidget* FrmConfigView::tab_display() {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* params = group(f_.frm_Anzeige[0]);
    auto* g = new QGridLayout(params);
    g->addWidget(label(f_.lbl_cfg[32]), 0, 0);
    g->addWidget(cfg_field(32), 0, 1);
    int row = 1;
    for (int j = 24; j <= 26; ++j) {
        auto* cap = label(f_.lbl_read_cfg_bit[j]);
        g->addWidget(cap, row, 0);
        g->addWidget(hbox_widget({combo(f_.cmb_bit_cfg[j]), check(f_.chk_cfg[j], cap)}), row++, 1);
    }

    // bits that lie on the tab itself, the reserved ones hidden
    auto* loose = new QWidget;
    auto* gl = new QGridLayout(loose);
    gl->setContentsMargins(10, 6, 10, 0);
    row = 0;
    for (int j : {20, 21, 22, 23, 30, 31}) bit_row(gl, row++, f_.lbl_read_cfg_bit[j], f_.chk_cfg[j]);

    auto* left = column();
    left->addWidget(params);
    left->addWidget(loose);
    left->addStretch(1);
    h->addLayout(left);

    auto bits_group = [&](int frame, int first, int last) {
        auto* box = group(f_.frm_Anzeige[frame]);
        auto* gb = new QGridLayout(box);
        int r = 0;
        for (int j = first; j <= last; ++j) bit_row(gb, r++, f_.lbl_read_cfg_bit[j], f_.chk_cfg[j]);
        auto* col = column();
        col->addWidget(box);
        col->addStretch(1);
        h->addLayout(col);
    };
    bits_group(1, 0, 7);
    bits_group(2, 8, 19);
    h->addStretch(1);
    return page;
}

QWidget* FrmConfigView::tab_buttons() {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* box = group(f_.frm_button[0]);
    auto* v = new QVBoxLayout(box);
    v->setSpacing(3);

    std::vector<QLabel*> caption_column;
    std::vector<QWidget*> function_column;
    std::vector<QWidget*> led_column;

    auto* head = new QWidget;
    auto* hh = tight_row(head);
    hh->setSpacing(6);
    auto* corner = new QLabel;
    caption_column.push_back(corner);
    hh->addWidget(corner);
    auto* fn_head = heading(f_.lbl_desc[2]);
    auto* led_head = heading(f_.lbl_desc[3]);
    function_column.push_back(fn_head);
    led_column.push_back(led_head);
    hh->addWidget(fn_head);
    hh->addWidget(led_head);
    hh->addStretch(1);
    v->addWidget(head);

    // one row per button: caption, function list and, from T5 on, the LED function list
    auto button_row = [&](int n, QBoxLayout* into) {
        auto* row = new QWidget;
        auto* hr = tight_row(row);
        hr->setSpacing(6);
        auto* cap = label(f_.lbl_cfg[7 + n]);
        caption_column.push_back(cap);
        hr->addWidget(cap);
        auto* fn = combo(f_.cmb_cfg[7 + n]);
        function_column.push_back(fn);
        hr->addWidget(fn);
        if (n >= 5) {
            auto* led = combo(f_.cmb_cfg[15 + n]);
            led_column.push_back(led);
            hr->addWidget(led);
            hr->addWidget(label(f_.lbl_cfg[15 + n]));
            hr->addWidget(hidden_holder(f_.txt_data_cfg[15 + n]));
        }
        hr->addWidget(hidden_holder(f_.txt_data_cfg[7 + n]));
        hr->addStretch(1);
        into->addWidget(row);
    };
    auto rows_panel = [&](c::Frame& frame, int first, int last) {
        QFrame* p = panel(frame);
        auto* pv = column(p);
        pv->setSpacing(3);
        for (int n = first; n <= last; ++n) button_row(n, pv);
        v->addWidget(p);
    };
    rows_panel(f_.frm_12T, 1, 4);
    button_row(5, v);
    button_row(6, v);
    rows_panel(f_.frm_4T[0], 7, 8);
    rows_panel(f_.frm_8T[0], 9, 12);
    v->addStretch(1);
    same_width(caption_column);
    same_width(function_column);
    same_width(led_column);

    auto* left = column();
    left->addWidget(box);
    left->addStretch(1);
    h->addLayout(left);
    h->addWidget(picture_stack(1), 0, Qt::AlignTop);
    h->addStretch(1);
    return page;
}

QWidget* FrmConfigView::tab_monitor() {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* buttons = group(f_.frm_val[0]);
    auto* bv = new QVBoxLayout(buttons);
    QFrame* frame2 = panel(f_.Frame2);
    frame2->setFixedSize(px(f_.Frame2.width()), px(f_.Frame2.height()));
    const std::pair<c::ControlArray<c::Picture>*, int> pictures[] = {
        {&f_.Image2T, 2},
        {&f_.Image4T, 4},
        {&f_.Image8T, 8},
        {&f_.Image12T, 12},
    };
    for (auto [array, n] : pictures) bind((*array)[0], new UnitPicture(n, frame2), Placement::twips);
    for (auto& [n, lamp] : f_.Lbl_button) {
        auto* w = new ClickLabel(frame2);
        w->setFrameStyle(QFrame::Box | QFrame::Plain);
        bind(lamp, w, Placement::twips);
    }
    for (int i : {0, 1}) {
        auto* w = new ClickLabel(frame2);
        QFont big = w->font();
        big.setPixelSize(i == 0 ? 24 : 16);
        big.setBold(i == 0);
        w->setFont(big);
        w->setAlignment(i == 0 ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
        bind(f_.lbl_temp[i], w, Placement::overlay);
    }
    bv->addWidget(frame2);
    bv->addStretch(1);
    h->addWidget(buttons);

    auto* values = group(f_.frm_val[1]);
    auto* g = new QGridLayout(values);
    int row = 0;
    g->addWidget(heading(f_.lbl_desc[15]), row++, 0, 1, 3);
    for (int k : {26, 27}) {
        g->addWidget(label(f_.lbl_data_in[k]), row, 0);
        g->addWidget(hbox_widget({combo(f_.cmb_in[k]), hidden_holder(f_.txt_data_in[k])}), row++, 1, 1, 2);
    }
    g->setRowMinimumHeight(row++, 10);
    g->addWidget(heading(f_.lbl_desc[23]), row++, 0, 1, 3);
    g->addWidget(label(f_.lbl_read_out[2]), row, 0);
    g->addWidget(output(f_.txt_data_out[2]), row, 1);
    g->addWidget(label(f_.lbl_desc[35]), row++, 2);
    for (int i : {15, 16}) {
        g->addWidget(label(f_.lbl_read_out[i]), row, 0);
        auto* word = value_label(f_.lbl_in_val[i]);
        word->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("Raum nicht belegt")) + 12);
        g->addWidget(hbox_widget({word, hidden_holder(f_.txt_data_out[i])}), row++, 1, 1, 2);
    }
    // the button state words stay hidden: the lamps show them
    for (int i : {0, 1}) {
        g->addWidget(label(f_.lbl_read_out[i]), row, 0);
        g->addWidget(output(f_.txt_data_out[i]), row++, 1);
    }
    g->setColumnStretch(3, 1);
    auto* right = column();
    right->addWidget(values);
    right->addStretch(1);
    h->addLayout(right);
    // the rest of the tab: the recording and trend view (trend_view.cpp), or empty
    monitor_side_ = new QVBoxLayout;
    h->addLayout(monitor_side_, 1);
    return page;
}

QWidget* FrmConfigView::tab_led_symbols() {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* leds = group(f_.frm_extern[0]);
    auto* lh = new QHBoxLayout(leds);
    auto* lv = new QVBoxLayout;
    lv->setSpacing(3);
    std::vector<QLabel*> captions;
    auto* head = new QWidget;
    auto* hh = tight_row(head);
    hh->setSpacing(10);
    auto* led_head = heading(f_.lbl_desc[14]);
    captions.push_back(led_head);
    hh->addWidget(led_head);
    hh->addWidget(heading(f_.lbl_desc[71]));
    hh->addStretch(1);
    lv->addWidget(head);
    // T5 .. T12: input bit 7 .. 0, each in the panel the variant layout shows or hides
    const std::pair<c::Frame*, int> panels[] = {
        {&f_.frm_2T[0], 7},
        {&f_.frm_2T[1], 6},
        {&f_.frm_4T[1], 5},
        {&f_.frm_4T[2], 4},
        {&f_.frm_8T[1], 3},
        {&f_.frm_8T[2], 2},
        {&f_.frm_8T[3], 1},
        {&f_.frm_8T[4], 0},
    };
    for (auto [frame, j] : panels) {
        QFrame* p = panel(*frame);
        auto* ph = tight_row(p);
        ph->setSpacing(10);
        auto* cap = label(f_.lbl_read_in_bit[j]);
        captions.push_back(cap);
        ph->addWidget(cap);
        ph->addWidget(check(f_.chk_input[j], cap));
        ph->addStretch(1);
        lv->addWidget(p);
    }
    same_width(captions);
    auto* note = label(f_.lbl_desc[5]);
    note->setWordWrap(true);
    note->setFixedWidth(230);
    lv->addSpacing(8);
    lv->addWidget(note);
    lv->addStretch(1);
    lh->addLayout(lv);
    lh->addWidget(picture_stack(2), 0, Qt::AlignTop);
    h->addWidget(leds, 0, Qt::AlignTop);

    auto* symbols = group(f_.frm_extern[1]);
    auto* g = new QGridLayout(symbols);
    g->setHorizontalSpacing(16);
    int row = 0;
    auto block = [&](int left_head, int right_head, int first) {
        g->addWidget(heading(f_.lbl_desc[left_head]), row, 0);
        g->addWidget(heading(f_.lbl_desc[right_head]), row++, 1);
        for (int j = first; j < first + 4; ++j) bit_row(g, row++, f_.lbl_read_in_bit[j], f_.chk_input[j]);
    };
    block(72, 73, 8);
    g->setRowMinimumHeight(row++, 10);
    block(31, 22, 12);
    auto* right = column();
    right->addWidget(symbols);
    right->addStretch(1);
    h->addLayout(right);
    h->addStretch(1);
    return page;
}

QWidget* FrmConfigView::tab_external() {
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* v = column();
    std::vector<QLabel*> captions;
    auto values = [&](int frame, std::initializer_list<std::pair<int, int>> fields, int note) {
        auto* box = group(f_.frm_extern[frame]);
        auto* g = new QGridLayout(box);
        int row = 0;
        for (auto [k, unit] : fields) {
            auto* cap = label(f_.lbl_data_in[k]);
            captions.push_back(cap);
            g->addWidget(cap, row, 0);
            g->addWidget(text(f_.txt_data_in[k]), row, 1);
            if (unit >= 0) g->addWidget(label(f_.lbl_desc[unit]), row, 2);
            ++row;
        }
        if (note >= 0) g->addWidget(label(f_.lbl_desc[note]), row, 0, 1, 4);
        g->setColumnStretch(3, 1);
        v->addWidget(box);
    };
    values(2, {{7, 33}, {8, 34}, {9, 36}}, -1);
    values(3, {{10, 41}, {11, 42}}, -1);
    values(4, {{12, -1}, {13, -1}}, 63);
    same_width(captions);
    v->addStretch(1);
    h->addLayout(v);
    h->addStretch(1);
    return page;
}

namespace {
// One setpoint frame: its four configuration registers, the input and output registers and the
// unit labels beside them (-1: none).
struct SetpointLayout {
    int frame;
    int first_cfg;
    int cfg_units[4];
    int inputs[2];
    int input_units[2];
    int outputs[2];
    int output_units[2];
    int headings[3];  // Konfigurations-, Eingabe-, Ausgaberegister
    int note;
};

constexpr SetpointLayout kSetpoints[] = {
    {1, 35, {51, 52, 53, 54}, {14, 20}, {59, 37}, {3, 4}, {60, 38}, {24, 8, 16}, -1},
    {2, 39, {55, 56, 57, 58}, {15, 21}, {61, 39}, {5, 6}, {62, 40}, {25, 9, 17}, -1},
    {4, 43, {-1, -1, -1, -1}, {16, 22}, {43, 44}, {7, 8}, {45, 46}, {26, 10, 18}, -1},
    {5, 47, {-1, -1, -1, -1}, {17, 23}, {47, 48}, {9, 10}, {49, 50}, {27, 11, 19}, -1},
    {7, 51, {-1, -1, -1, -1}, {18, 24}, {-1, -1}, {11, 12}, {-1, -1}, {28, 12, 20}, 64},
    {8, 55, {-1, -1, -1, -1}, {19, 25}, {-1, -1}, {13, 14}, {-1, -1}, {29, 13, 21}, 65},
};
}  // namespace

QGroupBox* FrmConfigView::setpoint_frame(int frame) {
    const SetpointLayout* s = nullptr;
    for (const auto& x : kSetpoints) {
        if (x.frame == frame) s = &x;
    }
    auto* box = group(f_.frm_soll[frame]);
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(6);
    auto unit = [&](int desc, int row, int col) {
        auto* u = desc >= 0 ? static_cast<QWidget*>(label(f_.lbl_desc[desc])) : new QWidget;
        u->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("[°C]")) + 4);
        g->addWidget(u, row, col);
    };
    // columns 0..2 configuration, 4..6 input, 8..10 output registers; 3 and 7 are gaps
    g->addWidget(heading(f_.lbl_desc[s->headings[0]]), 0, 0, 1, 3);
    for (int r = 0; r < 4; ++r) {
        const int k = s->first_cfg + r;
        g->addWidget(label(f_.lbl_cfg[k]), r + 1, 0);
        g->addWidget(cfg_field(k), r + 1, 1);
        unit(s->cfg_units[r], r + 1, 2);
    }
    g->setColumnMinimumWidth(3, 18);
    g->addWidget(heading(f_.lbl_desc[s->headings[1]]), 0, 4, 1, 3);
    for (int r = 0; r < 2; ++r) {
        g->addWidget(label(f_.lbl_data_in[s->inputs[r]]), r + 1, 4);
        g->addWidget(text(f_.txt_data_in[s->inputs[r]]), r + 1, 5);
        unit(s->input_units[r], r + 1, 6);
    }
    g->setColumnMinimumWidth(7, 18);
    g->addWidget(heading(f_.lbl_desc[s->headings[2]]), 0, 8, 1, 3);
    for (int r = 0; r < 2; ++r) {
        g->addWidget(label(f_.lbl_read_out[s->outputs[r]]), r + 1, 8);
        g->addWidget(output(f_.txt_data_out[s->outputs[r]]), r + 1, 9);
        unit(s->output_units[r], r + 1, 10);
    }
    if (s->note >= 0) g->addWidget(label(f_.lbl_desc[s->note]), 5, 0, 1, 11);
    g->setColumnStretch(11, 1);
    return box;
}

QWidget* FrmConfigView::tab_setpoint(int first_frame) {
    // frames first_frame + 1 and + 2 hold the values, first_frame itself the display option
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    auto* v = column();
    v->addWidget(setpoint_frame(first_frame + 1));
    v->addWidget(setpoint_frame(first_frame + 2));
    const int bit = 27 + first_frame / 3;
    auto* display = group(f_.frm_soll[first_frame]);
    auto* g = new QGridLayout(display);
    auto* cap = label(f_.lbl_read_cfg_bit[bit]);
    g->addWidget(cap, 0, 0);
    g->addWidget(hbox_widget({combo(f_.cmb_bit_cfg[bit]), check(f_.chk_cfg[bit], cap)}), 0, 1);
    g->setColumnStretch(2, 1);
    v->addWidget(display);
    v->addStretch(1);
    h->addLayout(v);
    h->addStretch(1);
    return page;
}

}  // namespace plx::gui
