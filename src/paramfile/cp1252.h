#pragma once
// Windows-1252, the code page of parameter files on every platform, to and from the program's UTF-8.
// Qt 6 offers no such codec everywhere, and a character the code page cannot hold must be refused
// rather than written as something else.

#include <optional>
#include <string>
#include <string_view>

namespace plx::paramfile {

struct Encoded {
    std::string bytes;
    // the first character with no Windows-1252 form (U+FFFD for malformed UTF-8); nothing written then
    std::optional<char32_t> unencodable;
};

Encoded utf8_to_cp1252(std::string_view utf8);

// Every byte has a character except 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which become U+FFFD.
std::string cp1252_to_utf8(std::string_view bytes);

// "U+00E4" style name of a character for messages.
std::string code_point_name(char32_t c);
std::string utf8_of(char32_t c);

}  // namespace plx::paramfile
