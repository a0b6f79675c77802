// The window's controls of the camera features: those of a feature the
// camera in use lacks are disabled and say why in their tool tip; the next
// camera starts from the controls as they were.
//
// The user-interface thread only.
#pragma once

#include <QPointer>
#include <QString>
#include <vector>

#include "FeatureAvailability.h"

namespace kelo::app {

class CameraFeatureControls {
public:
    // Disables the controls, among `window`'s children, of each feature
    // `camera` lacks, with the reason as their tool tip, and keeps `camera`
    // for the window's later questions.
    void show(QObject& window, FeatureAvailability camera);
    // The camera shown last; one serving everything before the first.
    const FeatureAvailability& camera() const { return shown; }
    // Gives the controls disabled by show their former state and tool tips.
    void restore();

private:
    struct Disabled {
        QPointer<QObject> control;
        bool enabled;
        QString toolTip;
    };

    FeatureAvailability shown;
    std::vector<Disabled> disabled;
};

}  // namespace kelo::app
