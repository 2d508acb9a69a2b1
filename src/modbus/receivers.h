#pragma once
// The receivers: they take what each poll found on the line and give a verdict for every part of
// it. One rule for both modes: only the exact answer to the request on the wire is ok (its slave
// address, its function code, exactly its length, the right check sum, and for a write the echoed
// start and quantity). Memory is bounded in both modes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/diagnostics.h"
#include "modbus/framing.h"

namespace plx::modbus {

// What the answer to one request must be, fixed when the request goes on the wire.
struct Outstanding {
    std::uint8_t address = 0;
    std::uint8_t function = 0;
    // the normal answer without its check sum: address, function, then byte count and data (reads)
    // or start and quantity (writes)
    std::size_t length = 0;
    // the bytes that answer must begin with: address, function, and byte count or start and quantity
    std::vector<std::uint8_t> header;
    // the request exactly as it went on the wire, to tell an adapter's echo from the answer
    std::vector<std::uint8_t> frame;
    // Modbus TCP: the transaction id the answer must carry
    std::uint16_t transaction = 0;
};

// Nothing for a request that is not a well-formed 01, 03, 0F or 10 request: no answer can fit it.
std::optional<Outstanding> outstanding_for(std::string_view request_string,
                                           std::span<const std::uint8_t> frame);

// Whether a whole frame off the line is an answer of that shape: the awaited answer itself or the
// exception to it, with its check sum right. Tells a second answer of the same shape from noise.
bool has_shape(const Outstanding& shape, std::span<const std::uint8_t> frame, Framing framing);

// The response text of an ok verdict: hex from the slave address (Modbus TCP: the unit id) on,
// check-sum digits last where the framing has them, upper case.
std::string response_text_of(const Reception& ok, Framing framing);

class RtuAssembler {
  public:
    // the longest RTU frame: address, function, 252 data bytes, CRC
    static constexpr std::size_t kMaxFrame = 256;

    // A request went on the wire (nothing: none did). Call flush() first.
    void expect(std::optional<Outstanding> outstanding);
    std::vector<Reception> push(std::span<const std::uint8_t> bytes);
    // A whole poll went by without a byte, far more than 3.5 character times at any baud rate
    // offered: no frame continues across it.
    std::vector<Reception> silence();
    // Gives up everything held and the request awaited (a new request, new settings).
    std::vector<Reception> flush();

    bool outstanding() const { return want_.has_value(); }
    std::size_t buffered() const { return buf_.size(); }
    // Total length of the answer awaited, CRC included; 0 while none is.
    int expected_length() const { return want_ ? static_cast<int>(want_->length + 2) : 0; }

  private:
    enum class Kind {
        none,
        answer,
        exception,
        echo,
    };
    // A place in buf_ where the awaited answer, an exception or the echo may begin.
    struct Candidate {
        std::size_t start = 0;
        bool answer = true;  // each flag: that kind still fits what has arrived so far
        bool exception = true;
        bool echo = true;
        Kind complete = Kind::none;
        std::size_t length = 0;  // of the complete frame
    };

    void take(std::uint8_t byte);
    const Candidate* ready(bool quiet) const;
    void settle(const Candidate& c, std::vector<Reception>& out, std::vector<std::uint8_t>& rest);
    void trim(std::vector<Reception>& out);
    void explain(std::span<const std::uint8_t> bytes, std::vector<Reception>& out) const;
    std::vector<Reception> give_up(bool quiet);

    std::optional<Outstanding> want_;
    std::vector<std::uint8_t> buf_;  // not yet judged, oldest first
    std::vector<Candidate> live_;    // in order of start
};

class AsciiAssembler {
  public:
    // ":" + 2 x 255 hex digits + CR LF
    static constexpr std::size_t kMaxFrame = 513;

    void expect(std::optional<Outstanding> outstanding);
    std::vector<Reception> push(std::span<const std::uint8_t> bytes);
    // The frame has its own end: silence only reports the bytes outside any frame.
    std::vector<Reception> silence();
    std::vector<Reception> flush();

    bool outstanding() const { return want_.has_value(); }
    bool in_progress() const { return in_frame_; }
    // bytes not yet judged: a frame under way or noise that the next silence reports
    bool holding() const { return in_frame_ || !noise_.empty(); }

  private:
    void judge(std::vector<Reception>& out);
    void report_noise(std::vector<Reception>& out);

    std::optional<Outstanding> want_;
    bool in_frame_ = false;
    std::vector<std::uint8_t> frame_;  // from the ":" on
    std::vector<std::uint8_t> noise_;  // outside any frame, not yet reported
};

// Modbus TCP: a stream of frames each headed by its length, so a frame is whole when its length has
// arrived. Only the answer with the awaited transaction id, protocol 0, unit id, function and exact
// length is ok; an answer under another transaction id is a late one to an earlier request.
class TcpAssembler {
  public:
    // the MBAP header and a PDU of at most 253 bytes
    static constexpr std::size_t kMaxFrame = 260;

    void expect(std::optional<Outstanding> outstanding);
    std::vector<Reception> push(std::span<const std::uint8_t> bytes);
    // a TCP stream may deliver a frame in pieces at any pace: nothing ends at a silence
    std::vector<Reception> silence() { return {}; }
    std::vector<Reception> flush();

    bool outstanding() const { return want_.has_value(); }
    bool holding() const { return !buf_.empty(); }

  private:
    void judge(std::span<const std::uint8_t> frame, std::vector<Reception>& out);

    std::optional<Outstanding> want_;
    std::vector<std::uint8_t> buf_;
};

// The receiver of the framing in use, so that no caller chooses between them.
class Receiver {
  public:
    Framing framing() const { return framing_; }
    // What either receiver holds is given up first: it belongs to the other framing.
    std::vector<Reception> set_framing(Framing framing);

    void expect(std::optional<Outstanding> outstanding);
    std::vector<Reception> push(std::span<const std::uint8_t> bytes);
    std::vector<Reception> silence();
    std::vector<Reception> flush();

    bool outstanding() const;
    // bytes not yet judged: a frame under way, or noise the next silence reports
    bool holding() const { return rtu_.buffered() > 0 || ascii_.holding() || tcp_.holding(); }
    // RTU: total length of the answer awaited, CRC included; 0 otherwise
    int expected_length() const { return framing_ == Framing::rtu ? rtu_.expected_length() : 0; }

  private:
    Framing framing_ = Framing::rtu;
    RtuAssembler rtu_;
    AsciiAssembler ascii_;
    TcpAssembler tcp_;
};

}  // namespace plx::modbus
