#pragma once
// "Print record…" and "Compare with file…" in the main window's file menu: the unit as the window
// read it out (every tab's fields with their captions, the unit's address, device coding and firmware,
// when it was read), as a document to print; and what a parameter file holds that differs from the
// unit as read, with the choice to load the file as edits, as "&Parameter laden" does. Nothing here
// talks to the unit.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDateTime>

#include "commission/document.h"
#include "controls/platform.h"
#include "editor/parameter_file.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "paramfile/parameter_file.h"

namespace plx::editor {

class UnitRecord {
  public:
    UnitRecord(FrmConfig& f,
               ProgramState& s,
               controls::FileDialog& dialog,
               controls::MessageBox& messages,
               ParameterFiles& files);

    // The time a read-out ends; the computer's clock unless a test sets another.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // A read-out has ended: what the unit holds is now the window's reference.
    void read_out_completed();
    bool has_read_out() const { return read_at_.isValid(); }

    // The unit as read, one page: nothing before the first read-out (a message says why).
    std::optional<commission::Document> record();
    // A name for the printed record: "plx24-unit-17-20250314-1015".
    std::string record_name() const;

    struct Difference {
        std::string caption;
        std::string key;  // "Register 4", "Konfigurationsbit 25"
        std::string file;
        std::string unit;
    };
    struct Comparison {
        std::string file;
        std::vector<Difference> differences;
        paramfile::ReadResult read;
    };
    // Asks for a parameter file and compares it with the unit as read; nothing when cancelled, before
    // the first read-out or for a file that is no parameter file (a message says why).
    std::optional<Comparison> compare_with_file();
    // The file's values into the fields as edits, as "&Parameter laden" loads them.
    void load(const Comparison& c);

  private:
    std::string say_value(int k, double v) const;
    std::string say_bit(int j, int state) const;

    FrmConfig& f_;
    ProgramState& s_;
    controls::FileDialog& dialog_;
    controls::MessageBox& messages_;
    ParameterFiles& files_;
    QDateTime read_at_;
    std::string address_;
    std::string line_;
};

}  // namespace plx::editor
