// Grab modes, the three grabs and the transfer of an image into a Frame.
#include <chrono>
#include <cmath>
#include <iostream>
#include <string>

#include "PixelCopy.h"
#include "NodeAccess.h"
#include "camera/InstantCamera.h"
#include "device/KelDevice_B.h"

using kelo::camera::GenericException;
using kelo::camera::GrabLoop;
using kelo::camera::GrabResult;
using kelo::camera::GrabStrategy;
using kelo::camera::required;
using kelo::camera::TimeoutHandling;

namespace Brevanta {

namespace {

constexpr unsigned kTimedGrabTimeoutMs = 5000;
// Beyond the exposure and the frame period, for the transfer and a busy host.
constexpr double kFrameTimeoutMarginMs = 1000.0;

std::int64_t monotonicNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

bool KelDevice_B::setGrabMode(int mode) {
    if (camera == nullptr) return false;
    std::lock_guard<std::mutex> lock(grabControl);
    if (camera->isGrabbing()) camera->stopGrabbing();
    switch (mode) {
        case kGrabStop:
            return true;
        case kGrabOne:
            camera->startGrabbing(1, GrabStrategy::OneByOne);
            return true;
        case kGrabLatestImage:
            camera->startGrabbing(GrabStrategy::LatestImageOnly, GrabLoop::ProvidedByUser);
            return true;
        case kGrabEveryImage:
            camera->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
            return true;
        case kGrabLatestImageBySdk:
            camera->startGrabbing(GrabStrategy::LatestImageOnly, GrabLoop::ProvidedByInstantCamera);
            return true;
        default:
            return false;
    }
}

bool KelDevice_B::isGrabbing() {
    if (camera == nullptr) return false;
    try {
        return camera->isGrabbing();
    } catch (const GenericException&) {
        return false;
    }
}

void KelDevice_B::stopGrabbing() {
    if (camera == nullptr) return;
    std::lock_guard<std::mutex> lock(grabControl);
    if (camera->isGrabbing()) camera->stopGrabbing();
}

void KelDevice_B::stopGrabbingQuietly() {
    try {
        stopGrabbing();
    } catch (const GenericException&) {
    }
}

bool KelDevice_B::snap(Frame& frame) {
    lastError = kNoError;
    if (camera == nullptr) {
        std::cerr << "Device not connected\n";
        lastError = kNoCamera;
        return false;
    }
    try {
        grabExposureTime = getExposureTime();
        const unsigned timeoutMs = frameTimeoutMs(grabExposureTime);
        {
            std::lock_guard<std::mutex> lock(grabControl);
            camera->startGrabbing(1, GrabStrategy::OneByOne);
        }
        GrabResult result;
        const bool retrieved =
            camera->retrieveResult(timeoutMs, result, TimeoutHandling::ThrowException);
        return acceptResult(retrieved, result, frame, true);
    } catch (const GenericException&) {
        std::cerr << "\nunable to retrieve result in snap()";
        stopGrabbingQuietly();
        return false;
    } catch (const std::exception&) {
        std::cout << "\nException in snap";
        return false;
    }
}

bool KelDevice_B::retrieveFrame(Frame& frame) {
    if (camera == nullptr) {
        lastError = kNoCamera;
        return false;
    }
    try {
        grabExposureTime = getExposureTime();
        const unsigned timeoutMs = frameTimeoutMs(grabExposureTime);
        GrabResult result;
        const bool retrieved =
            camera->retrieveResult(timeoutMs, result, TimeoutHandling::ThrowException);
        return acceptResult(retrieved, result, frame, true);
    } catch (const GenericException&) {
        std::cout << "\nGeneric exceptions";
        stopGrabbingQuietly();
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool KelDevice_B::retrieveFrameTimed(Frame& frame, std::int64_t& timestamp) {
    lastError = kNoError;
    if (camera == nullptr) {
        std::cout << "\ncamera not initialized";
        return false;
    }
    try {
        GrabResult result;
        const bool retrieved =
            camera->retrieveResult(kTimedGrabTimeoutMs, result, TimeoutHandling::ThrowException);
        if (retrieved && result != nullptr) timestamp = monotonicNanoseconds();
        return acceptResult(retrieved, result, frame, false);
    } catch (const GenericException&) {
        std::cerr << "\nunable to retrieve result in snap()";
        stopGrabbingQuietly();
        return false;
    } catch (const std::exception&) {
        std::cout << "\nException in snap";
        return false;
    }
}

unsigned KelDevice_B::getFrameTimeoutMs() {
    return frameTimeoutMs(getExposureTime());
}

unsigned KelDevice_B::frameTimeoutMs(double exposureUs) {
    double periodMs = 0.0;
    if (camera != nullptr) {
        try {
            // Made once: asked for every frame, the name must not allocate.
            static const std::string rateNode = "ResultingFrameRate";
            const double rate = required(camera->nodeMap().floatNode(rateNode)).value();
            if (rate > 0.0) periodMs = 1000.0 / rate;
        } catch (const GenericException&) {
            // The exposure and the margin: the grab that follows reports the
            // camera's error.
        }
    }
    return static_cast<unsigned>(std::ceil(exposureUs / 1000.0 + periodMs + kFrameTimeoutMarginMs));
}

bool KelDevice_B::acceptResult(bool retrieved, const GrabResult& result, Frame& frame,
                               bool flagMissingImage) {
    if (!retrieved || result == nullptr) {
        std::cout << "\nRetrieve result returned false";
        if (flagMissingImage) lastError = kNoImage;
        return false;
    }
    return transferFrame(*result, frame);
}

bool KelDevice_B::transferFrame(const kelo::camera::GrabResultData& result, Frame& frame) {
    width = result.width();
    height = result.height();
    const std::size_t pixelCount =
        width > 0 && height > 0 ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height)
                                : 0;
    frame.resize(pixelCount);
    return kelo::device::copyPixels(result.pixelType(), result.buffer(), pixelCount, frame);
}

}  // namespace Brevanta
