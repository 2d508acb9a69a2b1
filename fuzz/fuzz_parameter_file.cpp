// The parameter-file reader on any bytes, with the writer as its oracle: whatever the reader takes
// from a file, written again and read back, gives the same register texts and bit states.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "oracle.h"
#include "paramfile/cp1252.h"
#include "paramfile/parameter_file.h"

namespace {

using plx::fuzz::fail;
namespace pf = plx::paramfile;

void check_taken(const pf::ReadResult& r) {
    if (r.complete_lines < 0 || r.complete_lines > pf::kLineCount) fail("complete lines within the file", "");
    for (int k = 0; k < pf::kRegisterCount; ++k) {
        const auto& text = r.register_texts[static_cast<std::size_t>(k)];
        if (!text) continue;
        if (r.refused()) fail("a refused file gives no value", std::to_string(k));
        // registers 1 and 2 identify the unit and are never taken from a file
        if (k < pf::kFirstLoadedRegister) fail("registers 1 and 2 are never loaded", *text);
        if (text->find_first_of(";\r\n") != std::string::npos)
            fail("a value is one field of one line", *text);
    }
    for (const auto& bit : r.bit_states) {
        if (!bit) continue;
        if (r.refused()) fail("a refused file gives no bit", "");
        if (*bit != 0 && *bit != 1) fail("a bit is 0 or 1", std::to_string(*bit));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const pf::ReadResult first = pf::read(bytes);
    check_taken(first);
    if (first.refused()) return 0;

    pf::Contents c;
    for (int k = 0; k < pf::kRegisterCount; ++k) {
        c.register_texts[static_cast<std::size_t>(k)] =
            first.register_texts[static_cast<std::size_t>(k)].value_or("");
    }
    for (int j = 0; j < pf::kBitCount; ++j) {
        c.bit_states[static_cast<std::size_t>(j)] = first.bit_states[static_cast<std::size_t>(j)].value_or(0);
    }
    const pf::Written w = pf::write(c);
    // a byte Windows-1252 leaves undefined comes in as U+FFFD, which the writer rightly refuses
    if (!w.ok()) {
        if (w.bad_character != 0xFFFD)
            fail("the writer takes what the reader gave", pf::code_point_name(w.bad_character));
        return 0;
    }
    const pf::ReadResult second = pf::read(w.bytes);
    if (second.refused() || !second.complete()) fail("a written file reads back whole", "");
    for (int k = pf::kFirstLoadedRegister; k < pf::kRegisterCount; ++k) {
        if (second.register_texts[static_cast<std::size_t>(k)] !=
            c.register_texts[static_cast<std::size_t>(k)]) {
            fail("a register text survives writing and reading",
                 c.register_texts[static_cast<std::size_t>(k)]);
        }
    }
    for (int j = 0; j < pf::kBitCount; ++j) {
        if (second.bit_states[static_cast<std::size_t>(j)] != c.bit_states[static_cast<std::size_t>(j)]) {
            fail("a bit survives writing and reading", std::to_string(j));
        }
    }
    return 0;
}
