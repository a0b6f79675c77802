// What the camera in use offers of the instrument's features, as the window
// shows it: the controls each feature drives and, on the controls of a
// feature the camera lacks, a tool tip naming the node it lacks.
#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

#include "device/KelDevice.h"

namespace kelo::app {

// The window's controls, by object name, that one feature drives.
struct FeatureControlNames {
    Brevanta::CameraFeature feature;
    QStringList objectNames;
};

class FeatureAvailability {
public:
    using MissingNodes = std::map<Brevanta::CameraFeature, std::string>;

    // Every feature once, with its controls.
    static const std::vector<FeatureControlNames>& controls();

    // A camera that serves every feature.
    FeatureAvailability() = default;
    // `missing`: the features the camera cannot serve, each with the first
    // node it lacks.
    explicit FeatureAvailability(MissingNodes missing);

    bool serves(Brevanta::CameraFeature feature) const;
    // Empty while the feature is served; otherwise the tool tip of its
    // controls, e.g. "This camera has no LineSelector node: flash is not
    // available".
    QString unavailableReason(Brevanta::CameraFeature feature) const;

private:
    MissingNodes missing;
};

}  // namespace kelo::app
