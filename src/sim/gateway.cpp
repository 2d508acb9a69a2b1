#include "sim/gateway.h"

#include <algorithm>

#include "sim/frame.h"

namespace plx::sim {

namespace {

// Length of the RTU answer at the start of `b` once its function tells it; 0 while unknown.
std::size_t answer_length(std::span<const std::uint8_t> b) {
    if (b.size() < 3) return 0;
    if ((b[1] & 0x80) != 0) return 5;
    if (b[1] == 0x01 || b[1] == 0x03) return 5U + b[2];
    return 8;
}

std::vector<std::uint8_t> mbap(std::uint16_t transaction, const modbus::Adu& adu) {
    const std::vector<std::uint8_t> body = modbus::adu_bytes(adu);
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(transaction >> 8),
                                  static_cast<std::uint8_t>(transaction & 0xFF), 0, 0,
                                  static_cast<std::uint8_t>(body.size() >> 8),
                                  static_cast<std::uint8_t>(body.size() & 0xFF)};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace

void MbapGateway::receive(int connection, std::span<const std::uint8_t> bytes, std::chrono::milliseconds now) {
    std::vector<std::uint8_t>& buf = inbound_[connection];
    buf.insert(buf.end(), bytes.begin(), bytes.end());
    while (buf.size() >= 7) {
        const std::size_t length = (static_cast<std::size_t>(buf[4]) << 8) | buf[5];
        // not Modbus, or a length no PDU has: a gateway drops what it cannot read
        if (buf[2] != 0 || buf[3] != 0 || length < 2 || length > 254) {
            buf.clear();
            break;
        }
        if (buf.size() < 6 + length) break;
        const auto adu = modbus::adu_from_bytes(std::span(buf).subspan(6, length));
        if (adu) queue_.push_back({connection, static_cast<std::uint16_t>((buf[0] << 8) | buf[1]), *adu});
        buf.erase(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(6 + length));
    }
    forward(now);
}

void MbapGateway::forward(std::chrono::milliseconds now) {
    if (on_line_ || queue_.empty()) return;
    on_line_ = queue_.front();
    queue_.pop_front();
    line_bytes_.clear();
    deadline_ = now + wait_;
    const SimulatedSlave* slave = bus_.slave_at(on_line_->adu.address);
    faults_before_ = slave ? slave->counters().faults : 0;
    bus_.receive(encode_rtu(on_line_->adu), now);
}

void MbapGateway::answer(const Request& r, const modbus::Adu& adu, std::vector<Out>& out) {
    std::uint16_t transaction = r.transaction;
    // a unit with the stale-transaction fault: the gateway answers under the transaction before
    const SimulatedSlave* slave = bus_.slave_at(r.adu.address);
    if (slave && slave->counters().faults > faults_before_ && !slave->applied_faults().empty() &&
        slave->applied_faults().back() == FaultKind::stale_transaction)
        transaction = last_transaction_;
    last_transaction_ = r.transaction;
    if (inbound_.contains(r.connection)) out.push_back({r.connection, mbap(transaction, adu)});
}

std::vector<MbapGateway::Out> MbapGateway::take_due(std::chrono::milliseconds now) {
    std::vector<Out> out;
    const std::vector<std::uint8_t> got = bus_.take_due(now);
    if (!on_line_) {
        forward(now);
        return out;
    }
    line_bytes_.insert(line_bytes_.end(), got.begin(), got.end());
    // the answer of the unit asked, with a right CRC; anything else on the line is not it
    while (!line_bytes_.empty() && line_bytes_.front() != on_line_->adu.address) line_bytes_.erase(line_bytes_.begin());
    const std::size_t n = answer_length(line_bytes_);
    if (n > 0 && line_bytes_.size() >= n) {
        const std::span<const std::uint8_t> frame(line_bytes_.data(), n);
        const std::uint16_t crc = crc16(frame.first(n - 2));
        if (frame[n - 2] == (crc & 0xFF) && frame[n - 1] == (crc >> 8)) {
            answer(*on_line_, *modbus::adu_from_bytes(frame.first(n - 2)), out);
            on_line_.reset();
        } else {
            line_bytes_.erase(line_bytes_.begin());
        }
    }
    if (on_line_ && now >= deadline_) {
        // the unit behind the gateway stayed silent
        const std::uint8_t fn = static_cast<std::uint8_t>(on_line_->adu.function | 0x80);
        answer(*on_line_, modbus::Adu{on_line_->adu.address, fn, {0x0B}}, out);
        on_line_.reset();
    }
    forward(now);
    return out;
}

std::optional<std::chrono::milliseconds> MbapGateway::next_due() const {
    std::optional<std::chrono::milliseconds> next = bus_.next_due();
    if (on_line_ && (!next || deadline_ < *next)) next = deadline_;
    return next;
}

void MbapGateway::forget(int connection) {
    inbound_.erase(connection);
    std::erase_if(queue_, [connection](const Request& r) { return r.connection == connection; });
}

}  // namespace plx::sim
