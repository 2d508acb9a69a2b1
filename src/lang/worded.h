#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "lang/texts.h"

namespace plx::lang {

// One text in both languages, found by an enumerator of the table's owner.
template <class Id>
struct Worded {
    Id id;
    const char* german;
    const char* english;
};

// The text of `id` in the language of `language_code`, with %1.. filled from `args` (placeholders
// without an argument stay as they are); empty when the table has no such row.
template <class Id, std::size_t N>
std::string worded(const std::array<Worded<Id>, N>& rows, Id id, const std::string& language_code,
                   const std::vector<std::string>& args = {}) {
    for (const auto& r : rows) {
        if (r.id == id) return substitute(is_english(language_code) ? r.english : r.german, args);
    }
    return {};
}

}  // namespace plx::lang
