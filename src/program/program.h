#pragma once
// The headless program: the state of the module `global`, the main window's control set and the
// subsystems that handle its events, built on whatever platform the caller hands in (the real Qt
// platform in main.cpp, a virtual clock and fakes in tests).

#include <functional>
#include <memory>
#include <string>

#include "controls/platform.h"
#include "controls/timer.h"
#include "editor/bus_scan.h"
#include "editor/frm_config_code.h"
#include "editor/parameter_file.h"
#include "editor/remembered.h"
#include "editor/unit_record.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/link.h"
#include "link/port_directory.h"
#include "link/port_map.h"
#include "modbus/engine.h"
#include "modbus/serial_port.h"
#include "settings/store.h"
#include "traffic/recorder.h"
#include "transfer/monitor_freshness.h"
#include "transfer/transactions.h"
#include "transfer/write_sequence.h"
#include "windows/frm_state.h"

namespace plx {

struct Platform {
    modbus::SerialPort& port;
    controls::TimerEngine& timers;
    controls::MessageBox& messages;
    controls::FileDialog& files;
    controls::Shell& shell;
};

class Program {
public:
    explicit Program(Platform platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start-up routine: link defaults, the main window's load step, then the serial control's
    // input mode, settings and port number. Showing the window is the view's part.
    void start();

    Platform platform;
    ProgramState state;
    FrmConfig form;
    // the one request engine of the window and its bus scan, on Timer4 (reception poll) and Timer5
    // (time-out)
    std::unique_ptr<modbus::Engine> engine;
    std::unique_ptr<plx::link::Link> link;
    std::unique_ptr<plx::editor::FrmConfigCode> editor;
    std::unique_ptr<plx::transfer::Transactions> transactions;
    // Apply (set_parameter) and the write timers Timer1, Timer2
    std::unique_ptr<plx::transfer::WriteSequence> write_sequence;
    // the status window frmState and the main window's ShowMsgWindow
    std::unique_ptr<plx::windows::FrmState> frm_state;
    // "Bus durchsuchen…": the scan on the window's engine, and opening a unit it found
    std::unique_ptr<plx::editor::BusScan> bus_scan;
    // "&Parameter laden" and "&Parameter speichern" over the file dialog
    std::unique_ptr<plx::editor::ParameterFiles> parameter_files;
    // "Protokoll drucken…" and "Mit Datei vergleichen…": the unit as read, to print or to compare
    std::unique_ptr<plx::editor::UnitRecord> unit_record;
    // Where "Pfad", "Language" and "sDecimal" are read (QSettingsStore::for_program); tests put a
    // settings::MemoryStore or INI files here before start().
    std::unique_ptr<settings::Store> settings;
    // The ports present behind the entries "COM1" .. "COM40" and the user's assignments ([Ports] of
    // the user settings); the real platform gives it the system's port list before start().
    link::PortDirectory ports;
    // The link panel and the window places as the engineer left them ([Link], [Windows] of the user
    // settings); made by start() over `settings`.
    std::unique_ptr<editor::RememberedSettings> remembered;
    // --port or --demo: COM3 is this run's entry, and the remembered one stays for the next run.
    bool startup_entry_fixed = false;

    // The language step of a window's load: kind 0 the main window, 3 the status window (pass its
    // controls; null when it is not loaded).
    void apply_language(int window_kind, FrmStateControls* status_window = nullptr);

    // Every frame and verdict of the line, the counters and the reason of a failure: the traffic
    // window and the status bar read it.
    std::unique_ptr<traffic::Recorder> traffic;
    // The Monitor's values greyed, with their age, once polling no longer refreshes them.
    std::unique_ptr<plx::transfer::MonitorFreshness> monitor_freshness;
    // The time of day a confirmation names ("14:03:22"); the computer's clock unless a test sets another.
    std::function<std::string()> time_of_day;

private:
    // The time-out: the status line and the problem label's tooltip say what was seen.
    void show_line_failure();
    // The unit refused a request: the chain stops, the status window goes, a message names both.
    void stop_on_refusal(const std::string& request_string, int code);
    // The transfer stops where it is (an Apply timed out or was cancelled, the adapter went away):
    // one message gives the cause and, for an Apply, what the unit confirmed of it and what not.
    void stop_transfer(const std::string& cause);
    // What the Apply under way has written and not, for the message that ends it; empty without one.
    std::string apply_stages(bool marks_kept) const;
    // A read-out ended: the status line says so, and after an Apply what it wrote.
    void read_out_completed();
    // Before a parameter file is saved over a half-read unit: does the engineer still want it?
    bool may_save_parameter_file();
    std::string failure_text_;
};

}  // namespace plx
