#include "gui/trend_view.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "device/number_text.h"
#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "lang/line_texts.h"
#include "lang/recording_texts.h"

namespace plx::gui {

namespace {

using lang::RecordingText;
using recording::Trend;
namespace regmap = device::regmap;

QString say(RecordingText id, const std::string& language, const std::vector<std::string>& args = {}) {
    return qs(lang::recording_text(id, language, args));
}

// distinct on white and for the common kinds of colour blindness
const QColor kSeriesColours[] = {
    QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00), QColor(0x00, 0x9E, 0x73), QColor(0xCC, 0x79, 0xA7),
    QColor(0x56, 0xB4, 0xE9), QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x00, 0x00),
};
const QColor kGap(0xD0, 0x00, 0x00);

// A step of 1, 2 or 5 times a power of ten that gives about `count` ticks over `span`.
double nice_step(double span, int count) {
    const double raw = span / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw) return m * power;
    }
    return 10.0 * power;
}

// Time ticks on whole seconds and minutes.
std::int64_t time_step_ms(std::int64_t span_ms) {
    constexpr std::int64_t steps[] = {5'000,   10'000,  15'000,  30'000, 60'000,
                                      120'000, 300'000, 600'000, 900'000};
    for (std::int64_t s : steps) {
        if (span_ms / s <= 6) return s;
    }
    return 1'800'000;
}

struct Axis {
    double low = 0;
    double high = 1;
    QString unit;
};

Axis axis_for(const Trend& trend, const std::vector<int>& columns, Trend::Ms from, Trend::Ms to) {
    Axis a;
    if (!columns.empty())
        a.unit = qs(regmap::unit_symbol(
            recording::unit_of(recording::columns()[static_cast<std::size_t>(columns.front())])));
    const auto r = trend.range(columns, from, to);
    if (!r) return a;
    // a steady value still gets a scale around it, and no line runs along the frame
    const double span = std::max(r->second - r->first, 1.0);
    const double middle = (r->first + r->second) / 2;
    const double step = nice_step(span * 1.2, 4);
    a.low = std::floor((middle - span * 0.6) / step) * step;
    a.high = std::ceil((middle + span * 0.6) / step) * step;
    return a;
}

}  // namespace

// ---------------------------------------------------------------- plot

TrendPlot::TrendPlot(const recording::Trend& trend, const ProgramState& state, QWidget* parent)
    : QWidget(parent), trend_(trend), state_(state) {
    setObjectName(QStringLiteral("trend_plot"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize TrendPlot::minimumSizeHint() const {
    return {420, 260};
}

void TrendPlot::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0 && on_zoom) on_zoom(steps);
    e->accept();
}

void TrendPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    const QFontMetrics fm(font());
    const std::string& language = state_.language_code;
    const char separator = device::separator_of(state_.decimal_separator);

    const Trend::Ms now = QDateTime::currentMSecsSinceEpoch();
    const Trend::Ms to = trend_.right_edge(now);
    const Trend::Ms from = to - trend_.span().count();

    // the ticked values by unit: the first unit on the left axis, all others on the right
    std::vector<int> left;
    std::vector<int> right;
    for (int c : trend_.ticked) {
        const auto u = recording::unit_of(recording::columns()[static_cast<std::size_t>(c)]);
        const bool first_unit =
            left.empty() ||
            recording::unit_of(recording::columns()[static_cast<std::size_t>(left.front())]) == u;
        (first_unit ? left : right).push_back(c);
    }
    const Axis left_axis = axis_for(trend_, left, from, to);
    const Axis right_axis = axis_for(trend_, right, from, to);

    const int legend_lines = static_cast<int>(trend_.ticked.size());
    const int label_width = fm.horizontalAdvance(QStringLiteral("-888,8")) + 10;
    // above: the notes; below: the time labels, then a legend line per value
    const QRect area(label_width + 4, fm.height() + 6, width() - 2 * label_width - 12,
                     height() - 2 * fm.height() - 20 - legend_lines * (fm.height() + 2));
    if (area.width() < 40 || area.height() < 40) return;

    const auto x_of = [&](Trend::Ms t) {
        return area.left() + static_cast<double>(t - from) * area.width() / static_cast<double>(to - from);
    };
    const auto y_of = [&](double v, const Axis& a) {
        return area.bottom() - (v - a.low) * area.height() / (a.high - a.low);
    };

    // failed polls first, under everything
    for (const Trend::Band& b : trend_.gaps(from, to)) {
        const double x0 = std::max<double>(x_of(b.from), area.left());
        const double x1 = std::min<double>(x_of(b.to), area.right());
        QColor fill = kGap;
        fill.setAlpha(40);
        p.fillRect(QRectF(x0, area.top(), std::max(x1 - x0, 2.0), area.height()), fill);
    }

    // grid, time labels
    p.setPen(QColor(0xDD, 0xDD, 0xDD));
    const std::int64_t step = time_step_ms(to - from);
    for (std::int64_t t = (from / step + 1) * step; t <= to; t += step) {
        const double x = x_of(t);
        p.setPen(QColor(0xDD, 0xDD, 0xDD));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        const QString label = QDateTime::fromMSecsSinceEpoch(t).toString(
            step < 60'000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
        p.setPen(Qt::black);
        p.drawText(QPointF(x - fm.horizontalAdvance(label) / 2.0, area.bottom() + fm.ascent() + 4), label);
    }
    const auto draw_axis = [&](const Axis& a, bool on_left) {
        const double vstep = nice_step(a.high - a.low, 4);
        for (double v = std::ceil(a.low / vstep - 1e-9) * vstep; v <= a.high + vstep / 1000; v += vstep) {
            const double y = y_of(v, a);
            if (on_left) {
                p.setPen(QColor(0xDD, 0xDD, 0xDD));
                p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
            }
            p.setPen(Qt::black);
            const QString label = qs(device::format_number(std::round(v * 1000) / 1000, separator));
            const double x = on_left ? area.left() - 6 - fm.horizontalAdvance(label) : area.right() + 6;
            p.drawText(QPointF(x, y + fm.ascent() / 2.0 - 1), label);
        }
        // the unit inside the corner, clear of the top label
        const double x = on_left ? area.left() + 4 : area.right() - 4 - fm.horizontalAdvance(a.unit);
        p.drawText(QPointF(x, area.top() + fm.ascent() + 2), a.unit);
    };
    if (!left.empty()) draw_axis(left_axis, true);
    if (!right.empty()) draw_axis(right_axis, false);
    p.setPen(QColor(0x88, 0x88, 0x88));
    p.drawRect(area);

    // the lines, clipped to the area
    p.save();
    p.setClipRect(area);
    for (std::size_t n = 0; n < trend_.ticked.size(); ++n) {
        const int c = trend_.ticked[n];
        const bool on_left = std::find(left.begin(), left.end(), c) != left.end();
        const Axis& a = on_left ? left_axis : right_axis;
        QPen pen(kSeriesColours[n % std::size(kSeriesColours)], 2);
        if (!on_left) pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        for (const auto& run : trend_.segments(c, from, to)) {
            if (run.size() == 1) {
                p.setBrush(pen.color());
                p.drawEllipse(QPointF(x_of(run[0].at), y_of(run[0].value, a)), 2.0, 2.0);
                p.setBrush(Qt::NoBrush);
                continue;
            }
            QPainterPath path(QPointF(x_of(run[0].at), y_of(run[0].value, a)));
            for (std::size_t i = 1; i < run.size(); ++i) path.lineTo(x_of(run[i].at), y_of(run[i].value, a));
            p.drawPath(path);
        }
    }
    p.restore();

    // legend: colour, name, the newest value in the window
    int y = area.bottom() + 2 * fm.height() + 10;
    for (std::size_t n = 0; n < trend_.ticked.size(); ++n) {
        const int c = trend_.ticked[n];
        const auto& column = recording::columns()[static_cast<std::size_t>(c)];
        QString text = qs(recording::column_name(column, language));
        // the value at the right edge (the last run may carry a point past it)
        const auto runs = trend_.segments(c, from, to);
        if (!runs.empty()) {
            const auto& run = runs.back();
            const auto last =
                std::find_if(run.rbegin(), run.rend(), [to](const Trend::Point& pt) { return pt.at <= to; });
            if (last != run.rend())
                text += QStringLiteral(": ") + qs(device::format_number(last->value, separator));
        }
        QPen pen(kSeriesColours[n % std::size(kSeriesColours)], 2);
        if (std::find(right.begin(), right.end(), c) != right.end()) pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        p.drawLine(QPointF(area.left(), y - fm.ascent() / 2.0 + 1),
                   QPointF(area.left() + 22, y - fm.ascent() / 2.0 + 1));
        p.setPen(Qt::black);
        p.drawText(QPointF(area.left() + 28, y), fm.elidedText(text, Qt::ElideRight, area.width() - 28));
        y += fm.height() + 2;
    }

    // what the red bands are; paused; or what to do when there is nothing to show
    const QString gap_text = say(RecordingText::gap_legend, language);
    QColor swatch = kGap;
    swatch.setAlpha(40);
    const int gx = area.right() - fm.horizontalAdvance(gap_text) - 18;
    p.fillRect(QRect(gx, 3, 12, fm.height() - 2), swatch);
    p.setPen(Qt::black);
    p.drawText(QPointF(gx + 16, fm.ascent() + 2), gap_text);
    if (trend_.paused()) {
        p.setPen(kGap);
        p.drawText(
            QPointF(area.left(), fm.ascent() + 2),
            fm.elidedText(say(RecordingText::paused_note, language), Qt::ElideRight, gx - area.left() - 12));
    }
    if (trend_.ticked.empty() || trend_.samples().empty()) {
        p.setPen(QColor(0x66, 0x66, 0x66));
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, say(RecordingText::trend_hint, language));
    }
}

// ---------------------------------------------------------------- view

TrendView::TrendView(FrmConfigView& view, recording::MonitorRecording::Parts parts)
    : QObject(&view), state_(parts.state) {
    const std::string& language = state_.language_code;
    recording_ = std::make_unique<recording::MonitorRecording>(parts, [] { return QDateTime::currentDateTime(); });

    auto* group = new QGroupBox(say(RecordingText::trend_title, language));
    group->setObjectName(QStringLiteral("trend_group"));
    auto* v = new QVBoxLayout(group);

    record_ = new QPushButton;
    record_->setObjectName(QStringLiteral("record_button"));
    file_ = new QLabel;
    file_->setObjectName(QStringLiteral("record_file"));
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* top = new QHBoxLayout;
    top->addWidget(record_);
    top->addWidget(file_, 1);
    v->addLayout(top);

    plot_ = new TrendPlot(recording_->trend(), state_);
    v->addWidget(plot_, 1);

    span_ = new QComboBox;
    span_->setObjectName(QStringLiteral("trend_span"));
    for (auto s : Trend::kSpans)
        span_->addItem(say(RecordingText::span_minutes, language, {std::to_string(s.count())}));
    span_->setCurrentIndex(recording_->trend().span_index());
    pause_ = new QPushButton(qs(lang::line_text(lang::LineText::pause, language)));
    pause_->setObjectName(QStringLiteral("trend_pause"));
    pause_->setCheckable(true);
    values_ = new QListWidget;
    values_->setObjectName(QStringLiteral("trend_values"));
    for (std::size_t c = 0; c < recording::columns().size(); ++c) {
        auto* item =
            new QListWidgetItem(qs(recording::column_name(recording::columns()[c], language)), values_);
        const auto& ticked = recording_->trend().ticked;
        item->setCheckState(std::find(ticked.begin(), ticked.end(), static_cast<int>(c)) != ticked.end()
                                ? Qt::Checked
                                : Qt::Unchecked);
    }
    values_->setMaximumHeight(values_->fontMetrics().height() * 5 + 8);
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(say(RecordingText::span, language)));
    controls->addWidget(span_);
    controls->addWidget(pause_);
    controls->addStretch(1);
    v->addLayout(controls);
    v->addWidget(values_);
    view.monitor_side()->addWidget(group, 1);

    connect(record_, &QPushButton::clicked, this, [this] { recording_->record_clicked(); });
    connect(span_, &QComboBox::currentIndexChanged, this, [this](int index) {
        recording_->trend().set_span_index(index);
        plot_->update();
    });
    plot_->on_zoom = [this](int steps) {
        recording_->trend().zoom(steps);
        span_->setCurrentIndex(recording_->trend().span_index());
    };
    connect(pause_, &QPushButton::toggled, this, [this](bool on) {
        recording_->trend().set_paused(on, QDateTime::currentMSecsSinceEpoch());
        pause_->setText(qs(lang::line_text(on ? lang::LineText::resume : lang::LineText::pause,
                                           state_.language_code)));
        plot_->update();
    });
    connect(values_, &QListWidget::itemChanged, this, [this] {
        auto& ticked = recording_->trend().ticked;
        ticked.clear();
        for (int c = 0; c < values_->count(); ++c) {
            if (values_->item(c)->checkState() == Qt::Checked) ticked.push_back(c);
        }
        plot_->update();
    });
    recording_->on_changed = [this] { refresh(); };
    // the time axis moves on between polls
    tick_ = new QTimer(this);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, [this] {
        if (!recording_->trend().paused()) plot_->update();
    });
    tick_->start();
    refresh();
}

TrendView::~TrendView() {
    recording_->on_changed = nullptr;
}

void TrendView::refresh() {
    record_->setText(qs(recording_->button_text()));
    file_->setText(qs(recording_->status_text()));
    plot_->update();
}

}  // namespace plx::gui
