#pragma once
// How a fuzz target reports a broken rule: as a crash, so that libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace plx::fuzz {

[[noreturn]] inline void fail(const char* rule, const std::string& detail) {
    std::fprintf(stderr, "rule broken: %s: %s\n", rule, detail.c_str());
    std::abort();
}

}  // namespace plx::fuzz
