// kelo grab: one raw frame of the first camera, set up from its unit's
// system file as the application sets it up, written as little-endian
// 16-bit pixels, row by row.
#include <cstdint>
#include <iostream>
#include <optional>
#include <vector>

#include "ArgumentList.h"
#include "CameraLimits.h"
#include "Commands.h"
#include "OutputLines.h"
#include "QuotedInput.h"
#include "config/AtomicFile.h"
#include "config/SystemConfig.h"
#include "device/DeviceRegistry.h"
#include "device/KelDevice.h"

namespace kelo::cli {

namespace {

const char* const kSynopsis =
    "usage: kelo grab [--exposure-ms X] [--gain G] [--pixel-format 8|12] "
    "[--flash off|on|exposure] --out FILE";

// What the command line asks for; absent values come from the unit.
struct GrabRequest {
    std::optional<double> exposureMs;
    std::optional<double> gain;
    std::optional<int> pixelFormat;  // the device's code: 0 Mono8, 1 Mono12
    int flashMode = Brevanta::KelDevice::kFlashDuringExposure;  // as the application
    std::string outFile;
};

// The request, or an empty result with `error` saying which word was wrong.
std::optional<GrabRequest> parseRequest(const Words& words, std::string& error) {
    auto arguments = ArgumentList::parse(
        words, {"--exposure-ms", "--gain", "--pixel-format", "--flash", "--out"}, {}, error);
    if (!arguments) return std::nullopt;
    if (!arguments->positional().empty() || !arguments->value("--out")) {
        error = kSynopsis;
        return std::nullopt;
    }
    GrabRequest request;
    request.outFile = *arguments->value("--out");
    request.exposureMs = arguments->optionalNumber("--exposure-ms", error);
    request.gain = arguments->optionalNumber("--gain", error);
    if (!error.empty()) return std::nullopt;

    if (auto format = arguments->value("--pixel-format")) {
        if (*format != "8" && *format != "12") {
            error = "--pixel-format takes 8 or 12, not " + quotedInput(*format);
            return std::nullopt;
        }
        request.pixelFormat = *format == "8" ? 0 : 1;
    }
    if (auto flash = arguments->value("--flash")) {
        if (*flash == "off") {
            request.flashMode = Brevanta::KelDevice::kFlashOff;
        } else if (*flash == "on") {
            request.flashMode = Brevanta::KelDevice::kFlashOn;
        } else if (*flash != "exposure") {
            error = "--flash takes off, on or exposure, not " + quotedInput(*flash);
            return std::nullopt;
        }
    }
    return request;
}

// Window, offsets and pixel format from the system file; gain and exposure
// time from the request or else the user file.
void configureDevice(Brevanta::KelDevice& device, const SystemConfig& config,
                     const GrabRequest& request) {
    std::uint32_t sizeX = 0;
    std::uint32_t sizeY = 0;
    config.getDataSize(sizeX, sizeY);
    device.setImageSize(static_cast<int>(sizeX), static_cast<int>(sizeY));
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    config.getHwOffset(offsetX, offsetY);
    device.setImageOffset(offsetX, offsetY);
    device.setPixelFormat(request.pixelFormat.value_or(config.hasDataResolution() ? 1 : 0));
    device.setGain(request.gain.value_or(config.getGain()));
    device.setExposureTime(request.exposureMs ? *request.exposureMs * 1000.0
                                              : config.getExposureTime());
    device.setFlashMode(request.flashMode);
}

std::vector<std::uint8_t> littleEndianBytes(const Frame& frame) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(frame.size() * 2);
    for (std::uint16_t pixel : frame) {
        bytes.push_back(static_cast<std::uint8_t>(pixel & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(pixel >> 8));
    }
    return bytes;
}

// How a grab ended: with a frame, refused for a setting outside the
// camera's limits, or failed.
enum class GrabResult { Grabbed, Refused, Failed };

// Opens the first camera, checks the request against its limits,
// configures it and snaps it into `frame`; closes it again. The reason of a
// refusal or failure goes to standard error.
GrabResult grabFirstCamera(const GrabRequest& request, Frame& frame, int& width, int& height) {
    DeviceRegistry& registry = DeviceRegistry::instance();
    std::vector<std::string> serials;
    if (!registry.initialize()) {
        commandFailure("grab", "no camera attached");
        return GrabResult::Failed;
    }
    registry.getDeviceList(serials);
    Brevanta::KelDevice* device = serials.empty() ? nullptr : registry.createDevice(serials[0]);
    if (device == nullptr) {
        commandFailure("grab", "the first camera is gone");
        return GrabResult::Failed;
    }

    const std::string unitId = device->getUserDefinedName();
    SystemConfig config;
    if (!config.load(unitId)) {
        std::cerr << "\nConfig file error";
        commandFailure("grab", "no configuration for unit " + quotedInput(unitId));
        return GrabResult::Failed;
    }
    if (!device->open(false)) {
        commandFailure("grab", "cannot open camera " + quotedInput(serials[0]));
        device->close();
        return GrabResult::Failed;
    }
    const std::string refused =
        settingsRefusal(limitsOf(*device), request.exposureMs, request.gain);
    if (!refused.empty()) {
        device->close();
        usageError("grab", refused);
        return GrabResult::Refused;
    }
    configureDevice(*device, config, request);
    const bool grabbed = device->snap(frame);
    width = device->getWidth();
    height = device->getHeight();
    device->close();
    if (!grabbed) {
        commandFailure("grab", "no frame from camera " + quotedInput(serials[0]));
        return GrabResult::Failed;
    }
    return GrabResult::Grabbed;
}

}  // namespace

int runGrab(const Words& words) {
    std::string error;
    const std::optional<GrabRequest> request = parseRequest(words, error);
    if (!request) return usageError("grab", error);

    Frame frame;
    int width = 0;
    int height = 0;
    switch (grabFirstCamera(*request, frame, width, height)) {
        case GrabResult::Refused:
            return 2;
        case GrabResult::Failed:
            return 1;
        case GrabResult::Grabbed:
            break;
    }

    const std::vector<std::uint8_t> bytes = littleEndianBytes(frame);
    const std::string failure = replaceFileContents(request->outFile, bytes.data(), bytes.size());
    if (!failure.empty()) return commandFailure("grab", failure);
    std::cout.flush();
    std::cerr << freshLine << width << "x" << height << "\n";
    return 0;
}

}  // namespace kelo::cli
