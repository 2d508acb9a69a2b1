#include "gui/record_view.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commission/print.h"
#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "lang/commission_texts.h"

namespace plx::gui {

namespace {

using lang::CommissionText;

QString say(CommissionText id, const std::string& language, const std::vector<std::string>& args = {}) {
    return qs(lang::commission_text(id, language, args));
}

}  // namespace

CompareDialog::CompareDialog(editor::UnitRecord& record,
                             editor::UnitRecord::Comparison comparison,
                             const std::string& language,
                             QWidget* parent)
    : QDialog(parent), record_(record), comparison_(std::move(comparison)) {
    setObjectName(QStringLiteral("compare_dialog"));
    setWindowTitle(say(CommissionText::compare_title, language, {comparison_.file}));
    auto* v = new QVBoxLayout(this);
    const auto& diffs = comparison_.differences;
    const std::string name = QFileInfo(qs(comparison_.file)).fileName().toStdString();
    v->addWidget(new QLabel(
        diffs.empty() ? say(CommissionText::compare_none, language, {name})
                      : say(CommissionText::compare_count, language, {name, std::to_string(diffs.size())})));
    table_ = new QTableWidget(static_cast<int>(diffs.size()), 4, this);
    table_->setHorizontalHeaderLabels({say(CommissionText::column_caption, language),
                                       say(CommissionText::compare_column_register, language),
                                       say(CommissionText::compare_column_file, language),
                                       say(CommissionText::compare_column_unit, language)});
    for (int r = 0; r < static_cast<int>(diffs.size()); ++r) {
        const auto& d = diffs[static_cast<std::size_t>(r)];
        int c = 0;
        for (const std::string* text : {&d.caption, &d.key, &d.file, &d.unit}) {
            auto* item = new QTableWidgetItem(qs(*text));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table_->setItem(r, c++, item);
        }
    }
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->resizeColumnsToContents();
    // the caption takes what room is left; the values keep theirs side by side
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    v->addWidget(table_, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* load =
        buttons->addButton(say(CommissionText::compare_load, language), QDialogButtonBox::AcceptRole);
    load->setObjectName(QStringLiteral("compare_load"));
    load->setEnabled(!diffs.empty());
    QPushButton* close =
        buttons->addButton(say(CommissionText::compare_close, language), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        record_.load(comparison_);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    resize(700, 360);
}

RecordView::RecordView(FrmConfigView& view, editor::UnitRecord& record, const ProgramState& state)
    : QObject(&view), view_(view), record_(record), state_(state) {
    print_ = new QAction(say(CommissionText::print_record_menu, state.language_code), &view);
    print_->setObjectName(QStringLiteral("print_record_menu"));
    print_->setShortcut(QKeySequence::Print);
    compare_ = new QAction(say(CommissionText::compare_menu, state.language_code), &view);
    compare_->setObjectName(QStringLiteral("compare_menu"));
    // in the file menu after the parameter files, before the separator that sets "&Beenden" apart
    if (QMenu* file =
            view.menuBar()->actions().isEmpty() ? nullptr : view.menuBar()->actions().first()->menu()) {
        const auto items = file->actions();
        QAction* before = items.size() > 2 ? items[2] : nullptr;
        file->insertAction(before, compare_);
        file->insertAction(before, print_);
    }
    connect(print_, &QAction::triggered, this, [this] { print(); });
    connect(compare_, &QAction::triggered, this, [this] { compare(); });
}

void RecordView::print() {
    const auto document = record_.record();
    if (!document) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(qs(document->title));
    // offered as the file when the user prints to PDF
    printer.setOutputFileName(QDir::home().filePath(qs(record_.record_name()) + QStringLiteral(".pdf")));
    QPrintDialog dialog(&printer, &view_);
    dialog.setWindowTitle(print_->text());
    if (dialog.exec() != QDialog::Accepted) return;
    commission::print_document(*document, printer);
}

void RecordView::compare() {
    auto comparison = record_.compare_with_file();
    if (!comparison) return;
    auto* dialog = new CompareDialog(record_, std::move(*comparison), state_.language_code, &view_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

}  // namespace plx::gui
