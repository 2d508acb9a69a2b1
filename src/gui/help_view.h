#pragma once
// Help in a window of the program's own: the register description with its bookmarks, page by page,
// zoom and search, whether or not the machine has a PDF viewer; the desktop's viewer is the second
// way. Its own top-level window, so a transfer that disables the main window leaves it readable.

#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QString>
#include <QWidget>

#include "controls/platform.h"
#include "form/program_state.h"

class QLabel;
class QLineEdit;
class QPdfBookmarkModel;
class QPdfDocument;
class QPdfSearchModel;
class QPdfView;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTreeView;

namespace plx::gui {

class FrmConfigView;

class HelpWindow : public QWidget {
  public:
    // What the window needs of the program: the language, the desktop's opener for the second way,
    // and the message box that says when neither way opened the document.
    struct Parts {
        const ProgramState& state;
        controls::Shell& shell;
        controls::MessageBox& messages;
    };
    explicit HelpWindow(Parts parts);
    ~HelpWindow() override;

    // Loads the document (again only when the path changed) and shows the window; false when the
    // document cannot be read, with nothing shown.
    bool show_document(const QString& path);
    // Jumps to the next place where `text` stands; false when it stands nowhere.
    bool find_next(const QString& text);
    void go_to_page(int page);

    QPdfView* view() const { return view_; }
    QPdfDocument* document() const { return document_; }
    QTreeView* contents() const { return contents_; }

  private:
    void show_page_number();
    void open_external();

    Parts parts_;
    QString path_;
    QPdfDocument* document_;
    QPdfView* view_;
    QPdfBookmarkModel* bookmarks_;
    QPdfSearchModel* search_;
    QTreeView* contents_;
    QSplitter* split_;
    QSpinBox* page_;
    QLineEdit* search_box_;
    QLabel* found_;
    int result_ = -1;
};

// Puts the help window behind "&Hilfe" and F1.
class HelpView : public QObject {
  public:
    // `show_help` is the main window's hook for "&Hilfe" and F1; the view fills it while it lives.
    HelpView(FrmConfigView& view, HelpWindow::Parts parts, std::function<bool(const std::string& path)>& show_help);
    ~HelpView() override;
    HelpWindow* window() const { return window_.get(); }

  private:
    FrmConfigView& view_;
    HelpWindow::Parts parts_;
    std::function<bool(const std::string& path)>& show_help_;
    std::unique_ptr<HelpWindow> window_;
};

}  // namespace plx::gui
