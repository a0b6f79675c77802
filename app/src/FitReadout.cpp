#include "FitReadout.h"

namespace kelo::app {

FitReadout describeFit(const kelo::engine::FitDiagnostics& fit) {
    FitReadout readout;
    if (!fit.fitted) {
        readout.toolTip = "No fit: the last cell values held no light";
        return readout;
    }
    readout.text = QString("fit %1").arg(fit.relativeResidual, 0, 'g', 2);
    readout.toolTip = QString("Relative residual %1, %2 iterations, %3 passes, %4 free "
                              "wavelengths")
                          .arg(fit.relativeResidual, 0, 'g', 3)
                          .arg(fit.outerIterations)
                          .arg(fit.passes)
                          .arg(fit.passiveCount);
    // Live spectra start from the one before them, so they take far fewer
    // iterations than a spectrum solved from nothing.
    if (fit.warmStart) readout.toolTip += ", started from the previous spectrum";
    if (fit.capReached) {
        readout.warning = true;
        readout.toolTip += "\nThe solver stopped at its iteration cap: the spectrum may be "
                           "incomplete.";
    }
    if (fit.relativeResidual > kFitResidualWarning) {
        readout.warning = true;
        readout.toolTip += "\nThe residual is large: the cells do not match the calibration "
                           "(stray light, saturation or a wrong unit).";
    }
    return readout;
}

}  // namespace kelo::app
