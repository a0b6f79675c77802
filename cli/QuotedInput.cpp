#include "QuotedInput.h"

namespace kelo::cli {

namespace {

constexpr std::string_view kElision = "...";

}  // namespace

std::string shortened(std::string_view input) {
    if (input.size() <= kMaxEchoedInput) return std::string(input);
    const std::size_t kept = kMaxEchoedInput - kElision.size();
    const std::size_t head = kept / 2;
    const std::size_t tail = kept - head;
    std::string text(input.substr(0, head));
    text += kElision;
    text += input.substr(input.size() - tail);
    return text;
}

std::string quotedInput(std::string_view input) {
    return "\"" + shortened(input) + "\"";
}

}  // namespace kelo::cli
