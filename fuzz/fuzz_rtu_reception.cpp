// Reception in RTU mode against the acceptance rule (see reception.h for the input).
#include <cstddef>
#include <cstdint>

#include "reception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plx::fuzz::run_reception(data, size, true);
    return 0;
}
