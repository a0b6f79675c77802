#include "SimulatorScene.h"

#include <cstring>

namespace kelo::backends {

namespace {

// Within the fake camera's wait for one image (see FakeImageFeed).
constexpr unsigned kImageWaitMs = 40;

// The settings that need the simulated camera to stop grabbing.
bool sameGeometry(const arvcam::FakeImageRequest& a, const arvcam::FakeImageRequest& b) {
    return a.offsetX == b.offsetX && a.offsetY == b.offsetY && a.width == b.width &&
           a.height == b.height && a.binningHorizontal == b.binningHorizontal &&
           a.binningVertical == b.binningVertical && a.pixelType == b.pixelType &&
           a.lineTrigger == b.lineTrigger;
}

void setInteger(camera::NodeMap& nodes, const char* name, std::int64_t value) {
    camera::required(nodes.integerNode(name)).setValue(value, false);
}

void setSymbol(camera::NodeMap& nodes, const char* name, const char* symbol) {
    camera::required(nodes.enumerationNode(name)).setValue(symbol, false);
}

// Sets a float inside its limits.
void setClamped(camera::NodeMap& nodes, const char* name, double value) {
    camera::FloatNode& node = camera::required(nodes.floatNode(name));
    node.setValue(std::min(std::max(value, node.minimum()), node.maximum()), false);
}

class SimulatorFeed : public arvcam::FakeImageFeed {
public:
    explicit SimulatorFeed(std::unique_ptr<camera::CameraDevice> device) : device(std::move(device)) {
        this->device->open();
    }
    ~SimulatorFeed() override {
        pause();
        try {
            device->close();
        } catch (const camera::GenericException&) {
            // An unplugged camera has nothing left to close.
        }
    }

    arvcam::FakeFill fill(const arvcam::FakeImageRequest& request, void* pixels,
                          std::size_t capacity) override {
        if (device->isRemoved()) return arvcam::FakeFill::Lost;
        try {
            apply(request);
            camera::GrabResult image;
            if (!device->retrieveResult(kImageWaitMs, image, camera::TimeoutHandling::Return))
                return arvcam::FakeFill::NoImage;
            return copy(*image, request, pixels, capacity) ? arvcam::FakeFill::Image
                                                           : arvcam::FakeFill::NoImage;
        } catch (const camera::RuntimeException&) {
            return arvcam::FakeFill::Lost;
        } catch (const camera::GenericException&) {
            return arvcam::FakeFill::NoImage;
        }
    }

    void pause() override {
        try {
            device->stopGrabbing();
        } catch (const camera::GenericException&) {
            // An unplugged camera grabs no more anyway.
        }
    }

private:
    void apply(const arvcam::FakeImageRequest& request) {
        camera::NodeMap& nodes = device->nodeMap();
        if (!applied || !sameGeometry(request, *applied)) {
            device->stopGrabbing();
            setInteger(nodes, "OffsetX", 0);
            setInteger(nodes, "OffsetY", 0);
            setInteger(nodes, "BinningHorizontal", request.binningHorizontal);
            setInteger(nodes, "BinningVertical", request.binningVertical);
            setInteger(nodes, "Width", request.width);
            setInteger(nodes, "Height", request.height);
            setInteger(nodes, "OffsetX", request.offsetX);
            setInteger(nodes, "OffsetY", request.offsetY);
            setSymbol(nodes, "PixelFormat", request.pixelType == camera::kPixelMono8 ? "Mono8" : "Mono12");
            setSymbol(nodes, "TriggerSelector", "FrameStart");
            setSymbol(nodes, "TriggerMode", request.lineTrigger ? "On" : "Off");
            setSymbol(nodes, "TriggerSource", "Line1");
            applied.reset();
        }
        if (!applied || request.exposureUs != applied->exposureUs)
            setClamped(nodes, "ExposureTime", request.exposureUs);
        if (!applied || request.gainDb != applied->gainDb) setClamped(nodes, "Gain", request.gainDb);
        applied = request;
        if (!device->isGrabbing())
            device->startGrabbing(camera::GrabStrategy::LatestImageOnly,
                                  camera::GrabLoop::ProvidedByUser, 0);
    }

    static bool copy(const camera::GrabResultData& image, const arvcam::FakeImageRequest& request,
                     void* pixels, std::size_t capacity) {
        const std::size_t bytesPerPixel = image.pixelType() == camera::kPixelMono8 ? 1 : 2;
        const std::size_t bytes =
            static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) * bytesPerPixel;
        if (image.width() != request.width || image.height() != request.height ||
            image.pixelType() != request.pixelType || bytes > capacity)
            return false;
        std::memcpy(pixels, image.buffer(), bytes);
        return true;
    }

    std::unique_ptr<camera::CameraDevice> device;
    std::optional<arvcam::FakeImageRequest> applied;
};

}  // namespace

std::optional<camera::DeviceInfo> SimulatorScene::identity() {
    camera::DeviceInfoList cameras;
    if (simulated.enumerateDevices(cameras, false) == 0) return std::nullopt;
    return cameras.front();
}

std::unique_ptr<arvcam::FakeImageFeed> SimulatorScene::openFeed(const camera::DeviceInfo& info) {
    camera::DeviceInfo simulatedInfo = info;
    simulatedInfo.backend = camera::kSimulatedBackend;
    try {
        return std::make_unique<SimulatorFeed>(simulated.createDevice(simulatedInfo));
    } catch (const camera::GenericException&) {
        return nullptr;
    }
}

}  // namespace kelo::backends
