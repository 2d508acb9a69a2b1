#pragma once
// The bus scan: one read of configuration registers 0 .. 2 (device coding, firmware, buttons) to each
// address at each line setting, one probe on the line at a time. A silent address costs only a short
// window for the first byte of an answer (the probe's time on the line and a margin); an answer that
// has begun gets the whole wait. A unit slower than the window still shows itself: its late answer, a
// frame under its address or bytes after a silent probe put its address on a list that a second look
// probes again with the longest wait a unit may take (its minimum response time is at most 3000 ms).

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "modbus/engine.h"
#include "modbus/line_settings.h"

namespace plx::bus {

struct FoundUnit {
    int address = 0;
    modbus::LineSettings line;
    int device_coding = 0;
    int firmware = 0;
    int buttons = 0;
    // set when the unit refused the identification read: something answers there, but no PLX24
    int exception_code = 0;
    // found by the second look only: it answers later than the short wait
    bool slow = false;
};

// A unit answers after its minimum response time (20 ms as it leaves the factory) and the adapter's
// latency: most are heard within this margin, the slower ones show themselves for the second look.
inline constexpr std::chrono::milliseconds kFirstByteMargin{30};

struct ScanPlan {
    std::vector<modbus::LineSettings> lines;
    std::vector<int> addresses;  // 1 .. 247, in the order to probe
    // the wait after a probe has gone out for an answer that has begun; the transfer time of the
    // answer comes on top
    std::chrono::milliseconds probe_wait{100};
    // the window for the first byte of an answer, after the probe's own time on the line; zero: the
    // whole probe_wait (a wait the user gave)
    std::chrono::milliseconds first_byte_margin{kFirstByteMargin};
    // the wait of the second look
    std::chrono::milliseconds second_look_wait{3500};
};

struct ScanProgress {
    std::size_t done = 0;   // probes answered or timed out
    std::size_t total = 0;  // grows when a second look is due
    int address = 0;        // the address being probed
    modbus::LineSettings line;
    bool second_look = false;
};

struct ScanOutcome {
    std::vector<FoundUnit> units;  // in the order found
    bool cancelled = false;
    std::optional<modbus::PortError> port_error;  // the port could not be opened at these settings
    std::size_t probes = 0;
};

class Scanner {
  public:
    explicit Scanner(modbus::Engine& engine);
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;
    ~Scanner();

    void start(ScanPlan plan, std::function<void(const ScanOutcome&)> done);
    // Stops at once; `done` is called with what was found so far.
    void cancel();
    bool running() const { return running_; }

    std::function<void(const ScanProgress&)> on_progress;
    std::function<void(const FoundUnit&)> on_found;

  private:
    void begin_line();
    void probe_next();
    void probe(int address, bool second_look);
    void probed(int address, bool second_look, const modbus::Outcome& a);
    void noticed(const modbus::Reception& r);
    void suspect(int address);
    void end(bool cancelled);
    bool known_here(int address) const;

    modbus::Engine& engine_;
    ScanPlan plan_;
    std::function<void(const ScanOutcome&)> done_;
    ScanOutcome outcome_;
    bool running_ = false;
    std::size_t line_ = 0;
    std::size_t next_address_ = 0;
    std::set<int> suspects_;
    std::set<int> in_plan_;
    std::optional<int> last_silent_;  // the last probe of this line that got no answer
    std::optional<int> prior_silent_;  // the one before it
    bool sending_ = false;            // a probe is going out: what the engine gives up now came before
    bool disturbed_ = false;          // bytes not the answer came during the probe on the line
    bool line_quiet_ = false;         // nothing at all came during the last probe
    ScanProgress progress_;
};

}  // namespace plx::bus
