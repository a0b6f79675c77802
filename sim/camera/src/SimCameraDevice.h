// One simulated camera device: its nodes, its unit's optics and a grab
// thread that exposes, renders and delivers frames on the camera's timing.
//
// Locks, always taken in this order: controlMutex (open, close, start, stop)
// before grabMutex (the grab's queue and flags) before the state's own lock
// (node values). sceneMutex is taken alone. The simulator calls the
// "simulator side" functions while holding its own lock, which comes first.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CameraState.h"
#include "FramePool.h"
#include "FrameRenderer.h"
#include "UnitOptics.h"
#include "camera/CameraDevice.h"

namespace kelo::simcam {

// What the camera looks at and how its noise is drawn.
struct SceneSettings {
    std::string scene;
    bool noise = true;
    std::uint64_t seed = 1;
};

class SimCameraDevice : public camera::CameraDevice {
public:
    // `forget` is called first thing in the destructor, so the simulator
    // stops calling this device before it goes.
    SimCameraDevice(camera::DeviceInfo info, std::filesystem::path root, SceneSettings scene,
                    std::set<std::string> missingNodes,
                    std::function<void(SimCameraDevice*)> forget);
    ~SimCameraDevice() override;

    camera::DeviceInfo deviceInfo() const override { return info; }
    // Reads the unit's files again on every open; a unit that cannot be read
    // is reported once and the camera shows dark frames.
    void open() override;
    void close() override;
    bool isOpen() const override;
    bool isRemoved() const override { return state.isRemoved(); }
    camera::NodeMap& nodeMap() override;

    // A running grab is stopped first. The camera's own thread produces the
    // frames whatever `loop` says; results are retrieved in both cases.
    void startGrabbing(camera::GrabStrategy strategy, camera::GrabLoop loop,
                       std::size_t maxImages) override;
    // Returns false also when the grab is stopped (or was not running) and
    // nothing is queued; throws RuntimeException once the camera was removed.
    bool retrieveResult(unsigned timeoutMs, camera::GrabResult& result,
                        camera::TimeoutHandling handling) override;
    void stopGrabbing() override;
    bool isGrabbing() const override;

    // Simulator side, any thread.
    const std::string& serialNumber() const { return info.serialNumber; }
    void applyScene(const SceneSettings& settings);
    void setMissingNodes(std::set<std::string> names);  // used from the next open
    void markRemoved();
    // A pulse on the trigger input; lost unless the camera waits for one.
    void receiveTriggerPulse();
    void dropNextFrames(int count);

private:
    using Clock = std::chrono::steady_clock;
    enum class PulseWait { Pulse, SettingsChanged, End };

    struct SceneView {
        std::shared_ptr<const std::vector<double>> responses;  // null: no unit
        bool needsLamp = false;
        bool noise = false;
        std::uint64_t seed = 0;
    };

    void stopLocked();
    void grabLoop();
    PulseWait waitForPulse(bool linePulses, Clock::time_point& pulseTime);
    bool waitUntil(Clock::time_point deadline);
    // False when the grab ends: stopped, removed or its last image delivered.
    bool deliver(std::shared_ptr<FrameBuffer> frame);
    double renderFrame(const CameraSettings& settings, FrameBuffer& frame);
    void updateResponsesLocked();

    const camera::DeviceInfo info;
    const std::filesystem::path root;
    const std::function<void(SimCameraDevice*)> forget;

    CameraState state;  // node values; guarded by its own lock

    mutable std::mutex controlMutex;  // guards the members up to grabThread
    bool opened = false;
    std::unique_ptr<camera::NodeMap> nodes;
    std::unique_ptr<FrameRenderer> renderer;  // used by the grab thread while it runs
    std::unique_ptr<FramePool> pool;          // made at the first grab, then kept
    std::thread grabThread;
    std::uint64_t framesRendered = 0;  // the grab thread's; numbers the noise

    mutable std::mutex sceneMutex;  // guards the members up to lampScene
    SceneSettings scene;
    std::set<std::string> missingNodes;
    std::shared_ptr<const UnitOptics> unit;
    std::shared_ptr<const std::vector<double>> responses;
    bool lampScene = false;  // the scene is dark unless the unit's lamp is lit

    mutable std::mutex grabMutex;       // guards the members below
    std::condition_variable wake;       // the grab thread: stop, removal, pulse, new settings
    std::condition_variable delivered;  // retrievers: a result, stop or removal
    ResultQueue queue;
    camera::GrabStrategy strategy = camera::GrabStrategy::OneByOne;
    bool limited = false;  // the grab ends after imagesLeft more images
    std::size_t imagesLeft = 0;
    bool grabbing = false;   // started and not yet stopped or completed
    bool producing = false;  // the grab thread still makes frames
    bool stopRequested = false;
    bool removed = false;
    bool acceptingPulse = false;  // the grab thread waits for a trigger pulse
    bool pulsePending = false;
    Clock::time_point pulseTime;
    bool settingsChanged = false;  // a node was written since the grab thread looked
    int framesToDrop = 0;
};

}  // namespace kelo::simcam
