#pragma once
// The bus master: one request on the line at a time, over the serial-port interface and a timer
// engine, framed and accepted exactly as the window's link does (same frame codec, same receivers,
// same rule: only the exact answer to the request on the wire is taken). Timer-driven, never blocking:
// the window runs it on its QTimer engine, plx24ctl on its own loop, tests on a virtual clock.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bus/line.h"
#include "controls/timer.h"
#include "link/assembler.h"
#include "link/diagnostics.h"
#include "link/serial_port.h"

namespace plx::bus {

// How one request ended.
struct Answer {
    link::Verdict verdict = link::Verdict::time_out;  // ok, exception or time_out
    int exception_code = 0;                           // exception only
    std::string response_text;                        // ok only: hex from the slave address on
    // every other verdict given while the answer was awaited (a bad check sum, a foreign frame, ...)
    std::vector<link::Verdict> seen;
};

class Master {
  public:
    using Done = std::function<void(const Answer&)>;

    // how often the receive buffer is looked at while the port is open
    static constexpr std::chrono::milliseconds kPoll{5};
    // a gap this long ends whatever RTU bytes are held (an adapter may deliver a frame in pieces
    // up to 16 ms apart, so the 3.5 character times of the standard are too short to rely on)
    static constexpr std::chrono::milliseconds kQuiet{50};

    Master(link::SerialPort& port, controls::TimerEngine& clock);
    ~Master();
    Master(const Master&) = delete;
    Master& operator=(const Master&) = delete;

    // Sets the line and opens the port (or re-sets an open one); the port's error when it cannot.
    std::optional<link::PortError> open(const LineSettings& line);
    // Forgets any request and closes the port it opened.
    void close();
    bool is_open() const { return open_ && port_.port_open(); }
    const LineSettings& line() const { return line_; }

    // Sends the request (a request string: hex without check sum) once `not_before` has come, then
    // waits at most `timeout` for its answer; `done` is called once, from a timer tick.
    void request(std::string request_string,
                 std::chrono::milliseconds timeout,
                 Done done,
                 std::chrono::milliseconds not_before = std::chrono::milliseconds::min());
    // Forgets the request queued or awaited; its `done` is never called.
    void cancel();
    bool busy() const { return queued_ || waiting_; }

    std::chrono::milliseconds now() const { return clock_.now(); }
    // when the last request went on the line
    std::chrono::milliseconds last_sent() const { return sent_at_; }

    // The user's view of the line (plx24ctl --verbose); null for none.
    void observe(link::LinkObserver* observer) { observer_ = observer; }
    // Every reception that is not the answer to the request awaited: a late answer to an earlier
    // request, a frame of another slave, noise. A bus scan learns from them.
    std::function<void(const link::Reception&)> on_reception;

  private:
    void tick();
    void send_now();
    void take(std::vector<link::Reception> got);
    void time_out();
    void finish(Answer a);
    std::vector<link::Reception> push(const std::vector<std::uint8_t>& bytes);
    std::vector<link::Reception> silence();
    std::vector<link::Reception> flush();

    link::SerialPort& port_;
    controls::TimerEngine& clock_;
    controls::Timer poll_{"bus poll"};
    LineSettings line_;
    bool open_ = false;
    link::RtuAssembler rtu_;
    link::AsciiAssembler ascii_;

    bool queued_ = false;
    bool waiting_ = false;
    bool in_tick_ = false;
    std::string request_;
    std::chrono::milliseconds timeout_{0};
    std::chrono::milliseconds not_before_{0};
    std::chrono::milliseconds sent_at_{0};
    std::chrono::milliseconds last_byte_at_{0};
    bool quiet_ = true;
    std::vector<std::uint8_t> last_frame_;
    std::vector<link::Verdict> seen_;
    Done done_;
    link::LinkObserver* observer_ = nullptr;
};

}  // namespace plx::bus
