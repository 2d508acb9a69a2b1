#pragma once
// Which serial ports the machine has now, and which of them each entry "COM1" .. "COM40" stands for.
// The entries keep their texts; the engineer sees beside each one whether a port is present behind
// it, and may assign a present port to an entry (kept in the user's settings, [Ports] COMn).
//
// The device of entry n, the first match winning (the serial port's PortMap adds the environment's
// PLX24_PORT_MAP before all of these and its default table after them):
//   1. this run's command line (--port, for the start-up entry);
//   2. the user's own map, [Ports] COMn=/dev/...;
//   3. for the start-up entry COM3 only: the one USB serial adapter of the machine, when there is
//      exactly one and the user has not assigned it to another entry.
// On Windows COMn is the port itself and none of this applies.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plx::link {

struct PortInfo {
    std::string device;  // /dev/ttyUSB0, COM5
    std::string description;
    std::string manufacturer;
    std::string serial_number;
    std::string by_id;  // its /dev/serial/by-id name, empty when it has none
    bool usb = false;   // a USB serial adapter (it has a vendor id)
};

// The system's serial ports. Backends: QSerialPortInfo (qt_port_enumeration.h) and a fake for tests.
class PortEnumeration {
  public:
    virtual ~PortEnumeration() = default;
    virtual std::vector<PortInfo> ports() const = 0;
    // A device that the system list leaves out but that is usable all the same (a pseudo-terminal of
    // a simulator or a socat pair), described; nothing for anything else.
    virtual std::optional<PortInfo> probe(const std::string& device) const = 0;
    // The path a device name finally stands for (links followed); the name itself when it has none.
    virtual std::string resolve(const std::string& device) const { return device; }
};

class FakePortEnumeration final : public PortEnumeration {
  public:
    std::vector<PortInfo> list;
    std::map<std::string, PortInfo> extra;  // what probe() finds
    std::map<std::string, std::string> links;

    std::vector<PortInfo> ports() const override { return list; }
    std::optional<PortInfo> probe(const std::string& device) const override;
    std::string resolve(const std::string& device) const override;
};

// "FT232R USB UART, FTDI, serial number A12345": what the system says about a port, in one line.
std::string port_summary(const PortInfo& p);

inline constexpr int kStartupEntry = 3;  // "COM3", chosen at start-up

class PortDirectory {
  public:
    // The user's device for entry n from the settings (empty: none).
    std::function<std::string(int n)> user_map;
    // Keeps the user's device for entry n in the settings; false when it could not be written.
    std::function<bool(int n, const std::string& device)> store_user_map;

    explicit PortDirectory(const PortEnumeration* enumeration = nullptr) : enumeration_(enumeration) {}
    void set_enumeration(const PortEnumeration* enumeration) { enumeration_ = enumeration; }

    // Entry n stands for `device` in this run only (the command line); nothing is written.
    void set_run_device(int n, const std::string& device);

    // Asks the system again which ports are present and reads the user's map again.
    void refresh();
    const std::vector<PortInfo>& present() const { return present_; }

    // The device entry n stands for besides the default table, empty when none (rules 1 to 3 above).
    std::string assigned(int n) const;
    // The present port behind a device name (a by-id link or a pty link included), if any.
    std::optional<PortInfo> present_port(const std::string& device) const;
    // The entries a present port is reached by, given the device of each entry.
    std::vector<int> entries_of(const PortInfo& port,
                                const std::function<std::string(int n)>& device_of) const;

    // Assigns a present port to entry n: its by-id name where it has one (it stays the same when the
    // adapter is plugged into another socket), else its device. False when it could not be kept.
    bool assign(int n, const PortInfo& port);

  private:
    std::optional<PortInfo> one_adapter() const;
    bool same_port(const std::string& device, const PortInfo& port) const;

    const PortEnumeration* enumeration_;
    std::vector<PortInfo> present_;
    std::map<int, std::string> run_map_;
    std::map<int, std::string> user_entries_;  // as read at the last refresh
};

}  // namespace plx::link
