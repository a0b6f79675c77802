// Admits one acquisition at a time: the guard that finds the busy flag clear
// sets it and clears it again when it goes out of scope.
#pragma once

#include <atomic>

namespace kelo::acquisition {

class AcquisitionGuard {
public:
    explicit AcquisitionGuard(std::atomic<bool>& busy)
        : busy(busy), admitted(!busy.exchange(true)) {}
    ~AcquisitionGuard() {
        if (admitted) busy.store(false);
    }
    AcquisitionGuard(const AcquisitionGuard&) = delete;
    AcquisitionGuard& operator=(const AcquisitionGuard&) = delete;

    // False: another acquisition runs; this one must not start.
    bool isAdmitted() const { return admitted; }

private:
    std::atomic<bool>& busy;
    const bool admitted;
};

}  // namespace kelo::acquisition
