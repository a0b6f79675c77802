// Captures what the code under test writes to standard output and standard
// error while the object lives.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace kelo::test {

class OutputCapture {
public:
    OutputCapture()
        : savedOut(std::cout.rdbuf(out.rdbuf())), savedErr(std::cerr.rdbuf(err.rdbuf())) {}
    ~OutputCapture() {
        std::cout.rdbuf(savedOut);
        std::cerr.rdbuf(savedErr);
    }
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    std::string stdOut() const { return out.str(); }
    std::string stdErr() const { return err.str(); }
    void clear() {
        out.str({});
        err.str({});
    }

private:
    std::ostringstream out;
    std::ostringstream err;
    std::streambuf* savedOut;
    std::streambuf* savedErr;
};

}  // namespace kelo::test
