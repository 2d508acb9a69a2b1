#include "modbus/receivers.h"

#include <algorithm>

#include "modbus/adu.h"
#include "modbus/wandeln.h"

namespace plx::modbus {

namespace {

// judged bytes wait for silence so that a foreign frame is reported whole, but no longer than this
constexpr std::size_t kMaxHeld = 2 * RtuAssembler::kMaxFrame;

using Bytes = std::span<const std::uint8_t>;

bool crc_ok(Bytes frame) {
    if (frame.size() < 3) return false;
    const std::uint16_t crc = crc16(frame.first(frame.size() - 2));
    // the CRC travels low byte first
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

bool begins_with(Bytes bytes, Bytes prefix) {
    return !prefix.empty() && bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// Length of a well-formed RTU frame of any slave at the start of bytes, CRC checked; 0 for none.
std::size_t any_frame(Bytes b) {
    if (b.size() < 5) return 0;
    const std::uint8_t function = b[1];
    std::size_t n = 0;
    if ((function & 0x80) != 0) {
        n = 5;
    } else if (function >= 0x01 && function <= 0x04) {
        n = b[2] == 0 ? 0 : 5U + b[2];
    } else if (function == 0x05 || function == 0x06 || function == 0x0F || function == 0x10) {
        n = 8;
    }
    if (n == 0 || n > b.size()) return 0;
    return crc_ok(b.first(n)) ? n : 0;
}

Reception verdict(Verdict v, Bytes bytes, int exception_code = 0) {
    return Reception{{}, v, {bytes.begin(), bytes.end()}, exception_code};
}

}  // namespace

std::optional<Outstanding> outstanding_for(std::string_view request_string,
                                           std::span<const std::uint8_t> frame) {
    std::vector<std::uint8_t> r;
    // a broadcast (address 0) is never answered
    if (!hex_to_bytes(request_string, r) || r.size() < 6 || r[0] == 0) return std::nullopt;
    Outstanding o;
    o.address = r[0];
    o.function = r[1];
    const int quantity = (r[4] << 8) | r[5];
    int byte_count = 0;
    switch (r[1]) {
        case 0x01:
            if (r.size() != 6 || quantity < 1 || quantity > 2000) return std::nullopt;
            byte_count = (quantity + 7) / 8;
            break;
        case 0x03:
            if (r.size() != 6 || quantity < 1 || quantity > 125) return std::nullopt;
            byte_count = 2 * quantity;
            break;
        case 0x0F:
        case 0x10:
            // a write is confirmed by its start address and quantity
            o.header.assign(r.begin(), r.begin() + 6);
            o.length = 6;
            break;
        default:
            return std::nullopt;
    }
    if (byte_count > 0) {
        o.header = {r[0], r[1], static_cast<std::uint8_t>(byte_count)};
        o.length = 3 + static_cast<std::size_t>(byte_count);
    }
    o.frame.assign(frame.begin(), frame.end());
    return o;
}

bool has_shape(const Outstanding& shape, std::span<const std::uint8_t> frame, Framing framing) {
    std::vector<std::uint8_t> bytes;
    if (framing == Framing::tcp) {
        const auto adu = adu_of(frame, framing);
        if (!adu || ((frame[0] << 8) | frame[1]) != shape.transaction) return false;
        bytes = adu_bytes(*adu);
    } else if (framing == Framing::rtu) {
        if (!crc_ok(frame)) return false;
        bytes.assign(frame.begin(), frame.end() - 2);
    } else {
        // ":", the digits, CR LF, either LRC form
        if (frame.size() < 9 || frame.front() != ':' || frame[frame.size() - 2] != '\r' ||
            frame.back() != '\n')
            return false;
        const std::string digits(frame.begin() + 1, frame.end() - 2);
        if (!hex_to_bytes(digits, bytes) || bytes.size() < 3) return false;
        const std::uint8_t lrc = bytes.back();
        bytes.pop_back();
        if (lrc != lrc_of_characters(std::string_view(digits).substr(0, digits.size() - 2)) &&
            lrc != lrc_of_bytes(bytes))
            return false;
    }
    if (bytes.size() == 3 && bytes[0] == shape.address && bytes[1] == (shape.function | 0x80)) return true;
    return bytes.size() == shape.length && begins_with(bytes, shape.header);
}

std::string response_text_of(const Reception& ok, Framing framing) {
    if (framing == Framing::rtu) return bytes_to_hex(ok.bytes);
    // from the unit id on: the MBAP header says nothing the dispatch reads
    if (framing == Framing::tcp) return ok.bytes.size() > 6 ? bytes_to_hex(std::span(ok.bytes).subspan(6)) : "";
    if (ok.bytes.size() < 3) return {};
    // without ":" and CR LF; the dispatch reads digits as upper case
    std::string text(ok.bytes.begin() + 1, ok.bytes.end() - 2);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// ---------------------------------------------------------------- RTU

void RtuAssembler::expect(std::optional<Outstanding> outstanding) {
    want_ = std::move(outstanding);
}

std::vector<Reception> RtuAssembler::push(std::span<const std::uint8_t> bytes) {
    std::vector<Reception> out;
    // a stack, next byte at the back: what follows a settled frame is taken again from its start
    std::vector<std::uint8_t> todo(bytes.rbegin(), bytes.rend());
    while (!todo.empty()) {
        take(todo.back());
        todo.pop_back();
        if (const Candidate* c = ready(false)) {
            std::vector<std::uint8_t> rest;
            settle(*c, out, rest);
            todo.insert(todo.end(), rest.rbegin(), rest.rend());
        }
        if (buf_.size() > kMaxHeld) trim(out);
    }
    return out;
}

void RtuAssembler::take(std::uint8_t byte) {
    const std::size_t n = buf_.size();
    buf_.push_back(byte);
    if (!want_) return;
    const Outstanding& w = *want_;
    if (byte == w.address) live_.push_back(Candidate{n});
    const Bytes held(buf_);
    for (Candidate& c : live_) {
        const std::size_t k = n - c.start;
        if (c.answer) {
            if (k < w.header.size()) {
                c.answer = byte == w.header[k];
            } else if (k + 1 == w.length + 2) {
                c.answer = false;
                if (c.complete == Kind::none && crc_ok(held.subspan(c.start, k + 1))) {
                    c.complete = Kind::answer;
                    c.length = k + 1;
                }
            }
        }
        if (c.exception) {
            // address, function | 0x80, exception code, CRC
            if (k == 1) {
                c.exception = byte == (w.function | 0x80);
            } else if (k == 4) {
                c.exception = false;
                if (c.complete == Kind::none && crc_ok(held.subspan(c.start, 5))) {
                    c.complete = Kind::exception;
                    c.length = 5;
                }
            }
        }
        if (c.echo) {
            c.echo = k < w.frame.size() && byte == w.frame[k];
            if (c.echo && k + 1 == w.frame.size()) {
                // the whole request came back: an echo, even where its start also passed for an answer
                c.echo = false;
                c.complete = Kind::echo;
                c.length = k + 1;
            }
        }
    }
    std::erase_if(live_, [](const Candidate& c) {
        return !c.answer && !c.exception && !c.echo && c.complete == Kind::none;
    });
}

const RtuAssembler::Candidate* RtuAssembler::ready(bool quiet) const {
    const auto first =
        std::find_if(live_.begin(), live_.end(), [](const Candidate& c) { return c.complete != Kind::none; });
    if (first == live_.end()) return nullptr;
    // a write's confirmation begins like the request: while the request's echo may still be under
    // way around it, only more bytes or silence can tell
    if (!quiet) {
        for (auto c = live_.begin(); c != live_.end() && c->start <= first->start; ++c) {
            if (c->echo) return nullptr;
        }
    }
    return &*first;
}

void RtuAssembler::settle(const Candidate& c, std::vector<Reception>& out, std::vector<std::uint8_t>& rest) {
    const Kind kind = c.complete;
    const std::size_t start = c.start;
    const std::size_t end = c.start + c.length;
    const Bytes held(buf_);
    explain(held.first(start), out);
    const Bytes frame = held.subspan(start, end - start);
    switch (kind) {
        case Kind::answer:
            out.push_back(verdict(Verdict::ok, frame));
            // one request, one answer
            want_.reset();
            break;
        case Kind::exception:
            out.push_back(verdict(Verdict::exception, frame, frame[2]));
            want_.reset();
            break;
        case Kind::echo:
            out.push_back(verdict(Verdict::echo, frame));
            break;
        case Kind::none:
            break;
    }
    rest.assign(buf_.begin() + static_cast<std::ptrdiff_t>(end), buf_.end());
    buf_.clear();
    live_.clear();
}

void RtuAssembler::trim(std::vector<Reception>& out) {
    // everything before the first place that may still begin a frame has been judged
    const std::size_t cut = live_.empty() ? buf_.size() : live_.front().start;
    if (cut == 0) return;
    explain(Bytes(buf_).first(cut), out);
    buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(cut));
    for (Candidate& c : live_) c.start -= cut;
}

void RtuAssembler::explain(Bytes bytes, std::vector<Reception>& out) const {
    if (bytes.empty()) return;
    if (!want_) {
        out.push_back(verdict(Verdict::no_request, bytes));
        return;
    }
    const Outstanding& w = *want_;
    std::size_t noise = 0;
    const auto noise_up_to = [&](std::size_t end) {
        if (end > noise) out.push_back(verdict(Verdict::discarded, bytes.subspan(noise, end - noise)));
    };
    std::size_t p = 0;
    while (p < bytes.size()) {
        const Bytes rest = bytes.subspan(p);
        std::size_t n = 0;
        Verdict v = Verdict::discarded;
        if (begins_with(rest, w.frame)) {
            n = w.frame.size();
            v = Verdict::echo;
        } else if ((n = any_frame(rest)) != 0) {
            v = rest[0] != w.address ? Verdict::wrong_slave_address : Verdict::misfit;
        } else if (begins_with(rest, w.header) && rest.size() >= w.length + 2) {
            n = w.length + 2;
            v = Verdict::check_sum_wrong;
        }
        if (n == 0) {
            ++p;
            continue;
        }
        noise_up_to(p);
        out.push_back(verdict(v, rest.first(n)));
        p += n;
        noise = p;
    }
    noise_up_to(bytes.size());
}

std::vector<Reception> RtuAssembler::silence() {
    std::vector<Reception> out;
    while (const Candidate* c = ready(true)) {
        std::vector<std::uint8_t> rest;
        settle(*c, out, rest);
        for (std::uint8_t b : rest) take(b);
    }
    explain(buf_, out);
    buf_.clear();
    live_.clear();
    return out;
}

std::vector<Reception> RtuAssembler::flush() {
    std::vector<Reception> out;
    explain(buf_, out);
    buf_.clear();
    live_.clear();
    want_.reset();
    return out;
}

// ---------------------------------------------------------------- ASCII

void AsciiAssembler::expect(std::optional<Outstanding> outstanding) {
    want_ = std::move(outstanding);
}

std::vector<Reception> AsciiAssembler::push(std::span<const std::uint8_t> bytes) {
    std::vector<Reception> out;
    for (std::uint8_t ch : bytes) {
        if (ch == ':') {
            // a colon always starts a new frame; an unfinished one is dropped
            if (in_frame_) noise_.insert(noise_.end(), frame_.begin(), frame_.end());
            report_noise(out);
            frame_.assign(1, ch);
            in_frame_ = true;
        } else if (!in_frame_) {
            noise_.push_back(ch);
            if (noise_.size() >= kMaxFrame) report_noise(out);
        } else {
            frame_.push_back(ch);
            if (ch == '\n') {
                report_noise(out);
                judge(out);
            } else if (frame_.size() >= kMaxFrame) {
                // overlong: no frame of this program
                noise_.insert(noise_.end(), frame_.begin(), frame_.end());
                report_noise(out);
            } else {
                continue;
            }
            in_frame_ = false;
            frame_.clear();
        }
    }
    return out;
}

void AsciiAssembler::report_noise(std::vector<Reception>& out) {
    if (noise_.empty()) return;
    out.push_back(verdict(want_ ? Verdict::discarded : Verdict::no_request, noise_));
    noise_.clear();
}

void AsciiAssembler::judge(std::vector<Reception>& out) {
    const Bytes raw(frame_);
    const auto give = [&](Verdict v, int code = 0) { out.push_back(verdict(v, raw, code)); };
    if (!want_) return give(Verdict::no_request);
    // ":", the digits, CR LF
    if (raw.size() < 4 || raw[raw.size() - 2] != '\r') return give(Verdict::discarded);
    const std::string digits(raw.begin() + 1, raw.end() - 2);
    std::vector<std::uint8_t> bytes;
    // address, function and LRC at the least
    if (!hex_to_bytes(digits, bytes) || bytes.size() < 3) return give(Verdict::discarded);

    const std::uint8_t lrc = bytes.back();
    bytes.pop_back();  // the LRC digits are no data
    const bool tool_form = lrc == lrc_of_characters(std::string_view(digits).substr(0, digits.size() - 2));
    const bool standard_form = lrc == lrc_of_bytes(bytes);
    if (!tool_form && !standard_form) return give(Verdict::check_sum_wrong);

    const Outstanding& w = *want_;
    if (std::ranges::equal(raw, w.frame)) return give(Verdict::echo);
    if (bytes[0] != w.address) return give(Verdict::wrong_slave_address);
    if (bytes.size() == 3 && bytes[1] == (w.function | 0x80)) {
        const int code = bytes[2];
        want_.reset();
        return give(Verdict::exception, code);
    }
    if (bytes.size() == w.length && begins_with(bytes, w.header)) {
        want_.reset();
        return give(Verdict::ok);
    }
    give(Verdict::misfit);
}

std::vector<Reception> AsciiAssembler::silence() {
    std::vector<Reception> out;
    report_noise(out);
    return out;
}

std::vector<Reception> AsciiAssembler::flush() {
    std::vector<Reception> out;
    if (in_frame_) noise_.insert(noise_.end(), frame_.begin(), frame_.end());
    report_noise(out);
    in_frame_ = false;
    frame_.clear();
    want_.reset();
    return out;
}

// ---------------------------------------------------------------- Modbus TCP

void TcpAssembler::expect(std::optional<Outstanding> outstanding) {
    want_ = std::move(outstanding);
}

std::vector<Reception> TcpAssembler::push(std::span<const std::uint8_t> bytes) {
    std::vector<Reception> out;
    buf_.insert(buf_.end(), bytes.begin(), bytes.end());
    while (buf_.size() >= 7) {
        const std::size_t length = (static_cast<std::size_t>(buf_[4]) << 8) | buf_[5];
        // a header that is none (another protocol, a length no PDU has) leaves no way back into
        // the stream: everything held goes
        if (buf_[2] != 0 || buf_[3] != 0 || length < 2 || 6 + length > kMaxFrame) {
            out.push_back(verdict(want_ ? Verdict::discarded : Verdict::no_request, buf_));
            buf_.clear();
            break;
        }
        if (buf_.size() < 6 + length) break;
        judge(Bytes(buf_).first(6 + length), out);
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(6 + length));
    }
    return out;
}

void TcpAssembler::judge(std::span<const std::uint8_t> frame, std::vector<Reception>& out) {
    const auto give = [&](Verdict v, int code = 0) { out.push_back(verdict(v, frame, code)); };
    if (!want_) return give(Verdict::no_request);
    const Outstanding& w = *want_;
    const Bytes adu = frame.subspan(6);
    if (((frame[0] << 8) | frame[1]) != w.transaction) return give(Verdict::other_transaction);
    if (adu[0] != w.address) return give(Verdict::wrong_slave_address);
    if (adu.size() == 3 && adu[1] == (w.function | 0x80)) {
        const int code = adu[2];
        want_.reset();
        return give(Verdict::exception, code);
    }
    if (adu.size() == w.length && begins_with(adu, w.header)) {
        want_.reset();
        return give(Verdict::ok);
    }
    give(Verdict::misfit);
}

std::vector<Reception> TcpAssembler::flush() {
    std::vector<Reception> out;
    if (!buf_.empty()) out.push_back(verdict(want_ ? Verdict::discarded : Verdict::no_request, buf_));
    buf_.clear();
    want_.reset();
    return out;
}

// ---------------------------------------------------------------- either

std::vector<Reception> Receiver::set_framing(Framing framing) {
    if (framing == framing_) return {};
    std::vector<Reception> got = flush();
    framing_ = framing;
    return got;
}

void Receiver::expect(std::optional<Outstanding> outstanding) {
    switch (framing_) {
        case Framing::rtu:
            return rtu_.expect(std::move(outstanding));
        case Framing::ascii:
            return ascii_.expect(std::move(outstanding));
        case Framing::tcp:
            return tcp_.expect(std::move(outstanding));
    }
}

std::vector<Reception> Receiver::push(std::span<const std::uint8_t> bytes) {
    switch (framing_) {
        case Framing::rtu:
            return rtu_.push(bytes);
        case Framing::ascii:
            return ascii_.push(bytes);
        case Framing::tcp:
            return tcp_.push(bytes);
    }
    return {};
}

std::vector<Reception> Receiver::silence() {
    switch (framing_) {
        case Framing::rtu:
            return rtu_.silence();
        case Framing::ascii:
            return ascii_.silence();
        case Framing::tcp:
            return tcp_.silence();
    }
    return {};
}

std::vector<Reception> Receiver::flush() {
    std::vector<Reception> got = rtu_.flush();
    for (Reception& r : ascii_.flush()) got.push_back(std::move(r));
    for (Reception& r : tcp_.flush()) got.push_back(std::move(r));
    return got;
}

bool Receiver::outstanding() const {
    switch (framing_) {
        case Framing::rtu:
            return rtu_.outstanding();
        case Framing::ascii:
            return ascii_.outstanding();
        case Framing::tcp:
            return tcp_.outstanding();
    }
    return false;
}

}  // namespace plx::modbus
