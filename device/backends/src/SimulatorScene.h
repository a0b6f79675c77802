// The fake camera's scene: the first plugged simulated camera, whose device
// draws every image the fake camera sends, with the fake camera's settings
// of that moment.
#pragma once

#include "arvcam/AravisCameras.h"

namespace kelo::backends {

class SimulatorScene : public arvcam::FakeCameraScene {
public:
    explicit SimulatorScene(camera::TransportLayerFactory& simulated) : simulated(simulated) {}

    std::optional<camera::DeviceInfo> identity() override;
    std::unique_ptr<arvcam::FakeImageFeed> openFeed(const camera::DeviceInfo& info) override;

private:
    camera::TransportLayerFactory& simulated;
};

}  // namespace kelo::backends
