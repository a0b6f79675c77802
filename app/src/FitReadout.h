// How the indicator bar tells the operator how well the last spectrum fits
// the calibration.
#pragma once

#include <QString>

#include "engine/FitDiagnostics.h"

namespace kelo::app {

struct FitReadout {
    QString text;     // "fit 7.3e-06", or empty when nothing was fitted
    QString toolTip;  // the solver's effort, and the cause of a warning
    bool warning = false;
};

// Above this relative residual the spectrum does not explain the cells.
constexpr double kFitResidualWarning = 1e-2;

FitReadout describeFit(const kelo::engine::FitDiagnostics& fit);

}  // namespace kelo::app
