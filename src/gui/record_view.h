#pragma once
// "Protokoll drucken…" and "Mit Datei vergleichen…" in the file menu over editor::UnitRecord: the
// unit as read printed through Qt's print dialog (a printer, or a PDF file), and the differences of
// a parameter file listed with the choice to load it as edits or close.

#include <QDialog>
#include <QObject>

#include "editor/unit_record.h"
#include "form/program_state.h"

class QAction;
class QTableWidget;

namespace plx::gui {

class FrmConfigView;

class CompareDialog : public QDialog {
  public:
    CompareDialog(editor::UnitRecord& record,
                  editor::UnitRecord::Comparison comparison,
                  const std::string& language,
                  QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }

  private:
    editor::UnitRecord& record_;
    editor::UnitRecord::Comparison comparison_;
    QTableWidget* table_ = nullptr;
};

class RecordView : public QObject {
  public:
    RecordView(FrmConfigView& view, editor::UnitRecord& record, const ProgramState& state);

    QAction* print_action() const { return print_; }
    QAction* compare_action() const { return compare_; }
    // The print dialog over the unit as read; a PDF is one of its printers.
    void print();
    // Asks for a file and shows what differs (window-modal, the event loop keeps running).
    void compare();

  private:
    FrmConfigView& view_;
    editor::UnitRecord& record_;
    const ProgramState& state_;
    QAction* print_ = nullptr;
    QAction* compare_ = nullptr;
};

}  // namespace plx::gui
