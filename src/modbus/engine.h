#pragma once
// The one request engine of the window, the bus scan and plx24ctl: one request on the line at a time
// over the serial-port interface, framed in the framing in use, exactly its answer taken (the
// receivers' rule: its slave address, its function, exactly its length, the right check sum), a
// time-out, a retry by the caller's policy, and every frame and verdict offered to one observer.
// Timer-driven and never blocking: the window runs it on its QTimer engine with its own Timer4 and
// Timer5, plx24ctl on its loop, tests on a virtual clock. On timers of its own over a port that
// tells when bytes arrive, it reads them as they come and looks at the line by the clock only to
// end what it holds at a silence: an idle or waiting engine costs no wake-ups.
//
// A late answer is never taken for another request. After a time-out under a policy with a
// turnaround, nothing new goes on the line until the turnaround has passed since the request with
// the line quiet; its answer arriving meanwhile is still its own. A request given up unanswered
// leaves the unit owing an answer of its shape: the next answer of that shape is held until the line
// has been quiet for the turnaround, and a second one arriving meanwhile (the answer to the request
// actually on the line) takes its place.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/timer.h"
#include "modbus/diagnostics.h"
#include "modbus/line_settings.h"
#include "modbus/receivers.h"
#include "modbus/serial_port.h"

namespace plx::modbus {

// How the caller wants one request handled.
struct Policy {
    // how long the answer to one attempt is awaited
    std::chrono::milliseconds timeout{10'000};
    // Zero: the whole `timeout` is the answer's. Otherwise an attempt that hears nothing within this
    // time has timed out; once a byte of an answer has come, the rest has until `timeout` (the bus
    // scan: a silent address costs only the frames' time and a margin).
    std::chrono::milliseconds first_byte{0};
    // a request that timed out goes again this many times
    int retries = 0;
    // The longest a unit may take to answer. Zero: a time-out ends the request at once and the next
    // request may go straight away (the window, whose time-out is longer than any unit takes; the scan,
    // whose probes go to a different address each).
    std::chrono::milliseconds turnaround{0};
    // the least time from the request sent last to this one (and to each of its retries)
    std::chrono::milliseconds pace{0};
    // After its time-out the answer is still taken until the next request goes out, and the time-out
    // is reported again every `timeout` (the window: its note stays until the unit answers).
    bool keep_awaiting = false;
};

// How one request ended.
struct Outcome {
    Verdict verdict = Verdict::time_out;  // ok, exception or time_out
    int exception_code = 0;               // exception only
    std::string response_text;            // ok only: hex from the slave address on, check sum last
    // every other verdict given while the answer was awaited (a bad check sum, a foreign frame, ...)
    std::vector<Verdict> seen;
    int attempts = 0;
    bool late = false;  // the answer came after a time-out was reported
};

struct Request {
    std::string request_string;  // hex without check sum
    Policy policy;
    // not sent before this time on the engine's clock
    std::chrono::milliseconds not_before = std::chrono::milliseconds::min();
    // Asked when its answer has arrived: does the caller still want it? No: the answer is no answer
    // to what the caller waits for now, and nothing is called.
    std::function<bool()> still_wanted;
    // shown to the observer with the frame (the window's transaction)
    int comm_state = 0;
    int current_register = 0;
};

class Engine {
  public:
    using Done = std::function<void(const Outcome&)>;

    // `poll` looks at the receive buffer while an answer is awaited, at whatever interval its owner
    // gives it; `deadline` times answers and waits. Both belong to `clock`.
    Engine(SerialPort& port, controls::TimerEngine& clock, controls::Timer& poll, controls::Timer& deadline);
    // The same on timers of its own (plx24ctl, tests): a line the window does not own. Bytes are
    // taken as the port tells of them where it does (SerialPort::tells_arrival).
    Engine(SerialPort& port, controls::TimerEngine& clock);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    SerialPort& port() { return port_; }
    const SerialPort& port() const { return port_; }

    // The framing requests go out in and answers are read in; what is held in the other is given up.
    void set_framing(Framing framing);
    Framing framing() const { return receiver_.framing(); }
    // A poll that finds nothing ends the RTU bytes held once the line has been quiet this long; zero:
    // at the first such poll.
    void set_quiet_gap(std::chrono::milliseconds gap) { quiet_gap_ = gap; }

    // Takes the line for the bus: framing, settings and a fast poll, and opens the port (or re-sets an
    // open one); the port's error when it cannot. The window's link panel applies its settings itself.
    std::optional<PortError> open(const LineSettings& line);
    // Forgets everything and closes the port if open() opened it.
    void close();
    const LineSettings& line() const { return line_; }

    // Sends the request once its time has come (at once, before this returns, when nothing holds it
    // back) and awaits exactly its answer. `done` is called once, after every verdict of the same
    // reading has gone to the observer: with the answer, the unit's exception, or a time-out when
    // no retry is left. A request given while another is queued or awaited replaces it.
    void request(Request request, Done done);
    // Forgets the request queued or awaited; its `done` is never called.
    void cancel();
    // Gives up everything held: the receivers, what waits in the port, the request awaited and any
    // answer a unit may still owe (new settings, an opening, a closing).
    void reset();

    bool busy() const { return pending_.has_value(); }
    // an answer is awaited (also after its time-out was reported, while it may still come)
    bool awaiting() const { return wire_.has_value(); }
    std::chrono::milliseconds now() const { return clock_.now(); }
    // when the last request went on the line
    std::chrono::milliseconds last_sent() const { return last_sent_.value_or(std::chrono::milliseconds(0)); }
    // RTU: total length of the answer awaited, CRC included; 0 otherwise
    int expected_length() const { return receiver_.expected_length(); }

    // The one observer of every frame sent and every verdict; null for none.
    void observe(Observer* observer) { observer_ = observer; }
    // Every reception that is not the answer awaited: a late answer, a frame of another slave, noise.
    std::function<void(const Reception&)> on_reception;
    // Each time the awaited answer's time is up; under keep_awaiting `timeout` after the first of a
    // run of requests left unanswered, and again every `timeout` until an answer.
    std::function<void()> on_time_out;
    // The port's device went away: what was queued or awaited has ended as a time-out, the port is
    // closed, and nothing more is read from it.
    std::function<void(const PortError& error)> on_port_lost;
    // A connection of the transport came, went or came back (a gateway over TCP).
    std::function<void(LinkEvent event, const std::string& detail)> on_link_event;

  private:
    struct Pending {
        Request request;
        Done done;
        int retries_left = 0;
        int attempts = 0;
        bool sent = false;
        std::chrono::milliseconds asked_at{0};
        std::vector<Verdict> seen;
    };
    // The request on the line whose answer the receiver still expects.
    struct OnWire {
        std::optional<Outstanding> shape;
        Policy policy;
        std::chrono::milliseconds sent_at{0};
        std::vector<std::uint8_t> frame;
        bool timed_out = false;
        bool heard = false;     // something other than the echo came since it went out
        bool reported = false;  // its time-out went to the observer
        bool mine = true;       // still pending_'s; false once given up and only waited out
    };
    // An answer held because it may be the one a unit still owed.
    struct Held {
        Outcome outcome;
        std::chrono::milliseconds until{0};
    };

    // An answer a unit may still owe: the shape of a request given up unanswered, and how often.
    struct Debt {
        Outstanding shape;
        int count = 0;
    };

    void poll_tick();
    // the port has bytes: taken at once while an answer is awaited or bytes are held
    void arrived();
    void deadline_tick();
    // when the attempt on the line has timed out, as far as has been heard of it
    std::chrono::milliseconds answer_due(const OnWire& w) const;
    // Sends the pending request if nothing holds it back.
    void go();
    std::chrono::milliseconds due() const;
    void send();
    void judge(std::vector<Reception> got);
    void time_out(std::chrono::milliseconds t);
    // The turnaround after a time-out or a request given up is over without its answer.
    void waited_out();
    // The pending request goes again, or ends with a time-out when no retry is left.
    void retry_or_give_up();
    void finish(Outcome outcome);
    void give_up_reception();
    void report(std::vector<Reception>& got);
    void linked(LinkEvent event, const std::string& detail);
    // The reception poll runs only while an answer is awaited or bytes are held.
    void follow();
    // The deadline timer at the next thing due: a time-out, the end of a wait, a paced request.
    void schedule();
    void restart_deadline(std::chrono::milliseconds after);
    bool quiet_since(std::chrono::milliseconds t) const;
    // Whether bytes wait in the port. Within one deadline tick the port is asked once: a second
    // look microseconds later (before the frame goes out) would only cost a system call, and bytes
    // arriving between the two could as well arrive between the second look and the frame.
    bool bytes_waiting();
    struct OneLook;
    void port_lost(const PortError& error);
    // keep_awaiting: when the deadline is next due, for the note or the request's own time-out
    std::chrono::milliseconds next_report() const;
    std::optional<std::chrono::milliseconds> next_event() const;
    // A request's shape went unanswered: the unit may yet answer it.
    void owe(const Outstanding& shape);
    std::vector<Debt>::iterator debt_of(const Outstanding& shape);
    // the answer this whole frame gives, if it has the shape of an owed one
    std::vector<Debt>::iterator debt_paid_by(const Reception& r);

    SerialPort& port_;
    controls::TimerEngine& clock_;
    std::unique_ptr<controls::Timer> own_poll_;
    std::unique_ptr<controls::Timer> own_deadline_;
    controls::Timer& poll_;
    controls::Timer& deadline_;
    Receiver receiver_;
    LineSettings line_;
    bool opened_ = false;
    // the port tells when bytes arrive: no reception poll by the clock
    bool told_arrival_ = false;
    std::chrono::milliseconds quiet_gap_{0};

    std::optional<Pending> pending_;
    std::optional<OnWire> wire_;
    std::optional<Held> held_;
    std::vector<Debt> owed_;
    std::optional<std::chrono::milliseconds> last_sent_;
    std::uint32_t transactions_ = 0;
    std::chrono::milliseconds last_byte_at_{0};
    bool quiet_ = true;
    // inside a deadline tick: the port has been asked and held nothing
    bool one_look_ = false;
    bool looked_empty_ = false;
    // The window's time-out (keep_awaiting): the deadline ticks for the note and for each request's
    // own time-out until an answer; the observer hears of it once per request.
    bool reporting_ = false;
    bool time_out_reported_ = false;
    // Under keep_awaiting the time-out is due this long after the first of a run of requests left
    // unanswered, however many follow it (the window's polls), and again every `timeout` after.
    std::optional<std::chrono::milliseconds> note_due_;
    std::chrono::milliseconds report_every_{0};
    std::vector<std::uint8_t> last_frame_;
    Observer* observer_ = nullptr;
};

}  // namespace plx::modbus
