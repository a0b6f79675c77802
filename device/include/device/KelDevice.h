// The spectrometer's camera as the rest of the program sees it: one abstract
// device with the settings, grab modes and grabs of the instrument. The one
// implementation drives a camera of the camera SDK (KelDevice_B.h).
//
// Threads: grabs and grab-mode changes run on the acquisition worker;
// exposure, gain, trigger, flash and automatic-exposure settings may arrive
// from the user-interface thread at the same time. The fields that both
// threads use (image size, gain, trigger mode, last error) are atomic; the
// others belong to the user-interface thread.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <map>
#include <string>

#include "device/Frame.h"

namespace Brevanta {

// What the instrument offers that needs nodes a camera may lack.
enum class CameraFeature { Gain, AutoExposure, HardwareTrigger, Flash };
// The feature in the operator's words: "gain", "automatic exposure", ...
const char* describe(CameraFeature feature);

class KelDevice : public QObject {
    Q_OBJECT

public:
    explicit KelDevice(QObject* parent = nullptr);
    ~KelDevice() override;

    double getGain() const { return gain; }
    int getTriggerMode() const { return triggerMode; }
    // The size of the last image, or of the region last set.
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // The sensor region in pixels; the size is read back into width/height.
    // Set the size before the offset.
    virtual void setImageSize(int width, int height) = 0;
    virtual void setImageOffset(int offsetX, int offsetY) = 0;
    // Applied only inside the camera's limits (inclusive); otherwise ignored.
    virtual void setExposureTime(double microseconds) = 0;
    // Same limit rule; the gain field is refreshed from the camera either way.
    virtual void setGain(double value) = 0;
    // 0: 8-bit pixels; any other value: 12-bit pixels.
    virtual void setPixelFormat(int format) = 0;
    // Output line, one of the flash modes below; other modes: false.
    virtual bool setFlashMode(int mode) = 0;
    virtual void setName(const std::string& name) = 0;
    // Flash modes of the lamp on the output line.
    static constexpr int kFlashOff = 0;
    static constexpr int kFlashOn = 1;
    static constexpr int kFlashDuringExposure = 2;
    // Trigger modes.
    static constexpr int kSoftwareTrigger = 0;  // free run
    static constexpr int kHardwareTrigger = 1;
    // Grab modes.
    static constexpr int kGrabStop = 0;
    static constexpr int kGrabOne = 1;
    static constexpr int kGrabLatestImage = 2;
    static constexpr int kGrabEveryImage = 3;
    static constexpr int kGrabLatestImageBySdk = 4;

    // 0 free run (software), 1 hardware trigger; other modes are ignored.
    virtual void setTriggerMode(int mode) = 0;
    // 0 stop; 1 one image; 2 continuous, latest image only; 3 continuous,
    // every image; 4 continuous, latest image only, grab loop run by the SDK.
    // Other modes stop and return false. SDK errors reach the caller.
    virtual bool setGrabMode(int mode) = 0;
    virtual bool setExposureAutoContinuous() = 0;
    virtual void setExposureAutoOff() = 0;
    virtual bool setGainAutoContinuous() = 0;
    virtual void setGainAutoOff() = 0;
    virtual void setAutoExposureLowerLimit(double microseconds) = 0;
    virtual void setAutoExposureUpperLimit(double microseconds) = 0;
    // Microseconds, as set in the camera now; 0 when unavailable.
    virtual double getExposureTime() = 0;
    // 0, 0 when unavailable.
    virtual void getExposureTimeRange(double& min, double& max) = 0;
    virtual void getGainRange(double& min, double& max) = 0;
    // The unit's device id; readable before the camera is opened.
    virtual std::string getUserDefinedName() = 0;
    // Frames per second for the current settings. SDK errors reach the caller.
    virtual double getResultingFrameRate() = 0;
    // The exposure time read at the start of the last snap or retrieveFrame.
    virtual double getGrabExposureTime() = 0;
    // How long a grab waits for an image with the present settings: the
    // exposure, one frame period (read-out included) and one second more.
    virtual unsigned getFrameTimeoutMs() = 0;
    // One image now, without a running grab (frame time-out).
    virtual bool snap(Frame& frame) = 0;
    // The next image of the running grab (frame time-out).
    virtual bool retrieveFrame(Frame& frame) = 0;
    // As retrieveFrame with a 5000 ms time-out; `timestamp` is the monotonic
    // clock in nanoseconds when the image arrived.
    virtual bool retrieveFrameTimed(Frame& frame, std::int64_t& timestamp) = 0;
    virtual bool isConnected() = 0;
    // Opens the camera with its defaults; binning 2 x 2 when true, else 1 x 1.
    virtual bool open(bool binning) = 0;
    // The features the camera opened last cannot serve, each with the first
    // node it lacks; empty when it serves them all. Filled by open, which
    // reports each missing node once on standard error.
    const std::map<CameraFeature, std::string>& missingFeatures() const { return lacking; }
    // Stops grabbing, turns the flash off, closes and releases the camera.
    virtual void close() = 0;
    virtual bool isGrabbing() = 0;
    // SDK errors reach the caller.
    virtual void stopGrabbing() = 0;

    std::atomic<std::int32_t> triggerMode{0};  // 0 software (free run), 1 hardware trigger
    std::int32_t flashMode = 0;                // 0 off, 1 on, 2 during exposure
    std::int32_t pixelFormat = 1;              // 1 Mono12, 0 Mono8
    std::string serialNumber;                  // read by open
    std::string name;

protected:
    std::atomic<std::int32_t> width{0};
    std::atomic<std::int32_t> height{0};
    std::atomic<double> gain{0.0};
    std::map<CameraFeature, std::string> lacking;
};

}  // namespace Brevanta
