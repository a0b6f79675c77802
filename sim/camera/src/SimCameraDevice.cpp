#include "SimCameraDevice.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "AutoExposure.h"
#include "CameraNodes.h"
#include "NoiseTable.h"
#include "simcam/SceneSpectra.h"

namespace kelo::simcam {

namespace {

// Enough for a reader that holds a few results while frames keep coming.
constexpr std::size_t kPoolSize = 10;

std::chrono::steady_clock::duration clockDuration(double us) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double, std::micro>(us));
}

// Each distinct problem once per process: an application that reopens its
// camera every few seconds would otherwise repeat it endlessly.
void reportOnce(const std::string& text) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> lock(mutex);
    if (reported.insert(text).second) std::cerr << text << "\n";
}

}  // namespace

SimCameraDevice::SimCameraDevice(camera::DeviceInfo info, std::filesystem::path root,
                                 SceneSettings scene, std::set<std::string> missingNodes,
                                 std::function<void(SimCameraDevice*)> forget)
    : info(std::move(info)),
      root(std::move(root)),
      forget(std::move(forget)),
      scene(std::move(scene)),
      missingNodes(std::move(missingNodes)),
      queue(kPoolSize) {
    state.setChangeListener([this] {
        std::lock_guard<std::mutex> lock(grabMutex);
        settingsChanged = true;
        wake.notify_all();
    });
}

SimCameraDevice::~SimCameraDevice() {
    if (forget) forget(this);
    std::lock_guard<std::mutex> lock(controlMutex);
    stopLocked();
}

void SimCameraDevice::open() {
    std::lock_guard<std::mutex> lock(controlMutex);
    if (state.isRemoved()) throw camera::RuntimeException("the camera device has been removed");
    if (opened) return;

    UnitOpticsLoad load = loadUnitOptics(root, info.userDefinedName);
    if (!load.problem.empty())
        reportOnce("simulated camera " + info.serialNumber + ": unit " + info.userDefinedName +
                   " unreadable (" + load.problem + "); it shows dark frames");
    if (!renderer) renderer = std::make_unique<FrameRenderer>();
    renderer->setUnit(load.optics);

    std::set<std::string> missing;
    {
        std::lock_guard<std::mutex> sceneLock(sceneMutex);
        unit = load.optics;
        updateResponsesLocked();
        missing = missingNodes;
    }
    nodes = makeCameraNodeMap(state, missing);
    framesRendered = 0;
    opened = true;
}

void SimCameraDevice::close() {
    std::lock_guard<std::mutex> lock(controlMutex);
    stopLocked();
    opened = false;
}

bool SimCameraDevice::isOpen() const {
    std::lock_guard<std::mutex> lock(controlMutex);
    return opened;
}

camera::NodeMap& SimCameraDevice::nodeMap() {
    std::lock_guard<std::mutex> lock(controlMutex);
    if (!opened) throw camera::LogicalErrorException("the camera is not open");
    return *nodes;
}

void SimCameraDevice::startGrabbing(camera::GrabStrategy newStrategy, camera::GrabLoop,
                                    std::size_t maxImages) {
    std::lock_guard<std::mutex> lock(controlMutex);
    if (state.isRemoved()) throw camera::RuntimeException("the camera device has been removed");
    if (!opened) throw camera::LogicalErrorException("the camera is not open");
    stopLocked();
    if (!pool) pool = std::make_unique<FramePool>(kPoolSize, sensorPixels());
    {
        std::lock_guard<std::mutex> grabLock(grabMutex);
        strategy = newStrategy;
        limited = maxImages > 0;
        imagesLeft = maxImages;
        grabbing = true;
        producing = true;
        pulsePending = false;
        acceptingPulse = false;
    }
    state.setGrabbing(true);
    grabThread = std::thread([this] { grabLoop(); });
}

void SimCameraDevice::stopLocked() {
    {
        std::lock_guard<std::mutex> grabLock(grabMutex);
        stopRequested = true;
        wake.notify_all();
        delivered.notify_all();
    }
    if (grabThread.joinable()) grabThread.join();
    {
        std::lock_guard<std::mutex> grabLock(grabMutex);
        queue.clear();
        grabbing = false;
        producing = false;
        stopRequested = false;
        delivered.notify_all();
    }
    state.setGrabbing(false);
}

void SimCameraDevice::stopGrabbing() {
    std::lock_guard<std::mutex> lock(controlMutex);
    stopLocked();
}

bool SimCameraDevice::isGrabbing() const {
    std::lock_guard<std::mutex> lock(grabMutex);
    return grabbing;
}

bool SimCameraDevice::retrieveResult(unsigned timeoutMs, camera::GrabResult& result,
                                     camera::TimeoutHandling handling) {
    std::unique_lock<std::mutex> lock(grabMutex);
    delivered.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                       [this] { return removed || !queue.empty() || !grabbing; });
    if (removed) throw camera::RuntimeException("the camera device has been removed");
    if (!queue.empty()) {
        result = queue.pop();
        if (limited && !producing && queue.empty()) {
            grabbing = false;
            state.setGrabbing(false);
        }
        return true;
    }
    if (grabbing && handling == camera::TimeoutHandling::ThrowException)
        throw camera::TimeoutException("no image within " + std::to_string(timeoutMs) + " ms");
    return false;
}

void SimCameraDevice::applyScene(const SceneSettings& settings) {
    std::lock_guard<std::mutex> lock(sceneMutex);
    const bool sceneChanged = settings.scene != scene.scene;
    scene = settings;
    if (sceneChanged) updateResponsesLocked();
}

void SimCameraDevice::updateResponsesLocked() {
    lampScene = sceneNeedsLamp(scene.scene);
    responses = unit
                    ? std::make_shared<const std::vector<double>>(cellResponses(*unit, scene.scene))
                    : nullptr;
}

void SimCameraDevice::setMissingNodes(std::set<std::string> names) {
    std::lock_guard<std::mutex> lock(sceneMutex);
    missingNodes = std::move(names);
}

void SimCameraDevice::markRemoved() {
    state.markRemoved();
    std::lock_guard<std::mutex> lock(grabMutex);
    removed = true;
    wake.notify_all();
    delivered.notify_all();
}

void SimCameraDevice::receiveTriggerPulse() {
    std::lock_guard<std::mutex> lock(grabMutex);
    if (!acceptingPulse || pulsePending) return;
    pulsePending = true;
    pulseTime = Clock::now();
    wake.notify_all();
}

void SimCameraDevice::dropNextFrames(int count) {
    std::lock_guard<std::mutex> lock(grabMutex);
    framesToDrop += std::max(count, 0);
}

SimCameraDevice::PulseWait SimCameraDevice::waitForPulse(bool linePulses,
                                                         Clock::time_point& startTime) {
    std::unique_lock<std::mutex> lock(grabMutex);
    acceptingPulse = linePulses;
    wake.wait(lock, [this] { return stopRequested || removed || pulsePending || settingsChanged; });
    acceptingPulse = false;
    if (stopRequested || removed) return PulseWait::End;
    if (!pulsePending) return PulseWait::SettingsChanged;
    pulsePending = false;
    startTime = pulseTime;
    return PulseWait::Pulse;
}

bool SimCameraDevice::waitUntil(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(grabMutex);
    return !wake.wait_until(lock, deadline, [this] { return stopRequested || removed; });
}

bool SimCameraDevice::deliver(std::shared_ptr<FrameBuffer> frame) {
    std::lock_guard<std::mutex> lock(grabMutex);
    if (stopRequested || removed) return false;
    if (framesToDrop > 0) {
        --framesToDrop;
        return true;
    }
    // No free buffer: the frame is lost, as in a buffer underrun.
    if (!frame) return true;
    if (strategy == camera::GrabStrategy::LatestImageOnly) queue.clear();
    queue.push(std::move(frame));
    delivered.notify_all();
    if (limited && --imagesLeft == 0) {
        producing = false;
        return false;
    }
    return true;
}

double SimCameraDevice::renderFrame(const CameraSettings& settings, FrameBuffer& frame) {
    SceneView view;
    {
        std::lock_guard<std::mutex> lock(sceneMutex);
        view = {responses, lampScene, scene.noise, scene.seed};
    }
    const SensorModel& model = sensorModel();
    FrameRequest request;
    request.offsetX = settings.offsetX;
    request.offsetY = settings.offsetY;
    request.width = settings.width;
    request.height = settings.height;
    request.format = settings.pixelFormat;
    request.pattern = settings.testPattern;
    request.gain = linearGain(settings.gainDb);
    request.signalPerResponse = settings.exposureUs * request.gain * model.countsPerUnit;
    const bool lit = !view.needsLamp || settings.lampLit();
    request.responses = lit ? view.responses.get() : nullptr;
    request.noise = view.noise;
    request.noiseOffset = NoiseTable::frameOffset(view.seed, framesRendered++);
    return renderer->render(request, frame);
}

void SimCameraDevice::grabLoop() {
    Clock::time_point nextStart = Clock::now();
    while (true) {
        {
            std::lock_guard<std::mutex> lock(grabMutex);
            settingsChanged = false;
        }
        Clock::time_point start;
        const CameraSettings now = state.snapshot();
        const bool triggered = now.triggered();
        if (triggered) {
            const PulseWait wait = waitForPulse(now.waitsForLinePulse(), start);
            if (wait == PulseWait::End) break;
            if (wait == PulseWait::SettingsChanged) continue;
        }
        // The exposure starts with the settings of this moment.
        const CameraSettings settings = state.snapshot();
        const double exposureAndReadOutUs = settings.exposureUs + settings.readOutUs();
        // Free run: the next exposure starts one frame period after the last
        // one; after a stall it starts so that its frame is due now.
        if (!triggered)
            start = std::max(nextStart, Clock::now() - clockDuration(exposureAndReadOutUs));
        nextStart = start + clockDuration(settings.periodUs());

        std::shared_ptr<FrameBuffer> frame = pool->acquire();
        if (frame) {
            frame->stamp(
                std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch())
                    .count());
            const double brightest = renderFrame(settings, *frame);
            state.update([&](CameraSettings& now) {
                adjustAutomaticSettings(now, settings.exposureUs, settings.gainDb, brightest);
            });
        }
        if (!waitUntil(start + clockDuration(exposureAndReadOutUs))) break;
        if (!deliver(std::move(frame))) break;
    }
}

}  // namespace kelo::simcam
