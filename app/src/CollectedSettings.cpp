#include "CollectedSettings.h"

#include <QStringList>

namespace kelo::app {

namespace {

const char* collectionName(CollectedSettings::Collection collection) {
    return collection == CollectedSettings::Dark ? "dark" : "reference";
}

}  // namespace

void CollectedSettings::remember(Collection collection, const AcquisitionSettings& settings) {
    collected[collection] = settings;
}

void CollectedSettings::forget(Collection collection) {
    collected[collection].reset();
}

void CollectedSettings::forgetAll() {
    for (auto& settings : collected) settings.reset();
}

QString CollectedSettings::staleReason(Collection collection,
                                       const AcquisitionSettings& now) const {
    const std::optional<AcquisitionSettings>& then = collected[collection];
    if (!then) return {};
    QStringList changes;
    if (then->exposureMs != now.exposureMs)
        changes << QString("exposure %1 ms (now %2 ms)")
                       .arg(then->exposureMs, 0, 'g', 6)
                       .arg(now.exposureMs, 0, 'g', 6);
    if (then->gainDb != now.gainDb)
        changes << QString("gain %1 dB (now %2 dB)").arg(then->gainDb).arg(now.gainDb);
    if (then->averages != now.averages)
        changes << QString("%1 averages (now %2)").arg(then->averages).arg(now.averages);
    if (changes.isEmpty()) return {};
    return QString("The %1 spectrum was collected with %2: collect it again.")
        .arg(collectionName(collection), changes.join(", "));
}

}  // namespace kelo::app
