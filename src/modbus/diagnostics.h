#pragma once
// What the request engine saw on the line, offered to one observer: every frame sent and every
// verdict of reception, with the raw bytes. The traffic view, its counters and the command-line
// program's reports are such observers. Without one the engine builds none of this.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plx::modbus {

enum class Verdict {
    ok,                   // the answer to the request on the wire, handed to the dispatch
    check_sum_wrong,      // address, function and length of the answer, but the CRC or LRC fails
    wrong_slave_address,  // a whole frame from another slave
    exception,            // the unit refused the request; the code is in exception_code
    misfit,               // a whole frame from the slave that does not answer the request
    echo,                 // the request itself, echoed by the adapter
    no_request,           // arrived while no request was outstanding
    discarded,            // bytes that form no frame: noise, a cut-off answer, stale bytes
    time_out,             // no answer within the time-out; bytes: the request
    other_transaction,    // Modbus TCP: a whole answer with another transaction id (to an earlier request)
};

// Lower-case words with underscores, as the enumerators read ("check_sum_wrong").
std::string_view verdict_name(Verdict v);

struct SentFrame {
    std::chrono::milliseconds at{0};
    std::vector<std::uint8_t> bytes;  // exactly as written to the port
    std::string request_string;
    int comm_state = 0;
    int current_register = 0;
};

struct Reception {
    std::chrono::milliseconds at{0};
    Verdict verdict = Verdict::discarded;
    std::vector<std::uint8_t> bytes;  // as they came off the line (ASCII: the characters)
    int exception_code = 0;           // only for Verdict::exception
};

// What happened to a connection beneath the engine (a gateway over TCP).
enum class LinkEvent {
    connected,     // detail: the host and port
    closed,        // the far end closed it; detail: the system's words
    reconnected,   // a new connection for the request about to go out
    connect_failed,  // detail: the system's reason
};

struct LinkNote {
    std::chrono::milliseconds at{0};
    LinkEvent event = LinkEvent::connected;
    std::string detail;
};

class Observer {
  public:
    virtual ~Observer() = default;
    virtual void frame_sent(const SentFrame& frame) = 0;
    virtual void received(const Reception& reception) = 0;
    // A connection came, went or came back; only transports with connections report these.
    virtual void link_event(const LinkNote& note) { (void)note; }
};

}  // namespace plx::modbus
