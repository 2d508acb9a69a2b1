#pragma once
// Qt binders: each mirrors one control model into its widget and feeds the user's input back through
// the model's user_* entry points. No logic lives here; the model's handlers decide everything.

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <string>

#include "controls/controls.h"

class QAction;

namespace plx::gui {

// 15 twips per logical pixel at 96 dpi; Qt scales logical pixels for high-DPI screens itself.
inline constexpr int kTwipsPerPixel = 15;
inline int px(int twips) { return twips / kTwipsPerPixel; }

inline QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
// "txt_data_cfg(34)" for an element of a control array, the bare name otherwise.
QString object_name(const controls::Control& c);

// A colour value of the window controls: 0x00BBGGRR, or a system colour when the top bit is set.
QColor to_qcolor(controls::Color c, const QPalette& palette, QPalette::ColorGroup group = QPalette::Active);
// Text colour of a widget; the normal button-text colour restores the style's own palette.
void apply_fore_color(QWidget* w, controls::Color c);

// A line edit whose character keys pass the model's KeyPress filter first.
class TextBoxEdit : public QLineEdit {
public:
    explicit TextBoxEdit(QWidget* parent = nullptr);
    std::function<int(int key)> on_key;  // returns the key to use, 0 = discard
    std::function<void()> on_focus_out;
    std::function<void()> on_filtered_edit;  // a paste went through the filter

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

// A label with a click event, also usable as a lamp or link.
class ClickLabel : public QLabel {
public:
    explicit ClickLabel(QWidget* parent = nullptr);
    std::function<void()> on_click;
    // the whole caption in the tooltip as well, for a message a narrow window might squeeze
    bool tooltip_follows_text = false;

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// A one-line label that draws a text too long for its width cut at its end ("…"); the caller puts
// the whole text in the tooltip. It asks for its text's width and makes do with less.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};

// The up-down spinner: two arrows stacked, reporting press, move and release with the pointer in
// twips, as the window controls deliver them.
class UpDownWidget : public QWidget {
public:
    explicit UpDownWidget(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    std::function<void(int x_twips, int y_twips)> on_press;
    std::function<void(int x_twips, int y_twips)> on_move;
    std::function<void()> on_release;
    std::function<void(int w_twips, int h_twips)> on_resize;
    bool upper_pressed() const { return pressed_ == 1; }
    bool lower_pressed() const { return pressed_ == 2; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    int pressed_ = 0;  // 0 none, 1 upper arrow, 2 lower arrow
};

void bind(controls::TextBox& m, TextBoxEdit* w);
void bind(controls::ComboBox& m, QComboBox* w);
// mark_label: the caption label that shows the check box's pending-change mark (the box has no text).
void bind(controls::CheckBox& m, QCheckBox* w, QLabel* mark_label = nullptr);
// Where a label or picture gets its place: from the layout, or from the model in twips (lamps, which
// fill their background, and overlays on a picture, which are transparent).
enum class Placement {
    layout,
    twips,
    overlay,
};
void bind(controls::Label& m, ClickLabel* w, Placement placement = Placement::layout);
void bind(controls::Frame& m, QGroupBox* w);
// Borderless frame; caption_label, if given, shows the frame's caption.
void bind(controls::Frame& m, QFrame* w, QLabel* caption_label = nullptr);
void bind(controls::Picture& m, QWidget* w, Placement placement = Placement::twips);
void bind(controls::CommandButton& m, QPushButton* w);
void bind(controls::UpDown& m, UpDownWidget* w);
void bind(controls::ProgressBar& m, QProgressBar* w);
void bind(controls::TabControl& m, QTabWidget* w);
void bind(controls::MenuItem& m, QAction* a);
void bind(controls::Window& m, QWidget* w);

}  // namespace plx::gui
