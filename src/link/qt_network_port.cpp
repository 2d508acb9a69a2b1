#include "link/qt_network_port.h"

#include <QTcpSocket>

namespace plx::link {

struct QtNetworkPort::Impl {
    QTcpSocket socket;
    modbus::Gateway gateway;
};

QtNetworkPort::QtNetworkPort() : impl_(std::make_unique<Impl>()) {}

QtNetworkPort::~QtNetworkPort() {
    impl_->socket.abort();
}

void QtNetworkPort::tell(modbus::LinkEvent event, const std::string& detail) {
    if (on_event) on_event(event, detail);
}

std::optional<modbus::PortError> QtNetworkPort::connect_now(bool again) {
    QTcpSocket& s = impl_->socket;
    const std::string where = modbus::host_port(impl_->gateway);
    s.abort();
    s.connectToHost(QString::fromStdString(impl_->gateway.host), static_cast<quint16>(impl_->gateway.port));
    if (s.waitForConnected(static_cast<int>(kConnectTimeout.count()))) {
        // a request is a handful of bytes: no waiting for more to fill a segment
        s.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        closed_told_ = false;
        tell(again ? modbus::LinkEvent::reconnected : modbus::LinkEvent::connected, where);
        return std::nullopt;
    }
    const std::string reason = s.errorString().toStdString();
    s.abort();
    tell(modbus::LinkEvent::connect_failed, where + ": " + reason);
    return modbus::PortError{modbus::port_error::open_failed, device_, reason};
}

std::optional<modbus::PortError> QtNetworkPort::set_port_open(bool open) {
    if (open == open_) return std::nullopt;
    if (!open) {
        impl_->socket.abort();
        open_ = false;
        return std::nullopt;
    }
    const auto gateway = modbus::gateway_of(device_);
    if (!gateway)
        return modbus::PortError{modbus::port_error::invalid_port, device_, "no gateway address (tcp://HOST[:PORT])"};
    impl_->gateway = *gateway;
    if (auto e = connect_now(false)) return e;
    open_ = true;
    return std::nullopt;
}

void QtNetworkPort::pump() {
    QTcpSocket& s = impl_->socket;
    if (s.state() == QAbstractSocket::ConnectedState && s.bytesAvailable() == 0) s.waitForReadyRead(0);
    if (s.state() != QAbstractSocket::ConnectedState && !closed_told_) {
        closed_told_ = true;
        tell(modbus::LinkEvent::closed, modbus::host_port(impl_->gateway) + ": " + s.errorString().toStdString());
    }
}

void QtNetworkPort::output(std::span<const std::uint8_t> bytes) {
    if (!open_ || bytes.empty()) return;
    QTcpSocket& s = impl_->socket;
    // a gateway closes idle connections: see whether it has, and connect anew for this request, once
    pump();
    if (s.state() != QAbstractSocket::ConnectedState && connect_now(true)) return;
    s.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    s.flush();
    for (int i = 0; i < 20 && s.bytesToWrite() > 0; ++i) s.waitForBytesWritten(50);
}

int QtNetworkPort::in_buffer_count() {
    if (!open_) return 0;
    pump();
    return static_cast<int>(impl_->socket.bytesAvailable());
}

std::vector<std::uint8_t> QtNetworkPort::input() {
    if (!open_) return {};
    pump();
    const QByteArray data = impl_->socket.readAll();
    return {data.begin(), data.end()};
}

}  // namespace plx::link
