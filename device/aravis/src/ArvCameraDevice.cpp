#include "ArvCameraDevice.h"

namespace kelo::arvcam {

namespace {

// Enough for a busy host to fall a few frames behind without losing any.
constexpr std::size_t kStreamBuffers = 8;

[[noreturn]] void throwRemoved() {
    throw camera::RuntimeException("the camera device has been removed");
}

}  // namespace

ArvCameraDevice::ArvCameraDevice(camera::DeviceInfo info, std::string deviceId,
                                 std::shared_ptr<FakeCameraScene> scene)
    : info(std::move(info)), deviceId(std::move(deviceId)), scene(std::move(scene)) {}

ArvCameraDevice::~ArvCameraDevice() {
    close();
}

void ArvCameraDevice::onControlLost(ArvDevice*, gpointer link) {
    static_cast<ArvLink*>(link)->lost = true;
}

void ArvCameraDevice::open() {
    if (link.lost) throwRemoved();
    if (isOpen()) return;
    std::unique_ptr<FakeImageFeed> feed;
    if (scene != nullptr) {
        feed = scene->openFeed(info);
        if (feed == nullptr) throw camera::RuntimeException("the camera " + info.serialNumber + " is gone");
    }
    GError* error = nullptr;
    ArvDevice* device = arv_open_device(deviceId.c_str(), &error);
    throwIfFailed(error, link, ("opening " + info.serialNumber).c_str());
    if (device == nullptr) throw camera::GenericException("the camera " + info.serialNumber + " did not open");
    std::lock_guard<std::recursive_mutex> lock(link.lock);
    link.device = device;
    lostHandler = g_signal_connect(device, "control-lost", G_CALLBACK(&ArvCameraDevice::onControlLost), &link);
    if (feed != nullptr) fake = std::make_unique<FakeCamera>(device, info, std::move(feed));
    nodes = std::make_unique<ArvNodeMap>(link);
}

void ArvCameraDevice::close() {
    {
        std::unique_lock<std::mutex> lock(grabMutex);
        stopLocked(lock);
    }
    std::lock_guard<std::recursive_mutex> lock(link.lock);
    if (link.device == nullptr) return;
    nodes.reset();
    fake.reset();
    g_signal_handler_disconnect(link.device, lostHandler);
    g_object_unref(link.device);
    link.device = nullptr;
}

bool ArvCameraDevice::isOpen() const {
    return link.device != nullptr;
}

camera::NodeMap& ArvCameraDevice::nodeMap() {
    if (nodes == nullptr) throw camera::LogicalErrorException("the camera is not open");
    return *nodes;
}

void ArvCameraDevice::execute(const char* command) {
    std::lock_guard<std::recursive_mutex> lock(link.lock);
    GError* error = nullptr;
    arv_device_execute_command(link.device, command, &error);
    throwIfFailed(error, link, command);
}

void ArvCameraDevice::startGrabbing(camera::GrabStrategy strategy, camera::GrabLoop,
                                    std::size_t maxImages) {
    std::unique_lock<std::mutex> lock(grabMutex);
    stopLocked(lock);
    if (link.lost) throwRemoved();
    if (!isOpen()) throw camera::LogicalErrorException("the camera is not open");
    std::size_t payload = 0;
    {
        std::lock_guard<std::recursive_mutex> deviceLock(link.lock);
        camera::EnumerationNode* mode = nodes->enumerationNode("AcquisitionMode");
        if (mode != nullptr && camera::isWritable(mode->accessMode()) && mode->hasSymbol("Continuous"))
            mode->setValue("Continuous");
        GError* error = nullptr;
        payload = static_cast<std::size_t>(
            arv_device_get_integer_feature_value(link.device, "PayloadSize", &error));
        throwIfFailed(error, link, "PayloadSize");
    }
    grab = std::make_unique<ArvStreamGrab>(link, payload, kStreamBuffers);
    if (fake != nullptr) fake->setBufferBytes(payload);
    latestOnly = strategy == camera::GrabStrategy::LatestImageOnly;
    limited = maxImages > 0;
    imagesLeft = maxImages;
    try {
        execute("AcquisitionStart");
    } catch (const camera::GenericException&) {
        grab.reset();
        throw;
    }
    grabbing = true;
}

bool ArvCameraDevice::retrieveResult(unsigned timeoutMs, camera::GrabResult& result,
                                     camera::TimeoutHandling handling) {
    ArvStreamGrab* running = nullptr;
    bool newestOnly = false;
    {
        std::lock_guard<std::mutex> lock(grabMutex);
        if (link.lost) throwRemoved();
        if (grab == nullptr) return false;
        running = grab.get();
        newestOnly = latestOnly;
        ++retrieving;
    }
    const bool retrieved = running->next(timeoutMs, newestOnly, stopRequested, result);
    std::unique_lock<std::mutex> lock(grabMutex);
    --retrieving;
    idle.notify_all();
    if (link.lost) throwRemoved();
    if (retrieved && limited && --imagesLeft == 0) stopLocked(lock);
    if (!retrieved && grabbing && !stopRequested && handling == camera::TimeoutHandling::ThrowException)
        throw camera::TimeoutException("no image within " + std::to_string(timeoutMs) + " ms");
    return retrieved;
}

void ArvCameraDevice::stopGrabbing() {
    std::unique_lock<std::mutex> lock(grabMutex);
    stopLocked(lock);
}

void ArvCameraDevice::stopLocked(std::unique_lock<std::mutex>& lock) {
    if (grab == nullptr) return;
    stopRequested = true;
    idle.wait(lock, [this] { return retrieving == 0; });
    endAcquisitionLocked();
    stopRequested = false;
}

void ArvCameraDevice::endAcquisitionLocked() {
    grabbing = false;
    if (!link.lost) {
        try {
            execute("AcquisitionStop");
        } catch (const camera::GenericException&) {
            // A camera that cannot stop is treated as stopped: its stream ends below.
        }
    }
    grab.reset();
    if (fake != nullptr) fake->acquisitionEnded();
}

}  // namespace kelo::arvcam
