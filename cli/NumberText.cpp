#include "NumberText.h"

#include <cmath>

namespace kelo::cli {

std::string numberText(double value) {
    if (std::isnan(value)) return "nan";
    char text[32];
    const auto [end, failure] = std::to_chars(text, text + sizeof text, value);
    return failure == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace kelo::cli
