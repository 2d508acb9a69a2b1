#include "link/assembler.h"

#include <span>

#include "link/wandeln.h"

namespace plx::link {

namespace {

// Length of the frame that starts at buf[0], 0 while it cannot be told yet, -1 when no frame of
// this program can start like this.
int frame_length(const std::vector<std::uint8_t>& buf) {
    if (buf.size() < 2) return 0;
    const std::uint8_t function = buf[1];
    if (function == 0x01 || function == 0x03) {
        if (buf.size() < 3) return 0;
        const int byte_count = buf[2];
        if (byte_count == 0) return -1;
        const int length = byte_count + 5;  // address, function, byte count, data, CRC
        return length <= static_cast<int>(RtuAssembler::kMaxFrame) ? length : -1;
    }
    // a write confirmation is always 8 bytes: address, function, start address, quantity, CRC
    if (function == 0x0F || function == 0x10) return 8;
    // an exception answer: address, function | 0x80, exception code, CRC
    if ((function & 0x80) != 0) return 5;
    return -1;
}

bool valid_address(int address) { return address >= 1 && address <= 247; }

}  // namespace

int RtuAssembler::expected_length() const {
    const int length = frame_length(buf_);
    return length > 0 ? length : 0;
}

std::vector<Assembled> RtuAssembler::push(std::uint8_t byte, int address) {
    std::vector<Assembled> out;
    if (!valid_address(address)) {
        buf_.clear();
        return out;
    }
    buf_.push_back(byte);
    for (;;) {
        std::size_t skip = 0;
        while (skip < buf_.size() && buf_[skip] != address) ++skip;
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(skip));

        const int length = frame_length(buf_);
        if (length == 0) break;
        const auto n = static_cast<std::size_t>(length);
        if (length > 0 && buf_.size() < n) break;
        if (length > 0) {
            const std::span<const std::uint8_t> body(buf_.data(), n - 2);
            const std::uint16_t crc = crc16(body);
            // the CRC travels low byte first
            if (buf_[n - 2] == (crc & 0xFF) && buf_[n - 1] == (crc >> 8)) {
                out.push_back({bytes_to_hex(std::span<const std::uint8_t>(buf_.data(), n)), (buf_[1] & 0x80) != 0});
                buf_.erase(buf_.begin(), buf_.begin() + length);
                continue;
            }
        }
        // not a frame from here: look for the next start after this address byte
        buf_.erase(buf_.begin());
    }
    return out;
}

std::vector<Assembled> AsciiAssembler::push(std::uint8_t ch, int address) {
    std::vector<Assembled> out;
    if (ch == ':') {
        // a colon always starts a new frame; an unfinished one is dropped
        in_frame_ = true;
        buf_.clear();
        return out;
    }
    if (!in_frame_) return out;
    buf_.push_back(static_cast<char>(ch));
    if (buf_.size() + 1 > kMaxFrame) {
        reset();
        return out;
    }
    if (ch != '\n') return out;

    const std::string frame = std::move(buf_);
    reset();
    if (frame.size() < 2 || frame[frame.size() - 2] != '\r') return out;
    const std::string_view digits(frame.data(), frame.size() - 2);
    std::vector<std::uint8_t> bytes;
    // address, function and LRC at the least
    if (!hex_to_bytes(digits, bytes) || bytes.size() < 3) return out;
    if (!valid_address(address) || bytes[0] != address) return out;

    const std::uint8_t lrc = bytes.back();
    const bool tool_form = lrc == lrc_of_characters(digits.substr(0, digits.size() - 2));
    const bool standard_form = lrc == lrc_of_bytes(std::span<const std::uint8_t>(bytes.data(), bytes.size() - 1));
    if (!tool_form && !standard_form) return out;

    // the dispatch reads digits as upper case
    std::string text(digits);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    out.push_back({std::move(text), (bytes[1] & 0x80) != 0});
    return out;
}

}  // namespace plx::link
