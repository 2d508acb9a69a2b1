#pragma once
// A port that would not open, told the way the engineer can act on it: held by another program (named
// where its lock file or the system says which), not allowed for this user, or not there at all. The
// window and plx24ctl word it from the same rows.

#include <string>

#include "modbus/serial_port.h"

namespace plx::link {

// Why the system refused `device` after an opening failed for lack of access: another program's lock
// file or open descriptor (its name and process id in `holder`), the device's permissions, or the
// device gone. A device the user may open and nobody is seen holding counts as busy: the system
// refuses a second opening of a port held exclusively.
modbus::PortCause refusal_cause(const std::string& device, std::string& holder);

// The program's own line under the system's reason: what to do. Empty when there is nothing to add.
std::string port_failure_advice(const modbus::PortError& e, const std::string& language_code);

// A device path the engineer typed: there, not there, or something that is no device (a folder, a
// plain file). Links are followed, as a by-id name or a pty link is one.
enum class TypedDevice {
    device,
    missing,
    not_a_device,
};
TypedDevice check_typed_device(const std::string& path);

}  // namespace plx::link
