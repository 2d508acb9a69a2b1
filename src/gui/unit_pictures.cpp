#include "gui/unit_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>

#include "gui/binders.h"

namespace plx::gui {

namespace {
// the picture's origin inside its frame, in twips
constexpr int kOriginTwips = 120;
constexpr int kWidthTwips = 2070;
constexpr int kHeightTwips = 3885;

QRect local(int left, int top, int width, int height) {
    return {left - kOriginTwips, top - kOriginTwips, width, height};
}

// Rows of the two key columns: the lamps of T5 .. T12 lie on the outer edge of each key.
void add_column_keys(std::vector<UnitKey>& keys, std::initializer_list<std::pair<int, int>> rows) {
    int button = 5;
    for (auto [top, height] : rows) {
        keys.push_back({button++, local(420, top, 710, height)});
        keys.push_back({button++, local(1240, top, 710, height)});
    }
}
}  // namespace

std::vector<UnitKey> unit_keys(int buttons) {
    std::vector<UnitKey> keys;
    if (buttons == 12) {
        const int centres[] = {667, 982, 1342, 1657};
        for (int n = 0; n < 4; ++n) keys.push_back({n + 1, local(centres[n] - 145, 1860, 290, 300)});
    }
    if (buttons == 2) {
        add_column_keys(keys, {{2235, 1520}});
    } else if (buttons == 4) {
        add_column_keys(keys, {{2260, 730}, {3005, 735}});
    } else {
        add_column_keys(keys, {{2265, 330}, {2640, 330}, {3000, 330}, {3375, 330}});
    }
    return keys;
}

UnitPicture::UnitPicture(int buttons, QWidget* parent) : QWidget(parent), buttons_(buttons) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize UnitPicture::sizeHint() const { return {px(kWidthTwips), px(kHeightTwips)}; }

void UnitPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / double(kWidthTwips), height() / double(kHeightTwips));

    // housing
    QLinearGradient housing(0, 0, kWidthTwips, kHeightTwips);
    housing.setColorAt(0, QColor(250, 250, 250));
    housing.setColorAt(1, QColor(214, 216, 220));
    p.setPen(QPen(QColor(120, 124, 130), 30));
    p.setBrush(housing);
    p.drawRoundedRect(QRectF(15, 15, kWidthTwips - 30, kHeightTwips - 30), 150, 150);

    // display with its bezel
    p.setPen(QPen(QColor(70, 74, 80), 25));
    p.setBrush(QColor(60, 64, 70));
    p.drawRoundedRect(QRectF(120, 120, kWidthTwips - 240, 1500), 60, 60);
    QLinearGradient lcd(0, 200, 0, 1540);
    lcd.setColorAt(0, QColor(200, 222, 200));
    lcd.setColorAt(1, QColor(168, 196, 170));
    p.setPen(Qt::NoPen);
    p.setBrush(lcd);
    p.drawRect(QRectF(210, 210, kWidthTwips - 420, 1320));

    // keys; the key numbers help to find a button's row on the Tasten tab
    QFont f = font();
    f.setPixelSize(buttons_ == 12 ? 110 : 150);
    f.setBold(true);
    p.setFont(f);
    for (const auto& key : unit_keys(buttons_)) {
        QLinearGradient face(key.twips.topLeft(), key.twips.bottomLeft());
        face.setColorAt(0, QColor(245, 246, 248));
        face.setColorAt(1, QColor(196, 199, 205));
        p.setPen(QPen(QColor(105, 110, 118), 20));
        p.setBrush(face);
        p.drawRoundedRect(key.twips, 40, 40);
        p.setPen(QColor(90, 94, 100));
        QRect text_area = key.twips;
        if (key.button <= 4) text_area.setTop(key.twips.top() + 150);
        p.drawText(text_area, Qt::AlignCenter, QStringLiteral("T%1").arg(key.button));
    }
}

LogoPicture::LogoPicture(QWidget* parent) : QWidget(parent) { setFixedSize(210, 52); }

void LogoPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);

    // badge with the product name
    QLinearGradient badge(0, 0, 0, 52);
    badge.setColorAt(0, QColor(0, 92, 170));
    badge.setColorAt(1, QColor(0, 58, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(badge);
    p.drawRoundedRect(QRectF(4, 6, 78, 40), 6, 6);
    QFont big = font();
    big.setPixelSize(20);
    big.setBold(true);
    p.setFont(big);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 6, 78, 40), Qt::AlignCenter, QStringLiteral("PLX24"));

    // three signal arcs for the bus
    p.setPen(QPen(QColor(0, 92, 170), 2.5));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const double r = 6 + 5 * i;
        p.drawArc(QRectF(92 - r, 26 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }

    QFont name = font();
    name.setPixelSize(13);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(0, 58, 120));
    p.drawText(QRectF(112, 6, 96, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvanto"));
    QFont small = font();
    small.setPixelSize(10);
    p.setFont(small);
    p.setPen(QColor(70, 74, 80));
    p.drawText(QRectF(112, 24, 96, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Sensortechnik"));
    p.drawText(QRectF(112, 36, 96, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RS485 · Modbus"));
}

QIcon window_icon() {
    QSvgRenderer svg(QStringLiteral(":/plx24cfg.svg"));
    QIcon icon;
    if (!svg.isValid()) return icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        svg.render(&p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace plx::gui
