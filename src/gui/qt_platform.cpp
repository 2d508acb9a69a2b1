#include "gui/qt_platform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "gui/qt_timer_engine.h"

namespace plx::gui {

QString qt_name_filter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = parts[i + 1].trimmed().replace(u';', u' ');
        // Qt takes the patterns from the last parentheses of each entry
        if (description.contains(u'(' + pattern + u')')) {
            out << description;
        } else {
            out << description + QStringLiteral(" (") + pattern + u')';
        }
    }
    return out.join(QStringLiteral(";;"));
}

QUrl shell_url(const std::string& target) {
    const QString t = QString::fromStdString(target).trimmed();
    const QString lower = t.toLower();
    if (lower.startsWith(QStringLiteral("mailto:")) || lower.startsWith(QStringLiteral("http://")) ||
        lower.startsWith(QStringLiteral("https://"))) {
        return QUrl(t);
    }
    if (lower.startsWith(QStringLiteral("www."))) return QUrl(QStringLiteral("http://") + t);
    return QUrl::fromLocalFile(t);
}

void QtMessageBox::show_ok(const std::string& text) {
    const TickHold hold(timers_);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("PLX24-RS485-Modbus"), QString::fromStdString(text),
                    QMessageBox::Ok, parent_.data());
    box.exec();
}

bool QtMessageBox::ask(const std::string& text, const std::string& accept, const std::string& reject) {
    const TickHold hold(timers_);
    QMessageBox box(QMessageBox::Question, QStringLiteral("PLX24-RS485-Modbus"), QString::fromStdString(text),
                    QMessageBox::NoButton, parent_.data());
    // the program's own button texts, so the question reads in the user's language
    QPushButton* yes = box.addButton(QString::fromStdString(accept), QMessageBox::DestructiveRole);
    QPushButton* no = box.addButton(QString::fromStdString(reject), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<std::string> QtFileDialog::open_file(const std::string& title, const std::string& filter) {
    return run(false, title, filter);
}

std::optional<std::string> QtFileDialog::save_file(const std::string& title, const std::string& filter) {
    return run(true, title, filter);
}

std::optional<std::string> QtFileDialog::run(bool save, const std::string& title, const std::string& filter) {
    const TickHold hold(timers_);
    QFileDialog dialog(parent_.data(), QString::fromStdString(title));
    dialog.setNameFilter(qt_name_filter(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // the open dialog offers only files that exist
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // saving over an existing file replaces it without a question: the engineer chose that name
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    if (!last_file_.isEmpty()) dialog.selectFile(last_file_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    last_file_ = dialog.selectedFiles().front();
    return last_file_.toStdString();
}

bool QtShell::open(const std::string& target) { return QDesktopServices::openUrl(shell_url(target)); }

}  // namespace plx::gui
