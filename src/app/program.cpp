#include "app/program.h"

namespace plx {

Program::Program(Platform p) : platform(p) {
    form.for_each_timer([&](controls::Timer& t) { t.attach(&platform.timers); });
    link = std::make_unique<plx::link::Link>(form, state, platform.port, platform.messages);
}

Program::~Program() {
    form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
}

void Program::start() {
    // start-up values of the module (ProgramState's initialisers) are in place; the input-register
    // count of 28 is used by the window's load step
    state.input_register_count = 28;
    // the window's load step: the link boxes, whose selections apply the link settings
    link->load_link_panel();
    // start-up step 3: input mode, settings and port number of the serial control
    link->apply_startup_settings();
}

}  // namespace plx
