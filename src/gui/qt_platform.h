#pragma once
// Qt adapters for the dialogs and the shell hand-over. Modal dialogs hold the timer ticks while open.

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <optional>
#include <string>

#include "controls/platform.h"

namespace plx::gui {

class QtTimerEngine;

// "Textfile (*.txt)|*.txt" (description and pattern pairs joined by bars) as a Qt name filter.
QString qt_name_filter(const std::string& filter);
// What the shell is asked to open: a mailto: or web link as it stands, a bare "www." address as a
// web address, anything else as a local path.
QUrl shell_url(const std::string& target);

class QtMessageBox : public controls::MessageBox {
public:
    explicit QtMessageBox(QtTimerEngine* timers) : timers_(timers) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    void show_ok(const std::string& text) override;
    bool ask(const std::string& text, const std::string& accept, const std::string& reject) override;

private:
    QtTimerEngine* timers_;
    QPointer<QWidget> parent_;
};

class QtFileDialog : public controls::FileDialog {
public:
    explicit QtFileDialog(QtTimerEngine* timers) : timers_(timers) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> open_file(const std::string& title, const std::string& filter) override;
    std::optional<std::string> save_file(const std::string& title, const std::string& filter) override;

private:
    std::optional<std::string> run(bool save, const std::string& title, const std::string& filter);
    QtTimerEngine* timers_;
    QPointer<QWidget> parent_;
    // one dialog object serves both operations, so the name chosen last is offered again
    QString last_file_;
};

class QtShell : public controls::Shell {
public:
    bool open(const std::string& target) override;
};

}  // namespace plx::gui
