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

// `text` with every byte outside printable ASCII as \xNN; when that is
// longer than kLongestEcho characters, its start and its end joined by
// "...", kLongestEcho characters in all, so that a long path still shows
// its file name.
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
    constexpr std::size_t kKept = kLongestEcho - 3;
    return shown.substr(0, kKept / 2) + "..." + shown.substr(shown.size() - (kKept - kKept / 2));
}

}  // namespace kelo
