// Numbers as the kelo commands read and show them.
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace kelo::cli {

// `text` read as a T when the whole of it is one number in the C locale
// ("nan" and "inf" are numbers for a double); empty otherwise.
template <class T>
std::optional<T> entireNumber(std::string_view text) {
    T parsed{};
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || failure != std::errc() || stop != end) return std::nullopt;
    return parsed;
}

// The shortest text that reads back to `value`: 0.01, 10000, 1e+09, inf, nan.
std::string numberText(double value);

}  // namespace kelo::cli
