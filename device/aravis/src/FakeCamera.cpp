#include "FakeCamera.h"

#include <vector>

#include "ArvStreamGrab.h"

namespace kelo::arvcam {

namespace {

// Bootstrap registers of the identity, as GigE Vision lays them out.
constexpr guint32 kSerialNumberAddress = 0xd8;
constexpr guint32 kUserNameAddress = 0xe8;
constexpr guint32 kIdentityLength = 16;
// The fake camera paces its frames by these; the feed waits for the images
// it draws, so the fake camera's own pace is set as fast as it goes.
constexpr guint32 kFramePeriodUs = 1000;
constexpr double kTriggerRateHz = 1000.0;
constexpr guint32 kContinuous = 1;
// Gain register in hundredths of a dB (the register description's converter).
constexpr double kGainRawPerDb = 100.0;
constexpr guint32 kTriggerOn = 1;
constexpr guint32 kLineSource = 0;

}  // namespace

void writeFakeString(ArvFakeCamera* camera, guint32 address, guint32 length, const std::string& text) {
    std::vector<char> bytes(length, '\0');
    text.copy(bytes.data(), length - 1);
    arv_fake_camera_write_memory(camera, address, length, bytes.data());
}

FakeCamera::FakeCamera(ArvDevice* device, const camera::DeviceInfo& info,
                       std::unique_ptr<FakeImageFeed> feed)
    : device(device),
      camera(arv_fake_device_get_fake_camera(ARV_FAKE_DEVICE(device))),
      feed(std::move(feed)) {
    writeFakeString(camera, kSerialNumberAddress, kIdentityLength, info.serialNumber);
    writeFakeString(camera, kUserNameAddress, kIdentityLength, info.userDefinedName);
    arv_fake_camera_write_register(camera, ARV_FAKE_CAMERA_REGISTER_ACQUISITION_FRAME_PERIOD_US,
                                   kFramePeriodUs);
    arv_fake_camera_write_register(camera, ARV_FAKE_CAMERA_REGISTER_ACQUISITION_MODE, kContinuous);
    arv_fake_camera_set_trigger_frequency(camera, kTriggerRateHz);
    arv_fake_camera_set_fill_pattern(camera, &FakeCamera::fillCallback, this);
}

FakeCamera::~FakeCamera() {
    arv_fake_camera_set_fill_pattern(camera, nullptr, nullptr);
}

void FakeCamera::fillCallback(ArvBuffer* buffer, void* self, guint32 exposureUs, guint32 gainRaw,
                              ArvPixelFormat format) {
    static_cast<FakeCamera*>(self)->draw(buffer, exposureUs, gainRaw, format);
}

guint32 FakeCamera::readRegister(guint32 address) const {
    guint32 value = 0;
    arv_fake_camera_read_register(camera, address, &value);
    return value;
}

void FakeCamera::draw(ArvBuffer* buffer, guint32 exposureUs, guint32 gainRaw, ArvPixelFormat format) {
    FakeImageRequest request;
    request.width = static_cast<int>(arv_buffer_get_image_width(buffer));
    request.height = static_cast<int>(arv_buffer_get_image_height(buffer));
    request.offsetX = static_cast<int>(readRegister(ARV_FAKE_CAMERA_REGISTER_X_OFFSET));
    request.offsetY = static_cast<int>(readRegister(ARV_FAKE_CAMERA_REGISTER_Y_OFFSET));
    request.binningHorizontal = static_cast<int>(readRegister(ARV_FAKE_CAMERA_REGISTER_BINNING_HORIZONTAL));
    request.binningVertical = static_cast<int>(readRegister(ARV_FAKE_CAMERA_REGISTER_BINNING_VERTICAL));
    request.pixelType = format;
    request.exposureUs = exposureUs;
    request.gainDb = gainRaw / kGainRawPerDb;
    request.lineTrigger = readRegister(ARV_FAKE_CAMERA_REGISTER_TRIGGER_MODE) == kTriggerOn &&
                          readRegister(ARV_FAKE_CAMERA_REGISTER_TRIGGER_SOURCE) == kLineSource;

    std::size_t ignored = 0;
    void* pixels = const_cast<void*>(arv_buffer_get_data(buffer, &ignored));
    const FakeFill fill = feed->fill(request, pixels, bufferBytes);
    markEmpty(buffer, fill != FakeFill::Image);
    if (fill == FakeFill::Lost && !lostSignalled.exchange(true))
        g_signal_emit_by_name(device, "control-lost");
}

}  // namespace kelo::arvcam
