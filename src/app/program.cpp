#include "app/program.h"

namespace plx {

Program::Program(Platform p) : platform(p) {
    form.for_each_timer([&](controls::Timer& t) { t.attach(&platform.timers); });
}

Program::~Program() {
    form.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
}

void Program::start() {
    // start-up values of the module (ProgramState's initialisers) are in place; the input-register
    // count of 28 is used by the window's load step
    state.input_register_count = 28;
}

}  // namespace plx
