#include "gui/traffic_view.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include "device/number_text.h"
#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "lang/line_texts.h"
#include "traffic/status.h"

namespace plx::gui {

namespace {

using lang::LineText;

QString say(LineText id, const std::string& language, const std::vector<std::string>& args = {}) {
    return qs(lang::line_text(id, language, args));
}

traffic::Style style_of(const ProgramState& s) {
    return {s.language_code, device::separator_of(s.decimal_separator)};
}

// rows arriving in a burst (a read-out) are shown together
constexpr int kSyncDelayMs = 50;

}  // namespace

// ---------------------------------------------------------------- model

TrafficModel::TrafficModel(const traffic::Recorder& recorder, traffic::Style style, QObject* parent)
    : QAbstractTableModel(parent), table_(recorder) {
    table_.style = std::move(style);
}

int TrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.row_count());
}

int TrafficModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : traffic::column_count;
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const traffic::Row* row = table_.row(static_cast<std::size_t>(index.row()));
    if (row == nullptr) return {};
    const auto column = static_cast<traffic::Column>(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return qs(table_.cell(*row, column));
        case Qt::ToolTipRole:
            // long frames and meanings are cut in the cell
            if (column == traffic::column_frame || column == traffic::column_meaning) {
                return qs(table_.cell(*row, column));
            }
            return {};
        case Qt::ForegroundRole:
            if (traffic::Table::is_failure(*row)) return QColor(0xB0, 0x00, 0x00);
            return {};
        case Qt::FontRole:
            if (column == traffic::column_frame) return QFontDatabase::systemFont(QFontDatabase::FixedFont);
            return {};
        default:
            return {};
    }
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= traffic::column_count)
        return {};
    return qs(traffic::Table::header(static_cast<traffic::Column>(section), table_.style.language_code));
}

std::size_t TrafficModel::sync() {
    const traffic::Table::Change c = table_.pending();
    if (c.reset) {
        beginResetModel();
        table_.accept_reset();
        endResetModel();
        return 0;
    }
    if (c.dropped > 0) {
        beginRemoveRows({}, 0, static_cast<int>(c.dropped) - 1);
        table_.accept_drop();
        endRemoveRows();
    }
    if (c.appended > 0) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(c.appended) - 1);
        table_.accept_append();
        endInsertRows();
    }
    return c.dropped;
}

// ---------------------------------------------------------------- window

TrafficWindow::TrafficWindow(LineParts parts) : QWidget(nullptr, Qt::Window), parts_(parts) {
    const std::string& language = parts_.state.language_code;
    setObjectName(QStringLiteral("traffic_window"));
    setWindowTitle(say(LineText::window_title, language));
    // the main window's end ends the program, whatever this window does
    setAttribute(Qt::WA_QuitOnClose, false);

    model_ = new TrafficModel(parts_.traffic, style_of(parts_.state), this);
    // the time of day a row is shown with, from the program's clock
    model_->table().time_of_day_offset =
        std::chrono::milliseconds(QTime::currentTime().msecsSinceStartOfDay()) -
        parts_.clock.now();

    view_ = new QTableView;
    view_->setObjectName(QStringLiteral("traffic_rows"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideRight);
    view_->verticalHeader()->setVisible(false);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(traffic::column_meaning, QHeaderView::Stretch);
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setColumnWidth(traffic::column_time,
                          fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000")) + 16);
    view_->setColumnWidth(traffic::column_direction,
                          fontMetrics().horizontalAdvance(QStringLiteral("Richtung")) + 16);
    view_->setColumnWidth(traffic::column_frame, fixed.horizontalAdvance(QString(30, u'0')));
    view_->setColumnWidth(traffic::column_verdict, fontMetrics().horizontalAdvance(QString(34, u'x')));

    pause_ = new QPushButton(say(LineText::pause, language));
    pause_->setObjectName(QStringLiteral("traffic_pause"));
    pause_->setCheckable(true);
    auto* clear = new QPushButton(say(LineText::clear, language));
    clear->setObjectName(QStringLiteral("traffic_clear"));
    auto* copy = new QPushButton(say(LineText::copy, language));
    copy->setObjectName(QStringLiteral("traffic_copy"));
    auto* save = new QPushButton(say(LineText::save, language));
    save->setObjectName(QStringLiteral("traffic_save"));
    count_ = new QLabel;
    paused_note_ = new QLabel(say(LineText::paused_note, language));
    paused_note_->setVisible(false);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(pause_), static_cast<QWidget*>(clear),
                       static_cast<QWidget*>(copy), static_cast<QWidget*>(save)}) {
        buttons->addWidget(w);
    }
    buttons->addWidget(paused_note_);
    buttons->addStretch(1);
    buttons->addWidget(count_);
    auto* v = new QVBoxLayout(this);
    v->addLayout(buttons);
    v->addWidget(view_, 1);

    connect(pause_, &QPushButton::toggled, this, [this](bool on) { set_paused(on); });
    connect(clear, &QPushButton::clicked, this, [this] { parts_.traffic.clear(); });
    connect(copy, &QPushButton::clicked, this, [this] { copy_selected(); });
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    auto* copy_keys = new QAction(this);
    copy_keys->setShortcut(QKeySequence::Copy);
    copy_keys->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy_keys, &QAction::triggered, this, [this] { copy_selected(); });
    addAction(copy_keys);

    resize(1100, 460);
    update_count();
}

TrafficWindow::~TrafficWindow() {
    if (listening_) parts_.traffic.remove_listener(this);
}

void TrafficWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!listening_) parts_.traffic.add_listener(this);
    listening_ = true;
    sync_now();
}

editor::WindowRect TrafficWindow::place() const {
    return {pos().x(), pos().y(), width(), height()};
}

void TrafficWindow::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (parts_.remembered) parts_.remembered->remember(editor::Place::traffic_window, place());
    // a closed window formats nothing and is told nothing
    if (listening_) parts_.traffic.remove_listener(this);
    listening_ = false;
}

void TrafficWindow::rows_changed() {
    if (sync_due_) return;
    sync_due_ = true;
    QTimer::singleShot(kSyncDelayMs, this, [this] { sync_now(); });
}

void TrafficWindow::sync_now() {
    sync_due_ = false;
    QScrollBar* bar = view_->verticalScrollBar();
    // newest at the bottom, followed unless the engineer scrolled up to read
    const bool follow = bar->value() >= bar->maximum();
    const int at = bar->value();
    const auto dropped = static_cast<int>(model_->sync());
    if (follow) {
        view_->scrollToBottom();
    } else if (dropped > 0) {
        // a full ring drops its oldest rows: the rows being read stay where they are (the table
        // scrolls by rows)
        bar->setValue(std::max(0, at - dropped));
    }
    update_count();
}

void TrafficWindow::update_count() {
    const std::string& language = parts_.state.language_code;
    count_->setText(say(LineText::row_count, language,
                        {std::to_string(model_->rowCount()), std::to_string(parts_.traffic.capacity())}));
}

void TrafficWindow::set_paused(bool paused) {
    parts_.traffic.set_paused(paused);
    const std::string& language = parts_.state.language_code;
    pause_->setChecked(paused);
    pause_->setText(say(paused ? LineText::resume : LineText::pause, language));
    paused_note_->setVisible(paused);
}

QString TrafficWindow::selected_text() const {
    std::vector<int> rows;
    for (const QModelIndex& i : view_->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    QString out;
    const traffic::Table& table = model_->table();
    for (int r : rows) {
        if (const traffic::Row* row = table.row(static_cast<std::size_t>(r)))
            out += qs(table.line(*row)) + u'\n';
    }
    return out;
}

void TrafficWindow::copy_selected() const {
    const QString text = selected_text();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void TrafficWindow::save() {
    const std::string& language = parts_.state.language_code;
    const auto path = parts_.files.save_file(lang::line_text(LineText::save_title, language),
                                                        lang::line_text(LineText::save_filter, language));
    if (!path) return;
    sync_now();
    const traffic::Table& table = model_->table();
    QSaveFile file(qs(*path));
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Text);
    if (ok) {
        std::string text = table.header_line() + "\n";
        for (std::size_t i = 0; i < table.row_count(); ++i) {
            if (const traffic::Row* row = table.row(i)) text += table.line(*row) + "\n";
        }
        ok = file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
    }
    // complete or not at all: an existing file of that name stays as it was
    if (ok) ok = file.commit();
    if (!ok) {
        parts_.messages.show_ok(
            lang::line_text(LineText::save_failed, language, {*path, file.errorString().toStdString()}));
    }
}

// ---------------------------------------------------------------- menu and status bar

LineView::LineView(FrmConfigView& view, LineParts parts) : QObject(&view), view_(view), parts_(parts) {
    const std::string& language = parts_.state.language_code;
    action_ = new QAction(say(LineText::menu_entry, language), &view);
    action_->setObjectName(QStringLiteral("traffic_action"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    QMenuBar* bar = view.menuBar();
    const QList<QAction*> entries = bar->actions();
    // after "&Datei", before "&Über"
    bar->insertAction(entries.size() > 1 ? entries[1] : nullptr, action_);
    connect(action_, &QAction::triggered, this, [this] { show_traffic(); });

    // two short lines beside the status line's note: the link, then the counters
    auto* fields = new QWidget;
    fields->setObjectName(QStringLiteral("line_status"));
    auto* g = new QGridLayout(fields);
    g->setContentsMargins(6, 0, 2, 0);
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(0);
    link_ = new ElidedLabel;
    link_->setObjectName(QStringLiteral("line_link"));
    age_ = new QLabel;
    age_->setObjectName(QStringLiteral("line_age"));
    polling_ = new QLabel;
    polling_->setObjectName(QStringLiteral("line_polling"));
    counters_ = new QLabel;
    counters_->setObjectName(QStringLiteral("line_counters"));
    g->addWidget(link_, 0, 0);
    g->addWidget(age_, 0, 1);
    g->addWidget(polling_, 0, 2);
    g->addWidget(counters_, 1, 0, 1, 3);
    g->setColumnStretch(3, 1);
    // a long device path is cut at its end rather than widening the window; the tooltip has it whole
    view.statusBar()->addWidget(fields, 1);

    // the age of the last answer moves on by itself
    tick_ = new QTimer(this);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, [this] { refresh(); });
    tick_->start();
    parts_.traffic.add_follower(this);
    refresh();
}

LineView::~LineView() {
    parts_.traffic.remove_follower(this);
}

void LineView::frame_sent(const modbus::SentFrame&) {
    refresh_soon();
}

void LineView::received(const modbus::Reception&) {
    refresh_soon();
}

void LineView::refresh_soon() {
    // once per turn of the event loop, however many frames it brought
    if (refresh_due_) return;
    refresh_due_ = true;
    QTimer::singleShot(0, this, [this] {
        refresh_due_ = false;
        refresh();
    });
}

void LineView::show_traffic() {
    if (!window_) {
        window_ = std::make_unique<TrafficWindow>(parts_);
        place_window();
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

std::optional<editor::WindowRect> LineView::traffic_place() const {
    if (!window_ || !window_->isVisible()) return std::nullopt;
    return window_->place();
}

void LineView::place_window() {
    const QScreen* screen = view_.screen();
    if (screen == nullptr) return;
    const QRect a = screen->availableGeometry();
    const editor::WindowRect area{a.x(), a.y(), a.width(), a.height()};
    const QSize wanted = window_->size();
    editor::WindowRect r;
    if (const auto last =
            parts_.remembered ? parts_.remembered->place(editor::Place::traffic_window) : std::nullopt) {
        r = editor::fit_on_screen(*last, area);
    } else {
        const QRect main = view_.frameGeometry();
        r = editor::beside({main.x(), main.y(), main.width(), main.height()}, wanted.width(), wanted.height(),
                           area);
    }
    window_->resize(r.width, r.height);
    window_->move(r.left, r.top);
}

void LineView::refresh() {
    const ProgramState& s = parts_.state;
    const std::string& language = s.language_code;
    modbus::SerialPort& port = parts_.port;
    traffic::LinkFacts facts;
    facts.port_number = s.port_number;
    facts.device = port.device_name(s.port_number);
    facts.settings = s.baud_text + "," + s.parity_text + "," + s.data_bits_text + "," + s.stop_bits_text;
    facts.mode = s.modbus_mode;
    facts.open = port.port_open();
    facts.gone = !parts_.link.lost_device().empty();
    if (const auto line = scanning_line ? scanning_line() : std::nullopt) {
        facts.scanning = true;
        facts.settings = modbus::settings_text(*line);
        facts.mode = std::string(modbus::mode_text(line->framing));
    }
    facts.polling = parts_.polling_box.value() == 1;
    facts.poll_interval = parts_.poll_timer.interval();
    link_->setText(qs(traffic::link_state_text(facts, language)));
    link_->setToolTip(link_->text());
    const auto& monitor = parts_.monitor;
    age_->setText(qs(monitor.stale() ? monitor.note()
                                     : traffic::answer_age_text(parts_.traffic.last_valid_answer(),
                                                                parts_.clock.now(), language)));
    polling_->setText(qs(traffic::polling_text(facts, language)));
    counters_->setText(qs(traffic::counters_text(parts_.traffic.counters(), language)));
}

}  // namespace plx::gui
