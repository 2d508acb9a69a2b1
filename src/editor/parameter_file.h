#pragma once
// "&Parameter laden" and "&Parameter speichern": the main window's whole configuration to and from a
// parameter file through the file dialog CommonDialog1. Nothing here talks to the unit: a loaded file
// shows as edited fields, and Apply sends them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/platform.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "paramfile/file_io.h"
#include "paramfile/parameter_file.h"

namespace plx::editor {

class ParameterFiles {
  public:
    // the one filter CommonDialog1 offers
    static constexpr const char* kFilter = "Textfile (*.txt)|*.txt";

    ParameterFiles(FrmConfig& f,
                   ProgramState& s,
                   controls::FileDialog& dialog,
                   controls::MessageBox& messages);

    // The registry value "Version"; empty when it does not exist.
    std::function<std::string()> version_text;
    // The date and time texts of the header; the system clock and the user's formats unless replaced.
    std::function<paramfile::Stamp()> now = paramfile::local_stamp;

    void save_parameter_file();
    void load_parameter_file();

    // What the window would write now, with the given time stamp and registry "Version".
    paramfile::Contents contents(const paramfile::Stamp& stamp, const std::string& version) const;
    // Sets each field the file gives, in file order, as if the user had edited it.
    void apply(const paramfile::ReadResult& r);

  private:
    void tell(const std::string& text) { messages_.show_ok(text); }
    // The register fields whose loaded text Apply could not send, marked invalid and pending so that
    // they show at once.
    std::vector<int> mark_unsendable(const paramfile::ReadResult& r);

    FrmConfig& f_;
    ProgramState& s_;
    controls::FileDialog& dialog_;
    controls::MessageBox& messages_;
};


// The name a save goes to: ".txt" added when the name has no extension of its own.
std::string with_extension(const std::string& name);

}  // namespace plx::editor
