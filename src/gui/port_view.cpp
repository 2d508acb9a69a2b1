#include "gui/port_view.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "lang/texts.h"
#include "link/port_failure.h"
#include "link/port_map.h"
#include "modbus/gateway.h"
#include "settings/overlay_store.h"

namespace plx::gui {

namespace {

using lang::Message;

// Draws an entry of the port box as its text ("COM3") and, in a column of its own, the port behind it.
class PortEntryDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter,
               const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString note = index.data(kPortNoteRole).toString();
        if (note.isEmpty()) return;
        painter->save();
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
        QRect r = option.rect;
        r.setLeft(r.left() + entry_width(option.fontMetrics));
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(note, Qt::ElideMiddle, r.width() - 4));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        const QString note = index.data(kPortNoteRole).toString();
        if (!note.isEmpty()) {
            s.setWidth(std::max(s.width(), entry_width(option.fontMetrics) +
                                               option.fontMetrics.horizontalAdvance(note) + 12));
        }
        return s;
    }

    static int entry_width(const QFontMetrics& fm) {
        return fm.horizontalAdvance(QStringLiteral("COM40")) + 36;
    }
};

QString say(Message id, const std::string& language, const std::vector<std::string>& args = {}) {
    return qs(lang::message(id, language, args));
}

}  // namespace

PortView::PortView(FrmConfigView& view, Parts parts)
    : QObject(&view), parts_(parts), box_(view.port_box()) {
    const std::string& language = parts_.state.language_code;
    // as wide as the panel gives it: a long device line is cut at its end, whole in its tooltip
    device_ = new ElidedLabel;
    device_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    device_->setObjectName(QStringLiteral("port_device"));
    assign_ = new QPushButton(say(Message::port_assign_button, language));
    assign_->setObjectName(QStringLiteral("port_assign"));
    QGridLayout* g = view.link_grid();
    g->addWidget(device_, 2, 1, 1, 4);
    g->addWidget(assign_, 2, 5, 1, 2);
#ifdef _WIN32
    // COMn is the port itself there: nothing to assign
    assign_->setVisible(false);
#endif
    box_->setItemDelegate(new PortEntryDelegate(box_));
    box_->installEventFilter(this);
    connect(box_, &QComboBox::currentIndexChanged, this, [this] { show_device(); });
    connect(assign_, &QPushButton::clicked, this, [this] { assign_port(); });
    refresh();
}

std::string PortView::device_of(int n) const {
    return parts_.port.device_name(n);
}

std::string PortView::note_of(int n) const {
    // a gateway is no port of this machine: its address is the note
    if (modbus::names_gateway(device_of(n))) return device_of(n);
    const auto p = parts_.ports.present_port(device_of(n));
    if (!p) return {};
    std::string note = p->device;
    const std::string summary = link::port_summary(*p);
    if (!summary.empty()) note += " – " + summary;
    return note;
}

void PortView::refresh() {
    parts_.ports.refresh();
    int widest = box_->width();
    const QFontMetrics fm(box_->font());
    for (int i = 0; i < box_->count(); ++i) {
        const QString note = qs(note_of(i + 1));
        box_->setItemData(i, note.isEmpty() ? QVariant() : QVariant(note), kPortNoteRole);
        if (!note.isEmpty())
            widest = std::max(widest, PortEntryDelegate::entry_width(fm) + fm.horizontalAdvance(note) + 40);
    }
    box_->view()->setMinimumWidth(widest);
    show_device();
}

void PortView::show_device() {
    const int n = box_->currentIndex() + 1;
    if (n < 1) {
        device_->clear();
        return;
    }
    const std::string device = device_of(n);
    QString line = QStringLiteral("→ ") + qs(device);
    if ((parts_.state.demo && n == link::kStartupEntry) || modbus::names_gateway(device)) {
        // the simulated unit is always there; a gateway is reached when the port opens
    } else if (const auto p = parts_.ports.present_port(device)) {
        const std::string summary = link::port_summary(*p);
        if (!summary.empty()) line += QStringLiteral(" – ") + qs(summary);
    } else {
        line += QStringLiteral(" – ") + say(Message::port_not_present, parts_.state.language_code);
    }
    device_->setText(line);
    device_->setToolTip(line);
}

bool PortView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_) {
        // the list is looked at again before the engineer opens it: an adapter may just have been plugged in
        if ((event->type() == QEvent::Enter || event->type() == QEvent::FocusIn) && box_->isEnabled())
            refresh();
        if (event->type() == QEvent::EnabledChange) {
            assign_->setEnabled(box_->isEnabled());
            // opened or closed, perhaps because the adapter went or came back: the line says which
            refresh();
        }
    }
    return QObject::eventFilter(watched, event);
}

bool PortView::assign_port() {
    refresh();
    const std::string& language = parts_.state.language_code;
    PortAssignDialog dialog(
        parts_.ports, [this](int n) { return device_of(n); }, box_->currentIndex() + 1, language,
        box_->window());
    if (dialog.exec() != QDialog::Accepted) return false;
    const auto port = dialog.port();
    const int n = dialog.entry();
    if (!port || n < 1) return false;
    if (!parts_.ports.assign(n, *port)) {
        const settings::Store* below = parts_.settings.get();
        if (const auto* overlay = dynamic_cast<const settings::OverlayStore*>(below))
            below = &overlay->below();
        const auto* store = dynamic_cast<const settings::QSettingsStore*>(below);
        const QString file = store ? store->location(settings::Root::user).path : QString();
        parts_.messages.show_ok(
            lang::message(Message::port_assign_failed, language,
                          {port->device, "COM" + std::to_string(n), file.toStdString()}));
        return false;
    }
    // the entry now stands for the port: choose it, and apply the link settings so it is used at once
    auto& entry_box = parts_.entry_box;
    if (entry_box.list_index() == n - 1) {
        parts_.link.Combo_Port_Click(0);
    } else {
        entry_box.set_list_index(n - 1);
    }
    refresh();
    return true;
}

PortAssignDialog::PortAssignDialog(const link::PortDirectory& ports,
                                   const std::function<std::string(int n)>& device_of,
                                   int entry,
                                   const std::string& language,
                                   QWidget* parent)
    : QDialog(parent), ports_(ports.present()), language_(language) {
    setObjectName(QStringLiteral("port_assign_dialog"));
    setWindowTitle(say(Message::port_assign_title, language));
    auto* v = new QVBoxLayout(this);
    auto* intro =
        new QLabel(say(ports_.empty() ? Message::port_assign_none : Message::port_assign_intro, language));
    intro->setWordWrap(true);
    v->addWidget(intro);

    table_ = new QTableWidget(static_cast<int>(ports_.size()), 4);
    table_->setObjectName(QStringLiteral("port_table"));
    table_->setHorizontalHeaderLabels(
        {say(Message::port_column_device, language), say(Message::port_column_description, language),
         say(Message::port_column_by_id, language), say(Message::port_column_entries, language)});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    for (int r = 0; r < static_cast<int>(ports_.size()); ++r) {
        const link::PortInfo& p = ports_[static_cast<std::size_t>(r)];
        QString entries;
        for (int n : ports.entries_of(p, device_of))
            entries +=
                (entries.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("COM%1").arg(n);
        const QString cells[] = {qs(p.device), qs(link::port_summary(p)), qs(p.by_id), entries};
        for (int c = 0; c < 4; ++c) table_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setVisible(!ports_.empty());
    v->addWidget(table_);

    // a device the system does not list (a pty, an adapter under an unusual name) is typed
    auto* path_row = new QHBoxLayout;
    path_row->addWidget(new QLabel(say(Message::port_assign_path, language)));
    path_ = new QLineEdit;
    path_->setObjectName(QStringLiteral("port_path"));
    path_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    path_row->addWidget(path_, 1);
    v->addLayout(path_row);
    path_problem_ = new QLabel;
    path_problem_->setObjectName(QStringLiteral("port_path_problem"));
    path_problem_->setWordWrap(true);
    QPalette warn = path_problem_->palette();
    warn.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    path_problem_->setPalette(warn);
    path_problem_->setVisible(false);
    v->addWidget(path_problem_);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(say(Message::port_assign_entry, language)));
    entry_ = new QComboBox;
    entry_->setObjectName(QStringLiteral("port_entry"));
    for (int n = 1; n <= link::kMaxPortNumber; ++n) entry_->addItem(QStringLiteral("COM%1").arg(n));
    entry_->setCurrentIndex(std::max(0, entry - 1));
    row->addWidget(entry_);
    row->addStretch(1);
    v->addLayout(row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(say(Message::cancel_button, language));
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(table_, &QTableWidget::itemSelectionChanged, ok,
            [this, ok] { ok->setEnabled(port().has_value()); });
    connect(path_, &QLineEdit::textChanged, ok, [this, ok] {
        path_problem_->setVisible(false);
        ok->setEnabled(port().has_value());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    // a single port is the one the engineer means
    if (ports_.size() == 1) table_->selectRow(0);
    resize(std::max(560, table_->horizontalHeader()->length() + 40), sizeHint().height());
}

void PortAssignDialog::accept() {
    const std::string typed = path_->text().trimmed().toStdString();
    if (!typed.empty()) {
        const link::TypedDevice check = link::check_typed_device(typed);
        if (check != link::TypedDevice::device) {
            path_problem_->setText(say(check == link::TypedDevice::missing
                                           ? Message::port_assign_path_missing
                                           : Message::port_assign_path_not_device,
                                       language_, {typed}));
            path_problem_->setVisible(true);
            path_->setFocus();
            return;
        }
    }
    QDialog::accept();
}

std::optional<link::PortInfo> PortAssignDialog::port() const {
    const std::string typed = path_->text().trimmed().toStdString();
    if (!typed.empty()) {
        link::PortInfo p;
        p.device = typed;
        return p;
    }
    const auto rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    const int r = rows.first().row();
    if (r < 0 || r >= static_cast<int>(ports_.size())) return std::nullopt;
    return ports_[static_cast<std::size_t>(r)];
}

int PortAssignDialog::entry() const {
    return entry_->currentIndex() + 1;
}

}  // namespace plx::gui
