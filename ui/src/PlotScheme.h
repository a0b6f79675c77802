// The dark scheme that every plot of the interface shares:
// light axes on a black plot.
#pragma once

class QCustomPlot;

namespace kelo::ui {

// Black background; both axes with their ticks, sub-ticks, tick labels and
// labels in white (pens of width 1), a dotted grey grid, tick labels in
// Arial 10 and axis labels in Arial 12.
void applyDarkScheme(QCustomPlot* plot);

}  // namespace kelo::ui
