// How a message shows text it read from a file or a command line.
//
// Header-only: the updater program shares it without linking the
// application's libraries.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace kelo {

// The most characters of such text one message repeats.
constexpr std::size_t kLongestEcho = 80;

// `text` with every byte outside printable ASCII as \xNN, at most
// kLongestEcho characters, cut with "...".
inline std::string echoed(const std::string& text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            shown += escape;
        }
    }
    if (shown.size() <= kLongestEcho) return shown;
    return shown.substr(0, kLongestEcho - 3) + "...";
}

}  // namespace kelo
