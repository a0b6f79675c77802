// The device on one camera of the camera SDK. Each operation maps to the
// camera's GenICam nodes; SDK errors are absorbed into plain results, fixed
// messages and lastError, except where KelDevice.h says they reach the caller.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "camera/GrabResult.h"
#include "device/KelDevice.h"

namespace kelo::camera {
class InstantCamera;
class NodeMap;
}

namespace Brevanta {

class KelDevice_B : public KelDevice {
    Q_OBJECT

public:
    static constexpr std::int32_t kNoError = 0;
    static constexpr std::int32_t kNoCamera = 1;
    static constexpr std::int32_t kNoImage = 7;

    // `camera` is not owned and may be null (a device without camera).
    explicit KelDevice_B(kelo::camera::InstantCamera* camera, QObject* parent = nullptr);
    ~KelDevice_B() override;

    void setImageSize(int width, int height) override;
    void setImageOffset(int offsetX, int offsetY) override;
    void setExposureTime(double microseconds) override;
    void setGain(double value) override;
    void setPixelFormat(int format) override;
    bool setFlashMode(int mode) override;
    void setName(const std::string& name) override;
    void setTriggerMode(int mode) override;
    bool setGrabMode(int mode) override;
    bool setExposureAutoContinuous() override;
    void setExposureAutoOff() override;
    bool setGainAutoContinuous() override;
    void setGainAutoOff() override;
    void setAutoExposureLowerLimit(double microseconds) override;
    void setAutoExposureUpperLimit(double microseconds) override;
    double getExposureTime() override;
    void getExposureTimeRange(double& min, double& max) override;
    void getGainRange(double& min, double& max) override;
    std::string getUserDefinedName() override;
    double getResultingFrameRate() override;
    double getGrabExposureTime() override;
    unsigned getFrameTimeoutMs() override;
    bool snap(Frame& frame) override;
    bool retrieveFrame(Frame& frame) override;
    bool retrieveFrameTimed(Frame& frame, std::int64_t& timestamp) override;
    bool isConnected() override;
    bool open(bool binning) override;
    void close() override;
    bool isGrabbing() override;
    void stopGrabbing() override;

    std::int32_t getLastError() const { return lastError; }

private:
    bool setAutoMode(const char* nodeName, const char* symbol);
    // Fills `lacking` from the opened camera's nodes.
    void findMissingFeatures(kelo::camera::NodeMap& nodes);
    // getFrameTimeoutMs for an exposure already read.
    unsigned frameTimeoutMs(double exposureUs);
    void setFloatUnchecked(const char* nodeName, double value);
    void readLimits(const char* nodeName, double& min, double& max);
    // After a retrieval: the image into `frame`, or the no-image message.
    bool acceptResult(bool retrieved, const kelo::camera::GrabResult& result, Frame& frame,
                      bool flagMissingImage);
    bool transferFrame(const kelo::camera::GrabResultData& result, Frame& frame);
    // Used after a failed grab, where a second error has nowhere to go.
    void stopGrabbingQuietly();

    kelo::camera::InstantCamera* const camera;
    // Held while the grab state is tested and changed, so that a stop from
    // one thread and a start from the other cannot interleave.
    std::mutex grabControl;
    // Both written by the grabbing thread and read by the other.
    std::atomic<std::int32_t> lastError{kNoError};
    std::atomic<double> grabExposureTime{0.0};
};

}  // namespace Brevanta
