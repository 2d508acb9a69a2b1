#include "gui/scan_view.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "lang/texts.h"

namespace plx::gui {

namespace {

using lang::Message;

QString say(Message id, const std::string& language, const std::vector<std::string>& args = {}) {
    return qs(lang::message(id, language, args));
}

QHBoxLayout* boxes_row(QGridLayout* g, int row, const QString& caption) {
    g->addWidget(new QLabel(caption), row, 0);
    auto* h = new QHBoxLayout;
    g->addLayout(h, row, 1);
    return h;
}

}  // namespace

ScanDialog::ScanDialog(editor::BusScan& scan, const std::string& language, QWidget* parent)
    : QDialog(parent), scan_(scan) {
    setObjectName(QStringLiteral("bus_scan_dialog"));
    setWindowTitle(say(Message::bus_scan_title, language));
    auto* v = new QVBoxLayout(this);
    auto* heading = new QLabel(qs(scan.port_text()));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    v->addWidget(heading);

    const editor::BusScan::Choice preset = scan.preset();
    auto* g = new QGridLayout;
    QHBoxLayout* h = boxes_row(g, 0, say(Message::bus_scan_bauds, language));
    for (int b : modbus::kBauds) {
        auto* c = new QCheckBox(QString::number(b));
        c->setChecked(std::find(preset.bauds.begin(), preset.bauds.end(), b) != preset.bauds.end());
        h->addWidget(c);
        bauds_.emplace_back(c, b);
    }
    h->addStretch(1);
    h = boxes_row(g, 1, say(Message::bus_scan_parities, language));
    for (char p : modbus::kParities) {
        // the parity list's own texts, as on the link panel
        auto* c = new QCheckBox(qs(std::string(modbus::parity_text(p))));
        c->setChecked(std::find(preset.parities.begin(), preset.parities.end(), p) != preset.parities.end());
        h->addWidget(c);
        parities_.emplace_back(c, p);
    }
    h->addStretch(1);
    h = boxes_row(g, 2, say(Message::bus_scan_modes, language));
    for (modbus::Framing f : {modbus::Framing::ascii, modbus::Framing::rtu}) {
        auto* c = new QCheckBox(qs(std::string(modbus::mode_text(f))));
        c->setChecked(std::find(preset.framings.begin(), preset.framings.end(), f) != preset.framings.end());
        h->addWidget(c);
        modes_.emplace_back(c, f);
    }
    h->addStretch(1);
    h = boxes_row(g, 3, say(Message::bus_scan_addresses, language));
    first_ = new QSpinBox;
    last_ = new QSpinBox;
    for (QSpinBox* s : {first_, last_}) s->setRange(1, 247);
    first_->setValue(preset.first);
    last_->setValue(preset.last);
    h->addWidget(first_);
    h->addWidget(new QLabel(QStringLiteral("–")));
    h->addWidget(last_);
    h->addStretch(1);
    v->addLayout(g);

    auto* controls_row = new QHBoxLayout;
    start_ = new QPushButton(say(Message::bus_scan_start, language));
    start_->setObjectName(QStringLiteral("bus_scan_start"));
    cancel_ = new QPushButton(say(Message::cancel_button, language));
    cancel_->setObjectName(QStringLiteral("bus_scan_cancel"));
    progress_ = new QProgressBar;
    controls_row->addWidget(start_);
    controls_row->addWidget(cancel_);
    controls_row->addWidget(progress_, 1);
    v->addLayout(controls_row);
    status_ = new QLabel;
    status_->setWordWrap(true);
    v->addWidget(status_);

    table_ = new QTableWidget(0, 5);
    table_->setObjectName(QStringLiteral("bus_scan_units"));
    table_->setHorizontalHeaderLabels(
        {say(Message::bus_scan_column_address, language), say(Message::bus_scan_column_line, language),
         say(Message::bus_scan_column_coding, language), say(Message::bus_scan_column_firmware, language),
         say(Message::bus_scan_column_variant, language)});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(table_, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    open_ = new QPushButton(say(Message::bus_scan_open, language));
    open_->setObjectName(QStringLiteral("bus_scan_open"));
    auto* close = new QPushButton(say(Message::bus_scan_close, language));
    bottom->addWidget(open_);
    bottom->addWidget(close);
    v->addLayout(bottom);

    connect(start_, &QPushButton::clicked, this, [this] { scan_.start(choice()); });
    connect(cancel_, &QPushButton::clicked, this, [this] { scan_.cancel(); });
    connect(open_, &QPushButton::clicked, this, [this] { open_chosen(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { refresh(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { open_chosen(); });

    scan_.on_change = [this] { refresh(); };
    refresh();
    resize(640, 460);
}

ScanDialog::~ScanDialog() {
    scan_.on_change = nullptr;
}

editor::BusScan::Choice ScanDialog::choice() const {
    editor::BusScan::Choice c;
    for (const auto& [box, b] : bauds_) {
        if (box->isChecked()) c.bauds.push_back(b);
    }
    for (const auto& [box, p] : parities_) {
        if (box->isChecked()) c.parities.push_back(p);
    }
    for (const auto& [box, f] : modes_) {
        if (box->isChecked()) c.framings.push_back(f);
    }
    c.first = first_->value();
    c.last = last_->value();
    return c;
}

void ScanDialog::refresh() {
    const bool running = scan_.running();
    start_->setEnabled(!running);
    cancel_->setEnabled(running);
    progress_->setMaximum(static_cast<int>(std::max<std::size_t>(scan_.total(), 1)));
    progress_->setValue(static_cast<int>(std::min(scan_.done(), scan_.total())));
    status_->setText(qs(scan_.status()));
    const auto& units = scan_.units();
    if (table_->rowCount() != static_cast<int>(units.size())) {
        table_->setRowCount(static_cast<int>(units.size()));
        for (std::size_t r = 0; r < units.size(); ++r) {
            const auto cells = scan_.row(r);
            for (std::size_t c = 0; c < cells.size(); ++c) {
                table_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(qs(cells[c])));
            }
        }
        table_->resizeColumnsToContents();
        if (units.size() == 1) table_->selectRow(0);
    }
    open_->setEnabled(!running && !table_->selectionModel()->selectedRows().isEmpty());
    // Return scans, and once units are listed opens the chosen one
    (open_->isEnabled() ? open_ : start_)->setDefault(true);
}

void ScanDialog::open_chosen() {
    const auto rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    if (scan_.open_unit(static_cast<std::size_t>(rows.first().row()))) accept();
}

void ScanDialog::reject() {
    // closing the dialog ends a scan under way and gives the line back
    scan_.cancel();
    QDialog::reject();
}

ScanView::ScanView(FrmConfigView& view, editor::BusScan& scan, const ProgramState& state)
    : QObject(&view), view_(view), scan_(scan), state_(state) {
    action_ = new QAction(say(Message::bus_scan_menu, state.language_code), &view);
    action_->setObjectName(QStringLiteral("bus_scan_menu"));
    // in the file menu before the separator that sets "&Beenden" apart
    if (QMenu* file =
            view.menuBar()->actions().isEmpty() ? nullptr : view.menuBar()->actions().first()->menu()) {
        const auto items = file->actions();
        file->insertAction(items.size() > 2 ? items[2] : nullptr, action_);
    }
    connect(action_, &QAction::triggered, this, [this] { show_dialog(); });
}

ScanView::~ScanView() {
    delete dialog_;
}

ScanDialog* ScanView::show_dialog() {
    if (dialog_ == nullptr) {
        dialog_ = new ScanDialog(scan_, state_.language_code, &view_);
        connect(dialog_, &QDialog::finished, this, [this] {
            dialog_->deleteLater();
            dialog_ = nullptr;
        });
    }
    dialog_->open();
    dialog_->raise();
    return dialog_;
}

}  // namespace plx::gui
