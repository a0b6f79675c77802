// The steps of an active-set solve, recorded on request, so that two
// implementations of the method can be shown to take the same path.
#pragma once

#include <ostream>

namespace kelo::engine {

struct NnlsStep {
    enum class Kind : char {
        add,     // the variable joined the passive set
        skip,    // the variable's column was dependent on the passive ones
        remove,  // the variable left the passive set
    };
    Kind kind = Kind::add;
    int variable = 0;
    int pass = 0;  // passes counted before this step

    friend bool operator==(const NnlsStep& a, const NnlsStep& b) {
        return a.kind == b.kind && a.variable == b.variable && a.pass == b.pass;
    }
    friend std::ostream& operator<<(std::ostream& out, const NnlsStep& step) {
        static const char* const names[] = {"add", "skip", "remove"};
        return out << names[static_cast<int>(step.kind)] << ' ' << step.variable << " @"
                   << step.pass;
    }
};

}  // namespace kelo::engine
