#include "reception.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/requests.h"
#include "device/word_codec.h"
#include "modbus/frame.h"
#include "modbus/wandeln.h"
#include "rig.h"

namespace plx::fuzz {

namespace {

// What the answer to a request must be, worked out here apart from the link's own reckoning.
struct Answer {
    std::vector<std::uint8_t> header;  // address, function, then byte count or start and quantity
    std::size_t length = 0;            // without the check sum
};

std::optional<Answer> answer_to(const std::string& request_string) {
    std::vector<std::uint8_t> r;
    if (!modbus::hex_to_bytes(request_string, r) || r.size() < 6 || r[0] == 0) return std::nullopt;
    const int quantity = (r[4] << 8) | r[5];
    if (r[1] == 0x0F || r[1] == 0x10) return Answer{{r.begin(), r.begin() + 6}, 6};
    int count = 0;
    if (r[1] == 0x01 && quantity >= 1 && quantity <= 2000) count = (quantity + 7) / 8;
    if (r[1] == 0x03 && quantity >= 1 && quantity <= 125) count = 2 * quantity;
    if (count == 0 || r.size() != 6) return std::nullopt;
    return Answer{{r[0], r[1], static_cast<std::uint8_t>(count)}, 3 + static_cast<std::size_t>(count)};
}

class Oracle : public modbus::Observer {
  public:
    explicit Oracle(bool rtu) : rtu_(rtu) {}

    void frame_sent(const modbus::SentFrame& frame) override {
        awaited_ = answer_to(frame.request_string);
        last_frame = frame.bytes;
    }

    void received(const modbus::Reception& r) override {
        if (r.verdict == modbus::Verdict::time_out) return;
        if (r.bytes.empty()) fail("every verdict concerns bytes", std::string(modbus::verdict_name(r.verdict)));
        judged.insert(judged.end(), r.bytes.begin(), r.bytes.end());
        if (r.verdict == modbus::Verdict::ok && !awaited_)
            fail("nothing is taken without a request", hex(r.bytes));
        if (r.verdict == modbus::Verdict::exception) {
            // RTU: the address byte; ASCII: its two digits after the colon
            const std::string start =
                rtu_ ? hex({r.bytes[0]}) : std::string(r.bytes.begin() + 1, r.bytes.begin() + 3);
            if (!awaited_ || upper(start) != hex({awaited_->header[0]}))
                fail("an exception answers the request", hex(r.bytes));
            awaited_.reset();
        }
    }

    void dispatched(const std::string& response_text) {
        if (!awaited_) fail("one answer per request", response_text);
        std::vector<std::uint8_t> b;
        if (!modbus::hex_to_bytes(response_text, b)) fail("the answer is hex", response_text);
        const Answer& a = *awaited_;
        const std::size_t sum = rtu_ ? 2 : 1;
        if (b.size() != a.length + sum) fail("exactly the answer's length", response_text);
        if (!std::equal(a.header.begin(), a.header.end(), b.begin()))
            fail("address, function, count", response_text);
        const std::span<const std::uint8_t> body(b.data(), a.length);
        if (rtu_) {
            const std::uint16_t crc = modbus::crc16(body);
            if (b[a.length] != (crc & 0xFF) || b[a.length + 1] != (crc >> 8))
                fail("a right CRC", response_text);
        } else {
            const std::string digits = response_text.substr(0, 2 * a.length);
            if (b.back() != modbus::lrc_of_characters(digits) && b.back() != modbus::lrc_of_bytes(body))
                fail("a right LRC", response_text);
        }
        awaited_.reset();
    }

    static std::string hex(const std::vector<std::uint8_t>& bytes) { return modbus::bytes_to_hex(bytes); }
    static std::string upper(std::string text) {
        for (char& c : text) {
            if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        }
        return text;
    }

    std::vector<std::uint8_t> judged;
    std::vector<std::uint8_t> last_frame;

  private:
    bool rtu_;
    std::optional<Answer> awaited_;
};

std::string request(std::uint8_t pick, const std::string& slave) {
    const int v = pick / 12;
    const auto b = static_cast<std::uint8_t>(v);
    switch (pick % 12) {
        case 0:
            return device::requests::read_response_time(slave);
        case 1:
            return device::requests::read_cfg_block(slave, 10 * (v % 6));
        case 2:
            return device::requests::read_cfg_bits(slave);
        case 3:
            return device::requests::read_input_registers(slave);
        case 4:
            return device::requests::read_input_bits(slave);
        case 5:
            return device::requests::read_output_registers(slave);
        case 6: {
            const std::array<std::string, 10> words{
                "0000", "0001", device::hex4(b), "FFFF", "7FFF",
                "8000", "0064", "00D7",          "0000", device::hex2(b) + "00"};
            return device::requests::write_cfg_block(slave, 10 * (v % 6), words);
        }
        case 7: {
            const std::array<std::uint8_t, 4> bits{b, 0x00, 0xFF, b};
            return device::requests::write_cfg_bits(slave, bits);
        }
        case 8:
            return device::requests::write_input_register(slave, 7 + v % 21, device::hex4(b));
        case 9: {
            const std::array<std::uint8_t, 2> bits{b, 0x5A};
            return device::requests::write_input_bits(slave, bits);
        }
        case 10:
            // more registers than one answer holds: nothing can fit
            return slave + "0300000100";
        default:
            // a function this program never uses
            return slave + "0600010002";
    }
}

std::string address_text(std::uint8_t a) {
    return a == 255 ? std::string{} : std::to_string(a);
}

}  // namespace

void run_reception(const std::uint8_t* data, std::size_t size, bool rtu) {
    if (size == 0) return;
    LinkRig rig;
    Oracle oracle(rtu);
    std::vector<std::uint8_t> fed;
    rig.link.observe(&oracle);
    rig.link.on_response = [&] { oracle.dispatched(rig.state.response_text); };
    rig.link.first_request = [](const std::string& slave) {
        return device::requests::read_response_time(slave);
    };
    rig.form.txt_Modbus_adress.set_text(address_text(data[0]));
    rig.open(rtu);

    const auto line = [&](std::span<const std::uint8_t> bytes) {
        fed.insert(fed.end(), bytes.begin(), bytes.end());
        rig.port.inject(bytes);
        rig.poll();
    };
    std::size_t at = 1;
    const auto next = [&]() -> std::optional<std::uint8_t> {
        if (at >= size) return std::nullopt;
        return data[at++];
    };
    while (const auto op = next()) {
        switch (*op % 6) {
            case 0: {
                const auto n = next();
                if (!n) break;
                const std::size_t take = std::min<std::size_t>(*n, size - at);
                line(std::span<const std::uint8_t>(data + at, take));
                at += take;
                break;
            }
            case 1:
                rig.poll();
                break;
            case 2: {
                const auto pick = next();
                if (!pick) break;
                const std::string slave =
                    link::slave_address_hex(rig.form.txt_Modbus_adress.text()).value_or("01");
                rig.link.transmit(request(*pick, slave));
                break;
            }
            case 3: {
                const auto a = next();
                if (a) rig.form.txt_Modbus_adress.set_text(address_text(*a));
                break;
            }
            case 4:
                rig.form.Combo_Port[6].user_select(0);
                rig.form.Combo_Port[6].user_select(1);
                break;
            default: {
                const std::vector<std::uint8_t> echo = oracle.last_frame;
                line(echo);
                break;
            }
        }
    }
    // the next request gives up whatever is still held: by then every byte has had its verdict
    rig.link.transmit(device::requests::read_response_time("01"));
    if (oracle.judged != fed) {
        fail("every byte judged once, in order",
             "fed " + Oracle::hex(fed) + "\njudged " + Oracle::hex(oracle.judged));
    }
}

}  // namespace plx::fuzz
