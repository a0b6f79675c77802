// The controller's set-up from the unit's configuration, the user file and
// the settings forwarded to the device and the processor.
#include "acquisition/KelSpectro.h"

#include <algorithm>
#include <iostream>

#include "AcquisitionGuard.h"
#include "FrameRateWindow.h"
#include "config/SystemConfig.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"

namespace Brevanta {

namespace {

void registerSignalTypes() {
    // For the queued connections from the worker to the user interface.
    qRegisterMetaType<std::vector<double>>("std::vector<double>");
}

}  // namespace

KelSpectro::KelSpectro() : frameRate(std::make_unique<kelo::acquisition::FrameRateWindow>()) {
    registerSignalTypes();
}

KelSpectro::KelSpectro(const std::string& deviceId, KelDevice* device)
    : processor(std::make_unique<SpectralProcessor>()),
      device(device),
      serialNumber(deviceId),
      frameRate(std::make_unique<kelo::acquisition::FrameRateWindow>()) {
    registerSignalTypes();
}

KelSpectro::~KelSpectro() = default;

bool KelSpectro::initDevice() {
    if (device == nullptr || processor == nullptr) {
        errorCode = kErrorNoDevice;
        return false;
    }
    // The live loop's buffers are resized below.
    kelo::acquisition::AcquisitionGuard guard(acquisitionBusy);
    if (!guard.isAdmitted()) return false;

    cameraName = device->getUserDefinedName();
    SystemConfig config;
    if (!config.load(cameraName)) {
        std::cerr << "\nConfig file error";
        return false;
    }
    device->open(config.getDeviceOption() != 0);
    std::cout << "\nDevice initialized";

    std::uint32_t sizeX = 0, sizeY = 0;
    config.getDataSize(sizeX, sizeY);
    std::cout << "setting dataSizeX, dataSizeY:" << sizeX << "," << sizeY << "\n";
    device->setImageSize(static_cast<int>(sizeX), static_cast<int>(sizeY));
    std::int32_t offsetX = 0, offsetY = 0;
    config.getHwOffset(offsetX, offsetY);
    std::cout << "setting hwOffsetX, hwOffsetY:" << offsetX << "," << offsetY << "\n";
    device->setImageOffset(offsetX, offsetY);
    device->setPixelFormat(config.hasDataResolution() ? 1 : 0);
    device->setGain(config.getGain());
    device->setExposureTime(config.getExposureTime());
    saveDir = config.getSaveDirPath();
    device->setTriggerMode(0);

    gaussBlurMode = config.getGaussBlurMode() != 0;
    visNirMode = config.getVisNirMode() != 0;
    processor->setGaussBlurMode(config.getGaussBlurMode());
    // A processor whose calibration did not load refuses every frame.
    const bool processorReady =
        processor->initialize(cameraName) && processor->unavailableReason().empty();

    pixelCount = sizeX * sizeY;
    cellCount = static_cast<std::uint32_t>(std::max(config.getNumCells(), 0));
    cells.assign(cellCount, 0.0);
    cellSum.assign(cellCount, 0.0);
    frame.reserve(pixelCount);
    darkSubtraction = false;
    darkRequested = false;
    blurEveryFrame = true;
    waitForTrigger = false;
    return processorReady;
}

bool KelSpectro::saveUserConfig() {
    if (device == nullptr) return false;
    SystemConfig config;
    config.setGain(device->getGain());
    config.setExposureTime(device->getExposureTime());
    config.setSaveDirPath(saveDir);
    return config.saveUserConfig(cameraName);
}

bool KelSpectro::isConnected() {
    return device != nullptr && device->isConnected();
}

bool KelSpectro::isGrabbing() {
    return device != nullptr && device->isGrabbing();
}

void KelSpectro::stopGrabbing() {
    if (device != nullptr) device->stopGrabbing();
}

void KelSpectro::closeDevice() {
    if (device != nullptr) device->close();
}

std::string KelSpectro::getUserDefinedName() {
    return device != nullptr ? device->getUserDefinedName() : std::string();
}

double KelSpectro::getExposureTime() {
    return device != nullptr ? device->getExposureTime() : 0.0;
}

double KelSpectro::getGain() {
    return device != nullptr ? device->getGain() : 0.0;
}

int KelSpectro::getTriggerMode() {
    return device != nullptr ? device->getTriggerMode() : 0;
}

double KelSpectro::getGrabExposureTime() {
    return device != nullptr ? device->getGrabExposureTime() : 0.0;
}

double KelSpectro::getResultingFrameRate() {
    return device != nullptr ? device->getResultingFrameRate() : 0.0;
}

int KelSpectro::getAverages() const {
    return static_cast<int>(averages.load());
}

std::vector<double> KelSpectro::getWavelengths() const {
    return processor != nullptr ? processor->getWavelengths() : std::vector<double>();
}

std::vector<double> KelSpectro::getSaturatedWavelengths() const {
    std::vector<double> wavelengths;
    if (processor == nullptr) return wavelengths;
    for (const kelo::engine::SaturatedCell& cell : processor->fitDiagnostics().saturatedCells)
        wavelengths.push_back(cell.peakWavelength);
    std::sort(wavelengths.begin(), wavelengths.end());
    wavelengths.erase(std::unique(wavelengths.begin(), wavelengths.end()), wavelengths.end());
    return wavelengths;
}

int KelSpectro::getRestrictedPointCount() const {
    return processor != nullptr ? static_cast<int>(processor->getRestrictedPointCount()) : 0;
}

std::size_t KelSpectro::getRecordedCount() const {
    return recorded.size();
}

bool KelSpectro::getDarkSubtraction() const {
    return darkSubtraction;
}

bool KelSpectro::getGaussBlurMode() const {
    return gaussBlurMode;
}

bool KelSpectro::getVisNirMode() const {
    return visNirMode;
}

int KelSpectro::getErrorCode() const {
    return errorCode;
}

const kelo::acquisition::StageTimes& KelSpectro::getStageTimes() const {
    return stageTimes;
}

void KelSpectro::setExposureTime(double microseconds) {
    if (device != nullptr) device->setExposureTime(microseconds);
    frameRate->restart();
}

void KelSpectro::setAverages(int n) {
    // The loops divide by the count and grab count - 1 further frames.
    averages = static_cast<std::uint32_t>(std::max(n, 1));
    frameRate->restart();
}

void KelSpectro::setGain(double value) {
    if (device != nullptr) device->setGain(value);
}

void KelSpectro::setTriggerMode(int mode) {
    if (device != nullptr) device->setTriggerMode(mode);
}

void KelSpectro::setFlashMode(int mode) {
    if (device != nullptr) device->setFlashMode(mode);
}

void KelSpectro::setExposureAutoContinuous() {
    if (device != nullptr) device->setExposureAutoContinuous();
}

void KelSpectro::setExposureAutoOff() {
    if (device != nullptr) device->setExposureAutoOff();
}

void KelSpectro::setDevExposureTimeMin(double min) {
    if (device != nullptr) device->setAutoExposureLowerLimit(min);
}

void KelSpectro::setDevExposureTimeMax(double max) {
    if (device != nullptr) device->setAutoExposureUpperLimit(max);
}

void KelSpectro::setWaitForTrigger(bool wait) {
    waitForTrigger = wait;
}

void KelSpectro::setCollectDark(bool collect) {
    darkRequested = collect;
}

void KelSpectro::setStopRecording(bool stop) {
    stopRecording = stop;
}

void KelSpectro::setDarkSubtraction(bool on) {
    if (processor == nullptr) return;
    darkSubtraction = on;
    processor->setDarkSubtraction(on);
}

void KelSpectro::setBlurEveryFrame(bool on) {
    blurEveryFrame = on;
    if (processor != nullptr) processor->setBlurEveryFrame(on);
}

void KelSpectro::setRestrictedRange(bool on) {
    if (processor != nullptr) processor->setRestrictedRange(on);
}

void KelSpectro::clearDark() {
    if (processor != nullptr) processor->clearDarkCells();
}

}  // namespace Brevanta
