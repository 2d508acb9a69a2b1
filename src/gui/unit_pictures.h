#pragma once
// Drawn pictures of the main window: the unit's front view with 2, 4, 8 or 12 buttons, drawn so that
// the monitor lamps (their twips geometry is the window's design) sit on the buttons, the logo and
// the window icon.

#include <vector>

#include <QIcon>
#include <QRect>
#include <QWidget>

namespace plx::gui {

struct UnitKey {
    int button;   // T1 .. T12
    QRect twips;  // inside the picture, which lies at (120, 120) in its frame
};

// The keys of a unit with that many buttons (2, 4, 8 or 12).
std::vector<UnitKey> unit_keys(int buttons);

class UnitPicture : public QWidget {
public:
    UnitPicture(int buttons, QWidget* parent = nullptr);
    int buttons() const { return buttons_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int buttons_;
};

// The program's icon for its windows and the task bar: the desktop entry's SVG at the usual sizes.
QIcon window_icon();

// Image1: the 210 x 52 pixel logo.
class LogoPicture : public QWidget {
public:
    explicit LogoPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {210, 52}; }

protected:
    void paintEvent(QPaintEvent* e) override;
};

}  // namespace plx::gui
