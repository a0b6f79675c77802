// How the spectrum and time-series plots scale their axes: the three modes
// (AutoScale Y, AutoScale XY, manual limits), the limits the operator typed,
// and the three tool buttons that show the active mode.
#pragma once

class QCPAxis;
class QCPRange;
class QToolButton;

namespace kelo::ui {

// Unchecking AutoScale Y asks for these x limits; the plotting library
// refuses them, so the x axis keeps its range while the mode turns manual.
constexpr double kKeepXMin = 1e-280;
constexpr double kKeepXMax = 1e250;

struct PlotScaling {
    bool manualScale = false;
    bool autoScaleY = false;
    bool autoScaleXY = true;
    double manualXMin = 0.0;
    double manualXMax = 0.0;
    double manualYMin = 0.0;
    double manualYMax = 0.0;

    void useAutoScaleY();
    void useAutoScaleXY();
    void useManualScale(double xmin, double xmax, double ymin, double ymax);

    // Sets the axes by the first mode that is on: AutoScale Y the y axis
    // to [dataYLow, 1.1 dataYHigh], AutoScale XY also the x axis to
    // [dataXLow, dataXHigh], manual both to the limits (y up to 1.1 times
    // its top limit). The headroom leaves room for the peak labels.
    void applyRanges(QCPAxis* x, QCPAxis* y, double dataXLow, double dataXHigh, double dataYLow,
                     double dataYHigh) const;
};

enum class ScaleMode { AutoY, Manual };

// Sets the buttons' icons to those of `mode` and unchecks the buttons of the
// other modes (AutoY: AutoScale XY and Manual; Manual: AutoScale Y and XY).
void showScaleMode(ScaleMode mode, QToolButton* autoScaleY, QToolButton* autoScaleXY,
                   QToolButton* manualScale);

// After the one-shot AutoScale XY, AutoScale Y takes over as if the operator
// had switched it on: the button ends checked and its clicked(true) runs.
void handOverToAutoScaleY(QToolButton* autoScaleY);

}  // namespace kelo::ui
