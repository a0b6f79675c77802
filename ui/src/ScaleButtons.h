// The three scaling tool buttons that the spectrum and time-series plots
// share: which one shows as active after a change of scaling mode.
#pragma once

class QToolButton;

namespace kelo::ui {

enum class ScaleMode { AutoY, Manual };

// Sets the buttons' icons to those of `mode` and unchecks the buttons of the
// other modes (AutoY: AutoScale XY and Manual; Manual: AutoScale Y and XY).
void showScaleMode(ScaleMode mode, QToolButton* autoScaleY, QToolButton* autoScaleXY,
                   QToolButton* manualScale);

}  // namespace kelo::ui
