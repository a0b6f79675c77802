#include "arvcam/AravisCameras.h"

#include <arv.h>

#include <map>
#include <mutex>

#include "ArvCameraDevice.h"

namespace kelo::arvcam {

namespace {

constexpr const char* kUsbInterface = "USB3Vision";
constexpr const char* kGigeInterface = "GigEVision";
constexpr const char* kFakeInterface = "Fake";

void enable(const char* interfaceId, bool on) {
    if (on)
        arv_enable_interface(interfaceId);
    else
        arv_disable_interface(interfaceId);
}

const char* backendOfProtocol(const std::string& protocol) {
    if (protocol == kFakeInterface) return kFakeBackend;
    if (protocol == kGigeInterface) return kGigeBackend;
    return kUsbBackend;
}

// A text the library gives; empty where it has none.
std::string text(const char* value) {
    return value != nullptr ? value : "";
}

// A string feature of an opened device, or empty.
std::string stringFeature(ArvDevice* device, const char* name) {
    if (arv_device_get_feature(device, name) == nullptr) return {};
    GError* error = nullptr;
    const char* value = arv_device_get_string_feature_value(device, name, &error);
    if (error != nullptr) {
        g_error_free(error);
        return {};
    }
    return text(value);
}

// The name a real camera carries in DeviceUserID, read by opening it once;
// its serial number when it has none or cannot be opened now (in use).
std::string userNameOf(const std::string& deviceId, const std::string& serialNumber,
                       std::map<std::string, std::string>& cache) {
    const auto known = cache.find(deviceId);
    if (known != cache.end()) return known->second;
    GError* error = nullptr;
    ArvDevice* device = arv_open_device(deviceId.c_str(), &error);
    if (device == nullptr) {
        if (error != nullptr) g_error_free(error);
        return serialNumber;
    }
    std::string name = stringFeature(device, "DeviceUserID");
    g_object_unref(device);
    if (name.empty()) name = serialNumber;
    cache[deviceId] = name;
    return name;
}

}  // namespace

struct AravisCameras::State {
    std::shared_ptr<FakeCameraScene> scene;
    std::mutex mutex;  // guards the members below
    bool networkDiscovery = false;
    bool running = true;
    // The library's id of each camera listed last, by serial number.
    std::map<std::string, std::string> deviceIds;
    // User-defined names read once per camera, by the library's id.
    std::map<std::string, std::string> userNames;
};

AravisCameras::AravisCameras(Interfaces interfaces, std::shared_ptr<FakeCameraScene> scene,
                             std::string fakeDescription)
    : state(std::make_unique<State>()) {
    state->scene = std::move(scene);
    if (interfaces.fake) arv_set_fake_camera_genicam_filename(fakeDescription.c_str());
    enable(kFakeInterface, interfaces.fake);
    enable(kUsbInterface, interfaces.usb);
    enable(kGigeInterface, false);
}

AravisCameras::~AravisCameras() {
    shutdown();
}

void AravisCameras::setNetworkDiscovery(bool on) {
    std::lock_guard<std::mutex> lock(state->mutex);
    state->networkDiscovery = on;
}

bool AravisCameras::networkDiscovery() const {
    std::lock_guard<std::mutex> lock(state->mutex);
    return state->networkDiscovery;
}

std::size_t AravisCameras::enumerateDevices(camera::DeviceInfoList& list, bool addToList) {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!addToList) list.clear();
    if (!state->running) return list.size();
    enable(kGigeInterface, state->networkDiscovery);
    arv_update_device_list();
    state->deviceIds.clear();
    const unsigned count = arv_get_n_devices();
    for (unsigned i = 0; i < count; ++i) {
        const std::string deviceId = text(arv_get_device_id(i));
        const char* backend = backendOfProtocol(text(arv_get_device_protocol(i)));
        camera::DeviceInfo info;
        if (backend == std::string(kFakeBackend)) {
            if (state->scene == nullptr) continue;
            std::optional<camera::DeviceInfo> standsFor = state->scene->identity();
            if (!standsFor) continue;
            info = *standsFor;
        } else {
            info.serialNumber = text(arv_get_device_serial_nbr(i));
            if (info.serialNumber.empty()) info.serialNumber = deviceId;
            info.userDefinedName = userNameOf(deviceId, info.serialNumber, state->userNames);
        }
        info.backend = backend;
        state->deviceIds[info.serialNumber] = deviceId;
        list.push_back(info);
    }
    return list.size();
}

std::unique_ptr<camera::CameraDevice> AravisCameras::createDevice(const camera::DeviceInfo& info) {
    std::lock_guard<std::mutex> lock(state->mutex);
    const auto listed = state->deviceIds.find(info.serialNumber);
    if (!state->running || listed == state->deviceIds.end())
        throw camera::RuntimeException("no camera with serial number " + info.serialNumber + " is attached");
    const bool fake = info.backend == kFakeBackend;
    return std::make_unique<ArvCameraDevice>(info, listed->second, fake ? state->scene : nullptr);
}

void AravisCameras::shutdown() {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->running) return;
    state->running = false;
    arv_shutdown();
}

}  // namespace kelo::arvcam
