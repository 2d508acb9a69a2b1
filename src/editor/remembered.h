#pragma once
// What the engineer set last, kept in the user settings: the link panel (COM entry, baud rate, parity,
// mode, address) in [Link], and where the main and the traffic window lay in [Windows]. Read once at
// start, written as it changes; a missing, empty or unreadable value leaves the start-up default.

#include <optional>
#include <string>

#include "form/frm_config.h"
#include "settings/store.h"

namespace plx::editor {

// A window's place in pixels: its top-left corner and the size of its inside.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// `r` moved, and shrunk where it must be, so that it lies wholly on `screen`.
WindowRect fit_on_screen(WindowRect r, const WindowRect& screen);
// A window of the given size beside `main`: right of it where the screen has room, else left, below
// or above it; where none has, at the screen's bottom right, so the main window's menu and link panel
// stay in sight. Never larger than the screen.
WindowRect beside(const WindowRect& main, int width, int height, const WindowRect& screen);

enum class Place {
    main_window,
    traffic_window,
};

class RememberedSettings {
  public:
    RememberedSettings(FrmConfig& f, settings::Store& store);
    RememberedSettings(const RememberedSettings&) = delete;
    RememberedSettings& operator=(const RememberedSettings&) = delete;

    // After the load step: selects the remembered entries on the link panel (the COM entry only when
    // `port_entry`) and puts the address in; each selection runs the panel's own handler, and the
    // port stays closed. From then on every change of these is written, the COM entry only when
    // `port_entry`: a run on --port or --demo leaves the remembered one for the next.
    void restore_link(bool port_entry);

    // While held, changes of the link panel are not written: settings chosen for one run.
    void hold(bool held) { held_ = held; }

    std::optional<WindowRect> place(Place p) const;
    void remember(Place p, const WindowRect& r);

  private:
    std::string read(const char* group, const char* name) const;
    void write(const char* group, const char* name, const std::string& value);
    void follow_link(bool port_entry);

    FrmConfig& f_;
    settings::Store& store_;
    bool held_ = false;
};

}  // namespace plx::editor
