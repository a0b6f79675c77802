// Input named in a message: what the operator typed or a file holds may be
// of any length, a message line is not.
#pragma once

#include <string>
#include <string_view>

namespace kelo::cli {

// The most characters of input a message shows.
constexpr std::size_t kMaxEchoedInput = 80;

// `input` as it is when it has at most kMaxEchoedInput characters; otherwise
// its start and its end joined by "...", kMaxEchoedInput characters in all,
// so that a long path still shows its file name.
std::string shortened(std::string_view input);

// shortened(input) in double quotes.
std::string quotedInput(std::string_view input);

}  // namespace kelo::cli
