// The acquisition settings a dark or reference spectrum was collected with,
// so that the operator can be told when a correction no longer matches what
// is being measured.
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace kelo::app {

struct AcquisitionSettings {
    double exposureMs = 0.0;
    int gainDb = 0;
    int averages = 1;
};

class CollectedSettings {
public:
    enum Collection { Dark = 0, Reference = 1 };

    void remember(Collection collection, const AcquisitionSettings& settings);
    void forget(Collection collection);
    void forgetAll();
    bool isCollected(Collection collection) const { return collected[collection].has_value(); }

    // Empty while the collection matches `now` (or none was collected);
    // otherwise the sentence for the lamp's tool tip naming what changed.
    QString staleReason(Collection collection, const AcquisitionSettings& now) const;

private:
    std::array<std::optional<AcquisitionSettings>, 2> collected;
};

}  // namespace kelo::app
