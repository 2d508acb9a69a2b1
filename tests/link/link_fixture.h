#pragma once
// A main window, program state, fake port and virtual clock wired to one Link, as the program does.

#include <string>
#include <vector>

#include "controls/platform.h"
#include "controls/timer.h"
#include "device/requests.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/fake_serial_port.h"
#include "link/link.h"

namespace plx::link::testing {

class RecordingMessageBox : public controls::MessageBox {
public:
    void show_ok(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

struct LinkRig {
    LinkRig() {
        form.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
        link.first_request = [](const std::string& slave) { return device::requests::read_response_time(slave); };
    }
    ~LinkRig() {
        form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
    }
    // The start-up routine's link part: the load step's boxes, then step 3.
    void start() {
        link.load_link_panel();
        link.apply_startup_settings();
    }
    // Start-up, then the mode and "open" chosen by the user.
    void open(const std::string& mode) {
        start();
        form.Combo_Port[5].user_select(mode == "RTU" ? 1 : 0);
        form.Combo_Port[6].user_select(1);
    }

    controls::VirtualClock clock;
    FrmConfig form;
    ProgramState state;
    FakeSerialPort port;
    RecordingMessageBox messages;
    modbus::Engine engine{port, clock, form.Timer4, form.Timer5};
    Link link{form, state, engine, messages};
};

}  // namespace plx::link::testing
