#include "QuotedInput.h"

namespace kelo::cli {

std::string quotedInput(const std::string& input) {
    return "\"" + kelo::echoed(input) + "\"";
}

}  // namespace kelo::cli
