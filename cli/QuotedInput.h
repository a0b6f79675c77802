// Input named in a message: what the operator typed or a file holds may be
// of any length, a message line is not.
#pragma once

#include <string>

#include "config/EchoedText.h"

namespace kelo::cli {

// kelo::echoed(input) in double quotes.
std::string quotedInput(const std::string& input);

}  // namespace kelo::cli
