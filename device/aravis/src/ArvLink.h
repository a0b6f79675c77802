// What an opened Aravis device shares between its node map, its stream and
// its signal handler: the device, the lock every use of it takes, and
// whether the camera is lost.
#pragma once

#include <arv.h>

#include <atomic>
#include <mutex>

namespace kelo::arvcam {

struct ArvLink {
    ArvDevice* device = nullptr;
    // The library's device and feature tree are used by one thread at a time.
    std::recursive_mutex lock;
    std::atomic<bool> lost{false};
};

// Throws the SDK's error for `error` (and frees it) when it is set:
// RuntimeException once the camera is lost, GenericException otherwise.
void throwIfFailed(GError* error, const ArvLink& link, const char* what);

}  // namespace kelo::arvcam
