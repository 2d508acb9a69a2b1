#pragma once
// Incremental parsers for answers from the unit: they take the received bytes one at a time and
// give back each complete frame whose check sum matches. Memory is bounded in both modes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plx::link {

struct Assembled {
    std::string response_text;  // uppercase hex from the slave address on, check-sum digits last
    bool exception = false;     // function code with the high bit set: a refusal, not data
};

class RtuAssembler {
public:
    // the longest RTU frame: address, function, 252 data bytes, CRC
    static constexpr std::size_t kMaxFrame = 256;

    // One received byte; address is the configured slave (1..247, anything else takes no frame).
    // Returns the frames this byte completed with a matching CRC, normally none or one.
    std::vector<Assembled> push(std::uint8_t byte, int address);
    void reset() { buf_.clear(); }
    std::size_t buffered() const { return buf_.size(); }
    // Total length of the frame being collected, 0 while not yet known.
    int expected_length() const;

private:
    std::vector<std::uint8_t> buf_;
};

class AsciiAssembler {
public:
    // ":" + 2 x 255 hex digits + CR LF
    static constexpr std::size_t kMaxFrame = 513;

    std::vector<Assembled> push(std::uint8_t ch, int address);
    void reset() {
        in_frame_ = false;
        buf_.clear();
    }
    bool in_progress() const { return in_frame_; }

private:
    bool in_frame_ = false;
    std::string buf_;  // what followed the ":"
};

}  // namespace plx::link
