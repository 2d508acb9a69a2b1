#pragma once
// The record of the line: every frame sent and every reception verdict as a raw row in a bounded
// ring, the counters, and what was seen since the last request (the reason of a failure). Rows are
// kept raw; words are made only when a view asks (table.h), so recording costs a copy of the bytes.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modbus/diagnostics.h"
#include "traffic/meaning.h"

namespace plx::traffic {

// the ring keeps the last this many rows
inline constexpr std::size_t kRingRows = 10'000;

enum class Direction {
    sent,
    received,
    event,  // a connection of a gateway came, went or came back
};

struct Row {
    std::uint64_t seq = 0;  // counts every row taken since the recorder began
    std::chrono::milliseconds at{0};
    Direction direction = Direction::sent;
    modbus::Verdict verdict = modbus::Verdict::ok;  // of a received row
    int exception_code = 0;
    modbus::Framing framing = modbus::Framing::rtu;
    std::vector<std::uint8_t> bytes;
    // the request string on the wire when the row was taken; null before the first request
    std::shared_ptr<const std::string> request;
    // an event row's event and its detail ("host:port", the system's words)
    modbus::LinkEvent event = modbus::LinkEvent::connected;
    std::string detail;
};

struct Counters {
    std::uint64_t requests = 0;
    std::uint64_t valid_answers = 0;
    std::uint64_t time_outs = 0;
    std::uint64_t check_sum_errors = 0;
    std::uint64_t exceptions = 0;
};

// What the bytes that came back since the last request say about a failure, strongest first.
enum class Reason {
    none,            // the request was answered
    exception,       // the unit refused it
    check_sums,      // frames with a wrong check sum
    other_address,   // whole frames from another slave
    short_answer,    // the answer began as awaited and ended early, in either framing
    misfit,          // whole frames of this slave that do not answer the request
    other_transaction,  // Modbus TCP: answers to earlier requests only
    bytes_no_frame,  // bytes, but nothing that forms a frame
    echo_only,       // only the adapter's echo of the request
    no_byte,         // nothing at all
};

struct Diagnosis {
    Reason reason = Reason::none;
    std::size_t count = 0;  // frames (check sums) or bytes (no frame, short answer) behind the reason
    int asked_address = 0;  // the address the request went to
    int other_address = 0;  // the address that answered instead
    int exception_code = 0;
    std::size_t awaited = 0;  // short answer: the bytes a whole answer has
};

// Told after rows were added, dropped from the front, or cleared; it asks the recorder what changed.
class RowListener {
  public:
    virtual ~RowListener() = default;
    virtual void rows_changed() = 0;
};

class Recorder : public modbus::Observer {
  public:
    explicit Recorder(std::size_t capacity = kRingRows) : capacity_(capacity) {}

    void frame_sent(const modbus::SentFrame& frame) override;
    void received(const modbus::Reception& reception) override;
    void link_event(const modbus::LinkNote& note) override;

    // The link's framing now; unset: RTU.
    std::function<modbus::Framing()> framing;
    // A valid answer came after a time-out was reported.
    std::function<void()> on_recovered;

    // rows, oldest first
    std::size_t size() const { return rows_.size(); }
    std::size_t capacity() const { return capacity_; }
    const Row& row(std::size_t i) const { return rows_[i]; }
    // seq of the oldest row kept (the next row's seq when the ring is empty)
    std::uint64_t first_seq() const { return rows_.empty() ? next_seq_ : rows_.front().seq; }
    // changes on every clear, so a view knows its rows are gone
    std::uint64_t generation() const { return generation_; }

    // Rows and counters start over.
    void clear();
    // Paused: frames are counted and judged, but no row is taken.
    void set_paused(bool paused);
    bool paused() const { return paused_; }

    void add_listener(RowListener* l);
    void remove_listener(RowListener* l);
    // Another watcher of the line hears of each frame and verdict after the recorder has taken it, so
    // diagnosis() then already includes it (the link itself has room for one observer).
    void add_follower(modbus::Observer* o);
    void remove_follower(modbus::Observer* o);

    const Counters& counters() const { return counters_; }
    std::optional<std::chrono::milliseconds> last_valid_answer() const { return last_ok_; }
    // Judged from what came back since the last request went out.
    Diagnosis diagnosis() const;
    // The same, with what came back to the request before when it was the same one and went
    // unanswered: a poll's note is not left to whatever the newest poll has seen so far.
    Diagnosis line_diagnosis() const;

  private:
    struct SinceRequest;
    static Diagnosis judge(const SinceRequest& seen, int asked_address);
    struct SinceRequest {
        bool answered = false;
        int exception_code = -1;
        std::size_t check_sums = 0;
        std::size_t other_frames = 0;
        int other_address = 0;
        std::size_t misfits = 0;
        std::size_t other_transactions = 0;
        std::size_t loose_bytes = 0;
        std::size_t echoes = 0;
        std::size_t short_bytes = 0;
        std::size_t short_of = 0;
        // the bytes seen of an unanswered request, added to those of the next
        void add_seen(const SinceRequest& other);
    };

    void take(Row row);
    // Counts bytes that are the awaited answer cut short; false for anything else.
    bool note_short(const std::vector<std::uint8_t>& bytes, modbus::Framing framing);
    modbus::Framing framing_now() const { return framing ? framing() : modbus::Framing::rtu; }

    std::size_t capacity_;
    std::deque<Row> rows_;
    std::uint64_t next_seq_ = 0;
    std::uint64_t generation_ = 0;
    bool paused_ = false;
    std::vector<RowListener*> listeners_;
    std::vector<modbus::Observer*> followers_;
    Counters counters_;
    std::optional<std::chrono::milliseconds> last_ok_;
    std::shared_ptr<const std::string> request_;
    int asked_address_ = 0;
    SinceRequest since_;
    // what came back to the request before, when it was the same and went unanswered: a poll
    // overtaken by the next one may have had its answer cut short only just before
    std::optional<SinceRequest> before_;
    bool timed_out_ = false;
};

}  // namespace plx::traffic
