#include "link/qt_serial_port.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <QSerialPort>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <unistd.h>
#endif

#include "link/port_failure.h"
#include "modbus/line_settings.h"

namespace plx::link {

namespace {

QSerialPort::Parity qt_parity(char p) {
    switch (p) {
        case 'E':
            return QSerialPort::EvenParity;
        case 'O':
            return QSerialPort::OddParity;
        default:
            return QSerialPort::NoParity;
    }
}

// Every setter runs, so as much of the line as the device allows is set.
bool apply(QSerialPort& port, const modbus::LineSettings& s) {
    bool ok = port.setBaudRate(s.baud);
    ok = port.setDataBits(s.framing == modbus::Framing::ascii ? QSerialPort::Data7 : QSerialPort::Data8) && ok;
    ok = port.setParity(qt_parity(s.parity)) && ok;
    ok = port.setStopBits(QSerialPort::OneStop) && ok;
    ok = port.setFlowControl(QSerialPort::NoFlowControl) && ok;
    return ok;
}

int open_error_code(QSerialPort::SerialPortError e) {
    switch (e) {
        case QSerialPort::DeviceNotFoundError:
            return modbus::port_error::invalid_port;
        case QSerialPort::PermissionError:
            return modbus::port_error::port_in_use;
        case QSerialPort::UnsupportedOperationError:
            return modbus::port_error::settings_refused;
        default:
            return modbus::port_error::open_failed;
    }
}

modbus::PortError error_of(const QSerialPort& port, int code, const std::string& device) {
    modbus::PortError e{code, device, port.errorString().toStdString()};
    // Qt says "permission" for a port held elsewhere too: the system tells the two apart
    if (port.error() == QSerialPort::PermissionError) e.cause = refusal_cause(device, e.holder);
    if (port.error() == QSerialPort::DeviceNotFoundError) e.cause = modbus::PortCause::gone;
    return e;
}

// Whether the device has bytes Qt has not taken in yet; asked of the device alone, as a wait of no
// time through Qt would set and clear an error each time nothing has come.
bool readable(QSerialPort& port) {
#ifdef Q_OS_UNIX
    pollfd p{static_cast<int>(port.handle()), POLLIN, 0};
    return ::poll(&p, 1, 0) != 0;
#else
    (void)port;
    return true;
#endif
}

// Whether the device has hung up (its adapter gone, the other end of a pseudo-terminal closed).
bool hung_up(QSerialPort& port) {
#ifdef Q_OS_UNIX
    pollfd p{static_cast<int>(port.handle()), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    (void)port;
    return false;
#endif
}

}  // namespace

bool is_pseudo_terminal(const std::string& device) {
    std::error_code ec;
    const auto real = std::filesystem::canonical(device, ec);
    if (ec) return false;
    return real.string().rfind("/dev/pts/", 0) == 0;
}

struct QtSerialPort::Impl {
    QSerialPort port;
    bool pty = false;
    std::string device;  // as opened: the name the user knows it by
    std::function<void(const modbus::PortError&)> lost;
    bool losing = false;  // gone, and closed at the next turn of the event loop
};

QtSerialPort::QtSerialPort() : impl_(std::make_unique<Impl>()) {
    // The port is read only while an answer is awaited; what another master sends in between is
    // held up to this much (far more than any answer) and the rest is left to the driver to drop.
    constexpr qint64 kHeldWhileIdle = 64 * 1024;
    impl_->port.setReadBufferSize(kHeldWhileIdle);
    QObject::connect(&impl_->port, &QSerialPort::readyRead, &impl_->port, [this] { arrived(); });
    // an unplugged adapter shows as a resource error, or as a read or write that fails
    QObject::connect(&impl_->port, &QSerialPort::errorOccurred, &impl_->port,
                     [this](QSerialPort::SerialPortError e) {
                         if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                             e == QSerialPort::WriteError)
                             lose(impl_->port.errorString().toStdString());
                     });
}

void QtSerialPort::arrived() {
    if (!on_arrival || taking_in_) return;
    // never told from inside a call on the port (a write that waits hears the line too): then once
    // that call is over, from the event loop
    if (in_call_ > 0) {
        if (!told_later_) {
            told_later_ = true;
            QTimer::singleShot(0, &impl_->port, [this] {
                told_later_ = false;
                if (on_arrival) on_arrival();
            });
        }
        return;
    }
    on_arrival();
}

void QtSerialPort::set_lost_handler(std::function<void(const modbus::PortError&)> handler) {
    impl_->lost = std::move(handler);
}

void QtSerialPort::lose(const std::string& reason) {
    if (!impl_->port.isOpen() || impl_->losing) return;
    impl_->losing = true;
    std::error_code ec;
    // the port's own error is often a stale errno ("Resource temporarily unavailable"); a node that has
    // gone says more
    const bool node_gone = !std::filesystem::exists(impl_->device, ec);
    const modbus::PortError error{modbus::port_error::device_gone, impl_->device,
                                  node_gone ? std::make_error_code(std::errc::no_such_device).message() : reason,
                                  modbus::PortCause::gone};
    // closed and told after this turn: the port may be inside its own read or write, the engine too
    QTimer::singleShot(0, &impl_->port, [this, error] {
        impl_->losing = false;
        // a dead descriptor stays readable: left open, its notifier would fire without end
        if (impl_->port.isOpen()) impl_->port.close();
        impl_->port.clearError();
        if (impl_->lost) impl_->lost(error);
    });
}

QtSerialPort::~QtSerialPort() {
    if (impl_->port.isOpen()) impl_->port.close();
}

bool QtSerialPort::port_open() const {
    return impl_->port.isOpen() && !impl_->losing;
}

std::optional<modbus::PortError> QtSerialPort::set_settings(const std::string& settings) {
    const auto parsed = modbus::parse_settings_text(settings);
    if (!parsed)
        return modbus::PortError{modbus::port_error::invalid_settings, device_name(comm_port_),
                         "invalid settings " + settings};
    settings_ = settings;
    QSerialPort& port = impl_->port;
    if (!port.isOpen()) {
        // stored by the port object and applied at the next opening
        apply(port, *parsed);
        return std::nullopt;
    }
    if (apply(port, *parsed)) return std::nullopt;
    if (impl_->pty) {
        // a pseudo-terminal cannot carry every line setting (7 data bits with even parity); it
        // ignores baud and parity anyway
        port.clearError();
        return std::nullopt;
    }
    modbus::PortError e = error_of(port, modbus::port_error::settings_refused, port.portName().toStdString());
    port.clearError();
    return e;
}

std::optional<modbus::PortError> QtSerialPort::set_port_open(bool open) {
    QSerialPort& port = impl_->port;
    if (open == port.isOpen()) return std::nullopt;
    if (!open) {
        port.close();
        port.clearError();
        return std::nullopt;
    }
    const std::string device = device_name(comm_port_);
    if (device.empty()) return modbus::PortError{modbus::port_error::invalid_port, device, "no device for this port number"};
    impl_->pty = is_pseudo_terminal(device);
    impl_->device = device;
    port.setPortName(QString::fromStdString(device));
    const auto wanted = modbus::parse_settings_text(settings_).value_or(modbus::LineSettings{});
    apply(port, wanted);
    port.clearError();
    if (port.open(QIODevice::ReadWrite)) return std::nullopt;
    if (impl_->pty && port.error() != QSerialPort::DeviceNotFoundError && port.error() != QSerialPort::PermissionError) {
        // the refusal of a setting the pty cannot carry is harmless: open with what it can carry,
        // keeping the wanted baud rate
        modbus::LineSettings carried = wanted;
        carried.framing = modbus::Framing::rtu;
        carried.parity = 'N';
        apply(port, carried);
        port.clearError();
        if (port.open(QIODevice::ReadWrite)) return std::nullopt;
    }
    modbus::PortError e = error_of(port, open_error_code(port.error()), device);
    port.clearError();
    return e;
}

void QtSerialPort::output(std::span<const std::uint8_t> bytes) {
    QSerialPort& port = impl_->port;
    if (!port_open() || bytes.empty()) return;
    const InCall busy(in_call_);
    std::error_code ec;
    if (!std::filesystem::exists(impl_->device, ec)) {
        // the device node has gone with its adapter
        lose(std::make_error_code(std::errc::no_such_device).message());
        return;
    }
#ifdef Q_OS_UNIX
    if (port.bytesToWrite() == 0) {
        // straight to the device: through Qt's write buffer the event loop would wake once more
        // only to hear that it has emptied
        const ssize_t n = ::write(static_cast<int>(port.handle()), bytes.data(), bytes.size());
        if (n == static_cast<ssize_t>(bytes.size())) return;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            lose(std::error_code(errno, std::generic_category()).message());
            return;
        }
        if (n > 0) bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
#endif
    if (port.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) < 0) {
        lose(port.errorString().toStdString());
        return;
    }
    // frames are short: put them on the line now rather than at the next event-loop turn
    port.flush();
    for (int i = 0; i < 20 && port.bytesToWrite() > 0; ++i) port.waitForBytesWritten(50);
}

modbus::SerialPort::Wait QtSerialPort::wait_on() const {
#ifdef Q_OS_UNIX
    const QSerialPort& port = impl_->port;
    // a full read buffer takes nothing more in (Qt stops its own notifier then too): the driver
    // holds or drops the rest, and its descriptor would wake the loop without end
    if (!port_open() || port.bytesAvailable() >= port.readBufferSize()) return {false, -1};
    return {false, static_cast<int>(port.handle())};
#else
    return {};
#endif
}

void QtSerialPort::descriptor_ready() {
    QSerialPort& port = impl_->port;
    if (!port_open()) return;
    {
        const InCall busy(in_call_);
        taking_in_ = true;
        // a hung-up device fails this read and is lost by the port's error
        port.waitForReadyRead(0);
        if (port.error() == QSerialPort::TimeoutError) port.clearError();
        taking_in_ = false;
    }
    if (port_open() && port.bytesAvailable() == 0 && hung_up(port)) {
        // woken with nothing to read: a device that hangs up without a failing read
        lose(std::make_error_code(std::errc::no_such_device).message());
        return;
    }
    if (port_open() && on_arrival) on_arrival();
}

int QtSerialPort::in_buffer_count() {
    QSerialPort& port = impl_->port;
    if (!port_open()) return 0;
    // takes in what the line holds even when no event loop has run since it arrived
    if (port.bytesAvailable() == 0 && readable(port)) {
        const InCall busy(in_call_);
        port.waitForReadyRead(0);
        if (port.error() == QSerialPort::TimeoutError) port.clearError();
    }
    return static_cast<int>(port.bytesAvailable());
}

std::vector<std::uint8_t> QtSerialPort::input() {
    QSerialPort& port = impl_->port;
    if (!port_open()) return {};
    (void)in_buffer_count();
    const QByteArray data = port.readAll();
    return {data.begin(), data.end()};
}

}  // namespace plx::link
