// GenICam cameras through the Aravis library, as a backend of the camera SDK
// interface: USB3 Vision cameras, GigE Vision cameras when the network may be
// searched, and Aravis's in-process fake camera standing in for a camera
// whose images another source draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "camera/CameraDevice.h"

namespace kelo::arvcam {

// The interfaces enumeration looks at. The fake interface sends nothing; USB
// stays on the local bus; only network discovery broadcasts.
struct Interfaces {
    bool usb = false;
    bool fake = false;
};

// What the fake camera is asked to show for one image.
struct FakeImageRequest {
    int offsetX = 0;
    int offsetY = 0;
    int width = 0;
    int height = 0;
    int binningHorizontal = 1;
    int binningVertical = 1;
    std::uint32_t pixelType = camera::kPixelMono8;
    double exposureUs = 0.0;
    double gainDb = 0.0;
    bool lineTrigger = false;  // frames wait for pulses on the trigger line
};

enum class FakeFill {
    Image,    // the pixels were drawn
    NoImage,  // none within the wait (a trigger not come yet): drop the frame
    Lost,     // the camera behind the images is gone: the device is lost
};

// Draws the images of one opened fake camera. Called on the fake camera's
// own thread, one image at a time; each call returns within about 50 ms.
class FakeImageFeed {
public:
    virtual ~FakeImageFeed() = default;
    // Draws width x height pixels of the request's type into `pixels`, which
    // holds `capacity` bytes.
    virtual FakeFill fill(const FakeImageRequest& request, void* pixels, std::size_t capacity) = 0;
    // The acquisition ended (no fill runs now): draw nothing until the next
    // fill.
    virtual void pause() = 0;
};

// The camera the fake one stands in for: its identity and its images.
class FakeCameraScene {
public:
    virtual ~FakeCameraScene() = default;
    // The serial number and user-defined name the fake camera presents, or
    // nothing when there is no camera to stand in for now.
    virtual std::optional<camera::DeviceInfo> identity() = 0;
    // The images of the camera `info` names; null when it is gone.
    virtual std::unique_ptr<FakeImageFeed> openFeed(const camera::DeviceInfo& info) = 0;
};

// The backend names a camera's DeviceInfo carries.
inline constexpr const char* kUsbBackend = "aravis-usb3";
inline constexpr const char* kGigeBackend = "aravis-gige";
inline constexpr const char* kFakeBackend = "aravis-fake";

class AravisCameras : public camera::TransportLayerFactory {
public:
    // `scene` serves the fake camera; it may be null when interfaces.fake is
    // off. The fake camera's register description is `fakeDescription`.
    AravisCameras(Interfaces interfaces, std::shared_ptr<FakeCameraScene> scene,
                  std::string fakeDescription);
    ~AravisCameras() override;

    // GigE Vision discovery on every network interface, from the next
    // enumeration.
    void setNetworkDiscovery(bool on);
    bool networkDiscovery() const;

    std::size_t enumerateDevices(camera::DeviceInfoList& list, bool addToList = false) override;
    std::unique_ptr<camera::CameraDevice> createDevice(const camera::DeviceInfo& info) override;

    // Shuts the library down; no device may be used afterwards.
    void shutdown();

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace kelo::arvcam
