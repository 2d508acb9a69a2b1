#include "gui/binders.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QTabBar>

namespace plx::gui {

namespace c = controls;

QString object_name(const c::Control& ctl) {
    QString n = qs(ctl.name);
    if (ctl.index >= 0) n += u'(' + QString::number(ctl.index) + u')';
    return n;
}

QColor to_qcolor(c::Color col, const QPalette& palette, QPalette::ColorGroup group) {
    if ((col & 0x80000000u) == 0) {
        return QColor(static_cast<int>(col & 0xFF), static_cast<int>((col >> 8) & 0xFF),
                      static_cast<int>((col >> 16) & 0xFF));
    }
    switch (col & 0xFF) {
    case 0x05:
        return palette.color(group, QPalette::Base);
    case 0x08:
        return palette.color(group, QPalette::Text);
    case 0x0D:
        return palette.color(group, QPalette::Highlight);
    case 0x0E:
        return palette.color(group, QPalette::HighlightedText);
    case 0x0F:
        return palette.color(group, QPalette::Button);
    case 0x10:
        return palette.color(group, QPalette::Dark);
    case 0x11:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 0x12:
        return palette.color(group, QPalette::ButtonText);
    case 0x14:
        return palette.color(group, QPalette::Light);
    default:
        return palette.color(group, QPalette::WindowText);
    }
}

namespace {

QPalette base_palette(const QWidget* w) {
    return w->parentWidget() ? w->parentWidget()->palette() : QApplication::palette();
}

// A palette answers for the colour group of the widget's current state; a colour set while the
// window is disabled must not make the disabled colour the enabled one too, so each group is set.
constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

void apply_back_color(QWidget* w, c::Color col, bool fill) {
    w->setAutoFillBackground(fill);
    if (!fill) return;
    const QPalette base = base_palette(w);
    QPalette p = w->palette();
    for (auto g : kGroups) p.setColor(g, QPalette::Window, to_qcolor(col, base, g));
    w->setPalette(p);
}

template <class W>
void sync_common(const c::Control& m, W* w, c::Prop p) {
    if (p == c::Prop::Visible) w->setVisible(m.visible());
    if (p == c::Prop::Enabled) w->setEnabled(m.enabled());
    if (p == c::Prop::Tooltip) w->setToolTip(qs(m.tooltip()));
}

template <class W>
void init_common(const c::Control& m, W* w) {
    w->setObjectName(object_name(m));
    // hidden holders stay hidden; visible ones follow their parent when it is shown
    if (!m.visible()) w->setVisible(false);
    w->setEnabled(m.enabled());
    if (!m.tooltip().empty()) w->setToolTip(qs(m.tooltip()));
}

void place_twips(const c::Control& m, QWidget* w) {
    w->setGeometry(px(m.left()), px(m.top()), px(m.width()), px(m.height()));
}

bool is_geometry(c::Prop p) {
    return p == c::Prop::Left || p == c::Prop::Top || p == c::Prop::Width || p == c::Prop::Height;
}

int twips_of(qreal pixels) { return static_cast<int>(pixels * kTwipsPerPixel); }

}  // namespace

void apply_fore_color(QWidget* w, c::Color col) {
    const QPalette base = base_palette(w);
    QPalette p = w->palette();
    for (auto g : kGroups) {
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            p.setColor(g, role, col == c::kButtonText ? base.color(g, role) : to_qcolor(col, base, g));
        }
    }
    w->setPalette(p);
}

namespace {
// a value that cannot be sent lies on a light red ground, apart from the red text of a pending edit
void apply_invalid(QWidget* w, bool invalid) {
    const QPalette base = base_palette(w);
    QPalette p = w->palette();
    for (auto g : kGroups) {
        for (auto role : {QPalette::Base, QPalette::Button})
            p.setColor(g, role, invalid ? QColor(0xFF, 0xD0, 0xD0) : base.color(g, role));
    }
    w->setPalette(p);
}
}  // namespace

// ---- widgets ----

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("COM40 → …")), QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QRect r = contentsRect();
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
}

TextBoxEdit::TextBoxEdit(QWidget* parent) : QLineEdit(parent) {
    // every character must pass the key filter: no pasting or dropping around it
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void TextBoxEdit::keyPressEvent(QKeyEvent* e) {
    if (!on_key) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        const QString clip = QApplication::clipboard()->text();
        for (QChar ch : clip) {
            const int key = on_key(ch.unicode());
            if (key < 32) continue;
            insert(QString(QChar(key)));
            if (on_filtered_edit) on_filtered_edit();
        }
        e->accept();
        return;
    }
    int code = 0;
    if (e->key() == Qt::Key_Backspace) {
        code = 8;
    } else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        code = 13;
    } else if (!(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
               e->text().size() == 1 && e->text().at(0).isPrint()) {
        code = e->text().at(0).unicode();
    }
    if (code == 0) {
        // navigation, selection, copy and Delete never add a character
        QLineEdit::keyPressEvent(e);
        return;
    }
    const int key = on_key(code);
    if (key == 0) {
        e->accept();
        return;
    }
    if (key == code) {
        QLineEdit::keyPressEvent(e);
    } else if (key == 8) {
        backspace();
        if (on_filtered_edit) on_filtered_edit();
    } else if (key >= 32) {
        // the handler replaced the key
        insert(QString(QChar(key)));
        if (on_filtered_edit) on_filtered_edit();
    }
}

void TextBoxEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // switching to another application or opening a popup does not leave the field
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (on_focus_out) on_focus_out();
}

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && on_click) on_click();
}

UpDownWidget::UpDownWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFocusPolicy(Qt::NoFocus);
}

QSize UpDownWidget::sizeHint() const { return {17, 22}; }

void UpDownWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int h = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), h), QRect(0, h, width(), height() - h)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = halves[i];
        opt.state |= (pressed_ == i + 1) ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p,
                               this);
    }
}

void UpDownWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pressed_ = e->position().y() < height() / 2.0 ? 1 : 2;
    update();
    if (on_press) on_press(twips_of(e->position().x()), twips_of(e->position().y()));
}

void UpDownWidget::mouseMoveEvent(QMouseEvent* e) {
    if (on_move) on_move(twips_of(e->position().x()), twips_of(e->position().y()));
}

void UpDownWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pressed_ = 0;
    update();
    if (on_release) on_release();
}

void UpDownWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (on_resize) on_resize(width() * kTwipsPerPixel, height() * kTwipsPerPixel);
}

void UpDownWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // a spinner disabled while held must not keep repeating
    if (e->type() == QEvent::EnabledChange && !isEnabled() && pressed_ != 0) {
        pressed_ = 0;
        if (on_release) on_release();
    }
}

// ---- binders ----

void bind(c::TextBox& m, TextBoxEdit* w) {
    init_common(m, w);
    w->setText(qs(m.text()));
    w->setMaxLength(m.max_length() > 0 ? m.max_length() : 32767);
    apply_fore_color(w, m.fore_color());
    QPointer<TextBoxEdit> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Text && guard->text() != qs(m.text())) guard->setText(qs(m.text()));
        if (p == c::Prop::ForeColor) apply_fore_color(guard, m.fore_color());
        if (p == c::Prop::Invalid) apply_invalid(guard, m.invalid());
        if (p == c::Prop::MaxLength) guard->setMaxLength(m.max_length() > 0 ? m.max_length() : 32767);
    });
    w->on_key = [&m](int key) { return m.user_key_press(key); };
    auto edited = [guard, &m]() {
        if (!guard) return;
        m.user_edit(guard->text().toStdString());
        // a refused edit (window disabled) or a correcting handler: show what the model holds
        if (guard && guard->text() != qs(m.text())) guard->setText(qs(m.text()));
    };
    w->on_filtered_edit = edited;
    QObject::connect(w, &QLineEdit::textEdited, w, [edited](const QString&) { edited(); });
    w->on_focus_out = [&m]() { m.user_lost_focus(); };
}

namespace {
void fill_list(const c::ComboBox& m, QComboBox* w) {
    const QSignalBlocker block(w);
    w->clear();
    for (const auto& e : m.list()) w->addItem(qs(e));
    w->setCurrentIndex(m.list_index());
}
}  // namespace

void bind(c::ComboBox& m, QComboBox* w) {
    init_common(m, w);
    fill_list(m, w);
    apply_fore_color(w, m.fore_color());
    QPointer<QComboBox> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::List) fill_list(m, guard);
        if (p == c::Prop::ListIndex && guard->currentIndex() != m.list_index()) {
            const QSignalBlocker block(guard.data());
            guard->setCurrentIndex(m.list_index());
        }
        if (p == c::Prop::ForeColor) apply_fore_color(guard, m.fore_color());
        if (p == c::Prop::Invalid) apply_invalid(guard, m.invalid());
    });
    QObject::connect(w, &QComboBox::activated, w, [guard, &m](int i) {
        m.user_select(i);
        if (guard && guard->currentIndex() != m.list_index()) {
            const QSignalBlocker block(guard.data());
            guard->setCurrentIndex(m.list_index());
        }
    });
}

namespace {
Qt::CheckState check_state(int value) {
    if (value == 1) return Qt::Checked;
    if (value == 2) return Qt::PartiallyChecked;
    return Qt::Unchecked;
}
}  // namespace

void bind(c::CheckBox& m, QCheckBox* w, QLabel* mark_label) {
    init_common(m, w);
    w->setText(qs(m.caption()));
    w->setCheckState(check_state(m.value()));
    apply_fore_color(w, m.fore_color());
    if (mark_label) apply_fore_color(mark_label, m.fore_color());
    QPointer<QCheckBox> guard(w);
    QPointer<QLabel> label_guard(mark_label);
    m.set_observer([guard, label_guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Value) {
            const QSignalBlocker block(guard.data());
            guard->setCheckState(check_state(m.value()));
        }
        if (p == c::Prop::Caption) guard->setText(qs(m.caption()));
        if (p == c::Prop::ForeColor) {
            apply_fore_color(guard, m.fore_color());
            if (label_guard) apply_fore_color(label_guard, m.fore_color());
        }
    });
    QObject::connect(w, &QCheckBox::clicked, w, [guard, &m](bool) {
        m.user_toggle();
        if (!guard) return;
        const QSignalBlocker block(guard.data());
        guard->setCheckState(check_state(m.value()));
    });
}

void bind(c::Label& m, ClickLabel* w, Placement placement) {
    init_common(m, w);
    w->setText(qs(m.caption()));
    apply_fore_color(w, m.fore_color());
    auto fill = [placement, &m]() {
        if (placement == Placement::twips) return true;
        if (placement == Placement::overlay) return false;
        return m.back_color() != c::kButtonFace;
    };
    apply_back_color(w, m.back_color(), fill());
    if (placement != Placement::layout) place_twips(m, w);
    QPointer<ClickLabel> guard(w);
    m.set_observer([guard, &m, placement, fill](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Caption) {
            guard->setText(qs(m.caption()));
            if (guard->tooltip_follows_text) guard->setToolTip(qs(m.caption()));
        }
        if (p == c::Prop::ForeColor) apply_fore_color(guard, m.fore_color());
        if (p == c::Prop::BackColor) apply_back_color(guard, m.back_color(), fill());
        if (placement != Placement::layout && is_geometry(p)) place_twips(m, guard);
    });
    w->on_click = [&m]() { m.user_click(); };
}

void bind(c::Frame& m, QGroupBox* w) {
    init_common(m, w);
    w->setTitle(qs(m.caption()));
    QPointer<QGroupBox> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Caption) guard->setTitle(qs(m.caption()));
    });
}

void bind(c::Frame& m, QFrame* w, QLabel* caption_label) {
    init_common(m, w);
    if (caption_label) caption_label->setText(qs(m.caption()));
    QPointer<QFrame> guard(w);
    QPointer<QLabel> label_guard(caption_label);
    m.set_observer([guard, label_guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Caption && label_guard) label_guard->setText(qs(m.caption()));
    });
}

void bind(c::Picture& m, QWidget* w, Placement placement) {
    init_common(m, w);
    if (placement != Placement::layout) place_twips(m, w);
    QPointer<QWidget> guard(w);
    m.set_observer([guard, &m, placement](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (placement != Placement::layout && is_geometry(p)) place_twips(m, guard);
    });
}

void bind(c::CommandButton& m, QPushButton* w) {
    init_common(m, w);
    w->setText(qs(m.caption()));
    QPointer<QPushButton> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Caption) guard->setText(qs(m.caption()));
    });
    QObject::connect(w, &QPushButton::clicked, w, [&m](bool) { m.user_click(); });
}

void bind(c::UpDown& m, UpDownWidget* w) {
    init_common(m, w);
    QPointer<UpDownWidget> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (guard) sync_common(m, guard.data(), p);
    });
    w->on_resize = [&m](int width_twips, int height_twips) {
        m.set_width(width_twips);
        m.set_height(height_twips);
    };
    w->on_resize(w->width() * kTwipsPerPixel, w->height() * kTwipsPerPixel);
    // the press is reported first, then the arrow's click, as the spinner control raises them
    w->on_press = [guard, &m](int x, int y) {
        m.user_mouse_down(x, y);
        if (!guard) return;
        if (guard->upper_pressed()) {
            m.user_up_click();
        } else {
            m.user_down_click();
        }
    };
    w->on_move = [&m](int x, int y) { m.user_mouse_move(x, y); };
    w->on_release = [&m]() { m.user_mouse_up(); };
}

void bind(c::ProgressBar& m, QProgressBar* w) {
    init_common(m, w);
    w->setRange(m.min(), m.max());
    w->setValue(m.value());
    QPointer<QProgressBar> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Min || p == c::Prop::Max) guard->setRange(m.min(), m.max());
        if (p == c::Prop::Value || p == c::Prop::Min || p == c::Prop::Max) guard->setValue(m.value());
    });
}

namespace {
void sync_tabs(const c::TabControl& m, QTabWidget* w) {
    const auto& caps = m.tab_captions();
    for (int t = 0; t < w->count() && t < static_cast<int>(caps.size()); ++t) {
        // a tab with unsent edits: red, and a mark after the name for those who cannot tell red
        const bool marked = m.tab_marked(t);
        w->setTabText(t, qs(caps[static_cast<std::size_t>(t)]) + (marked ? QStringLiteral(" *") : QString()));
        w->tabBar()->setTabTextColor(t, marked ? to_qcolor(c::kRed, w->palette()) : QColor());
    }
}
}  // namespace

void bind(c::TabControl& m, QTabWidget* w) {
    init_common(m, w);
    sync_tabs(m, w);
    w->setCurrentIndex(m.current_tab());
    QPointer<QTabWidget> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        sync_common(m, guard.data(), p);
        if (p == c::Prop::Caption || p == c::Prop::ForeColor) sync_tabs(m, guard);
        if (p == c::Prop::Value && guard->currentIndex() != m.current_tab()) guard->setCurrentIndex(m.current_tab());
    });
    QObject::connect(w, &QTabWidget::currentChanged, w, [&m](int t) { m.set_current_tab(t); });
}

void bind(c::MenuItem& m, QAction* a) {
    a->setObjectName(object_name(m));
    // a separator's caption "-" is what marks it; drawn, it is a line and nothing else
    a->setText(m.separator() ? QString() : qs(m.caption()));
    a->setSeparator(m.separator());
    a->setVisible(m.visible());
    a->setEnabled(m.enabled());
    QPointer<QAction> guard(a);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        if (p == c::Prop::Caption) {
            guard->setText(m.separator() ? QString() : qs(m.caption()));
            guard->setSeparator(m.separator());
        }
        if (p == c::Prop::Visible) guard->setVisible(m.visible());
        if (p == c::Prop::Enabled) guard->setEnabled(m.enabled());
    });
    QObject::connect(a, &QAction::triggered, a, [&m](bool) { m.user_click(); });
}

namespace {
void apply_window_back(const c::Window& m, QWidget* w) {
    if (m.back_color() == c::kWindowBackground) return;
    QPalette p = w->palette();
    for (auto g : kGroups) p.setColor(g, QPalette::Window, to_qcolor(m.back_color(), w->palette(), g));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
}  // namespace

void bind(c::Window& m, QWidget* w) {
    w->setObjectName(object_name(m));
    w->setWindowTitle(qs(m.caption()));
    w->setEnabled(m.enabled());
    apply_window_back(m, w);
    if (m.width() > 0 && m.height() > 0) w->resize(px(m.width()), px(m.height()));
    QPointer<QWidget> guard(w);
    m.set_observer([guard, &m](c::Prop p) {
        if (!guard) return;
        if (p == c::Prop::Caption) guard->setWindowTitle(qs(m.caption()));
        if (p == c::Prop::Enabled) guard->setEnabled(m.enabled());
        if (p == c::Prop::BackColor) apply_window_back(m, guard);
        if (p == c::Prop::Left || p == c::Prop::Top) guard->move(px(m.left()), px(m.top()));
        if ((p == c::Prop::Width || p == c::Prop::Height) && m.width() > 0 && m.height() > 0) {
            guard->resize(px(m.width()), px(m.height()));
        }
    });
}

}  // namespace plx::gui
