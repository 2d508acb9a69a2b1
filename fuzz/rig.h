#pragma once
// The main window's control set, program state, fake port and virtual clock wired to a Link, as the
// program does, for one fuzz input.

#include <string>

#include "controls/platform.h"
#include "controls/timer.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/fake_serial_port.h"
#include "link/link.h"
#include "oracle.h"

namespace plx::fuzz {

class SilentMessages : public controls::MessageBox {
  public:
    void show_ok(const std::string&) override {}
};

struct LinkRig {
    LinkRig() {
        form.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
    }
    ~LinkRig() {
        form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
    }
    LinkRig(const LinkRig&) = delete;
    LinkRig& operator=(const LinkRig&) = delete;

    // Start-up, then the mode and "open" chosen as the user does.
    void open(bool rtu) {
        link.load_link_panel();
        link.apply_startup_settings();
        form.Combo_Port[5].user_select(rtu ? 1 : 0);
        form.Combo_Port[6].user_select(1);
    }
    void poll() { clock.advance(form.Timer4.interval()); }

    controls::VirtualClock clock;
    FrmConfig form;
    ProgramState state;
    link::FakeSerialPort port;
    SilentMessages messages;
    modbus::Engine engine{port, clock, form.Timer4, form.Timer5};
    link::Link link{form, state, engine, messages};
};

}  // namespace plx::fuzz
