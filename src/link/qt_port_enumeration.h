#pragma once
// The system's serial ports through QSerialPortInfo, with their /dev/serial/by-id names; ptys (which
// the system list leaves out) are found by probing the device an entry stands for.

#include "link/port_directory.h"

namespace plx::link {

class QtPortEnumeration final : public PortEnumeration {
  public:
    std::vector<PortInfo> ports() const override;
    std::optional<PortInfo> probe(const std::string& device) const override;
    std::string resolve(const std::string& device) const override;
};

}  // namespace plx::link
