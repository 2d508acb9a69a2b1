#pragma once
// The chains of requests the program runs with a unit, once for the window and plx24ctl: which
// request comes after which in a read-out and in a write, the request string of each step, the
// answer each step awaits, and what an answer carries. The window paces its steps by its timers,
// plx24ctl by the request engine; both walk these chains.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plx::device {

// One kind of request to a unit.
enum class Step {
    read_response_time,
    read_identification,
    read_cfg_block,  // `first`: the block's first configuration register (0, 10, .. 50)
    read_cfg_bits,
    read_input_registers,
    read_input_bits,
    read_output_registers,
    write_cfg_block,  // `first`: the block's first configuration register
    write_cfg_bits,
    write_input_register,  // `first`: the input register (0 .. 27)
    write_input_bits,
};

struct StepRef {
    Step step = Step::read_response_time;
    int first = 0;
    bool operator==(const StepRef&) const = default;
};

// A read-out after the unit's response time is known: the six blocks of configuration registers,
// the 32 configuration bits, then, with the inputs, the input registers 7 .. 27 read back and the
// 16 input bits.
std::vector<StepRef> read_out_chain(bool with_inputs);

// What a write carries: the configuration (all six blocks and the 32 bits go once anything of it
// is to be written), the input registers marked, in order, and the input bits.
struct WriteStages {
    bool configuration = false;
    std::vector<int> input_registers;
    bool input_bits = false;
};
// The write, stage by stage, each stage only when something in it is to be written.
std::vector<StepRef> write_chain(const WriteStages& stages);

// The step after `step` in `chain`; nothing at its end or for a step not in it.
std::optional<StepRef> next_step(std::span<const StepRef> chain, StepRef step);

// The request string of a read step for this slave (two hex digits).
std::string read_request(StepRef step, std::string_view slave);
// The request string of a write step: `words` are the step's four-hex-digit words (a block, or the
// one input register); `bits` the states of the configuration or input bits, in order.
std::string write_request(StepRef step, std::string_view slave, std::span<const std::string> words);
std::string write_request(StepRef step, std::string_view slave, std::span<const int> bits);

// The request a step waits for the answer to: its function, start and quantity.
struct Awaited {
    std::uint8_t function;
    std::uint16_t start;
    std::uint16_t quantity;
};
Awaited awaited(StepRef step);
// The request string (hex, from the slave address on) is the kind of request awaited.
bool is_awaited(std::string_view request_string, const Awaited& a);

// The words of a read answer (response text: hex from the slave address on), as many as the step
// reads; nothing when the answer is short: missing words are never taken as 0.
std::optional<std::vector<std::uint16_t>> answer_words(StepRef step, std::string_view response_text);
// The bits of a coil read answer, as many as the step reads, bit p of data byte b at 8·b + p.
std::optional<std::vector<int>> answer_bits(StepRef step, std::string_view response_text);

}  // namespace plx::device
