#pragma once
// The link's reception driven by arbitrary events on the line, with the acceptance rule as oracle:
// what reaches the dispatch is exactly the answer to the request on the wire, at most once, and
// every byte that arrived is judged exactly once, in order.
//
// Input: byte 0 is the address typed before the port opens (0 and 248 and above are no address);
// then operations, each a byte whose value modulo 6 selects:
//   0  a chunk from the line: a length byte n, then n bytes; then a poll
//   1  a poll that finds nothing (the line is silent)
//   2  a request: one byte picks which (to the address field's slave, or slave 1 without one)
//   3  an address typed: one byte, 255 clears the field
//   4  the port closed and opened again (opening sends the response-time read)
//   5  the adapter echoes the last frame sent; then a poll

#include <cstddef>
#include <cstdint>

namespace plx::fuzz {

void run_reception(const std::uint8_t* data, std::size_t size, bool rtu);

}  // namespace plx::fuzz
