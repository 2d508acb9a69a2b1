// The port map of PLX24_PORT_MAP and the user's settings: every entry it keeps names a port of the
// boxes and a device path without the blanks around it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/port_map.h"
#include "oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(data, data + size);
    for (const auto& [n, path] : plx::link::parse_port_map(text)) {
        if (n < 1 || n > plx::link::kNetworkEntry) plx::fuzz::fail("a port of the boxes", std::to_string(n));
        if (path.empty() || path.find(';') != std::string::npos) plx::fuzz::fail("one whole path", path);
        for (char edge : {path.front(), path.back()}) {
            if (edge == ' ' || edge == '\t') plx::fuzz::fail("no blanks around a path", path);
        }
        if (text.find(path) == std::string::npos) plx::fuzz::fail("the path as written", path);
    }
    return 0;
}
