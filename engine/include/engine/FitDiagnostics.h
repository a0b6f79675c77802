// How the last spectrum fit went, for the operator: the solver's effort and
// residual, and which cells were saturated.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::engine {

struct SaturatedCell {
    std::size_t cell = 0;
    double value = 0.0;           // as measured, before any dark was subtracted
    double peakWavelength = 0.0;  // nm of the largest entry of the cell's transfer row
};

struct FitDiagnostics {
    // False until a fit ran, and after cell values too small to fit.
    bool fitted = false;
    int outerIterations = 0;      // variables brought into the fit
    int passes = 0;               // inner passes of the solver
    int passiveCount = 0;         // variables left free at the end
    bool capReached = false;      // an iteration cap stopped the solver
    bool warmStart = false;       // the solve started from the previous spectrum's
    double relativeResidual = 0;  // |A x - b| / |b| of the normal equations
    // Cells above the saturation threshold, in cell order.
    std::vector<SaturatedCell> saturatedCells;
};

}  // namespace kelo::engine
