// The one kind of failure of the generator: a source file that is missing or
// not what the generator expects. The text names the file and the fault.
#pragma once

#include <stdexcept>
#include <string>

namespace kelo::colourdata {

class SourceError : public std::runtime_error {
public:
    SourceError(const std::string& source, const std::string& fault)
        : std::runtime_error(source + ": " + fault) {}
};

}  // namespace kelo::colourdata
