#include "UnitIds.h"

#include "QuotedInput.h"

namespace kelo::cli {

std::string idLengthProblem(const std::string& what, const std::string& id, std::size_t longest) {
    if (id.size() <= longest) return {};
    return what + " " + quotedInput(id) + " is longer than " + std::to_string(longest) +
           " characters, the most a unit's system file holds";
}

}  // namespace kelo::cli
