#pragma once
// "Bus durchsuchen…": the dialog's logic. Scans the chosen COM entry for units (at the line settings
// ticked, over an address range) with the bus layer on the window's own timers, so the window stays
// responsive; choosing a unit puts its address, baud rate, parity and mode on the link panel and opens
// the port, which reads it out. The Qt dialog only binds (gui/scan_view).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/scan.h"
#include "controls/platform.h"
#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "modbus/engine.h"

namespace plx::editor {

class BusScan {
  public:
    // What to scan: every combination of the line settings ticked, at each address from first to last.
    struct Choice {
        std::vector<int> bauds;
        std::vector<char> parities;
        std::vector<modbus::Framing> framings;
        int first = 1;
        int last = 247;
    };

    // The scan runs on the window's own request engine, which lets go of the line for it.
    BusScan(FrmConfig& f, ProgramState& s, modbus::Engine& engine, controls::MessageBox& messages);
    BusScan(const BusScan&) = delete;
    BusScan& operator=(const BusScan&) = delete;
    ~BusScan();

    // The link panel's settings, every address: what the dialog offers first.
    Choice preset() const;
    // "COM3" and the device behind it, as the dialog's heading names them.
    std::string port_text() const;

    // Closes the window's port (the scan needs the line) and starts; false with the reason in
    // status() when nothing is chosen or the port cannot be opened.
    bool start(const Choice& choice);
    void cancel();
    bool running() const { return scanner_.running(); }

    const std::vector<bus::FoundUnit>& units() const { return units_; }
    // Address, line, device coding, firmware, variant of a found unit, in the language in use.
    std::vector<std::string> row(std::size_t n) const;
    std::string status() const { return status_; }
    std::size_t done() const { return done_; }
    std::size_t total() const { return total_; }
    // The line setting being probed while the scan runs: the port is at it, not at the link panel's.
    std::optional<modbus::LineSettings> scanning_line() const {
        return running() ? std::optional<modbus::LineSettings>(line_) : std::nullopt;
    }

    // Puts unit n on the link panel and opens the port; false when the engineer keeps unsent edits.
    bool open_unit(std::size_t n);

    // After every change the view shows: progress, a unit found, the end.
    std::function<void()> on_change;

  private:
    void changed() {
        if (on_change) on_change();
    }
    void finished(const bus::ScanOutcome& outcome);

    FrmConfig& f_;
    ProgramState& s_;
    modbus::Engine& engine_;
    controls::MessageBox& messages_;
    bus::Scanner scanner_;
    std::vector<bus::FoundUnit> units_;
    std::string status_;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    modbus::LineSettings line_;
};

}  // namespace plx::editor
