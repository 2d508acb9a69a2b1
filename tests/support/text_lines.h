#pragma once
// A text cut at every occurrence of a separator, for reading back what a program wrote (CR LF lines, ";"
// fields); the last piece is what follows the last separator, empty when the text ends with one.

#include <string>
#include <vector>

namespace plx::test {

inline std::vector<std::string> split(const std::string& text, const std::string& by) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(by, from)) != std::string::npos; from = at + by.size())
        out.push_back(text.substr(from, at - from));
    out.push_back(text.substr(from));
    return out;
}

}  // namespace plx::test
