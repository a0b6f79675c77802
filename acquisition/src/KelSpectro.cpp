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

KelSpectro::KelSpectro()
    : frameRate(std::make_unique<kelo::acquisition::FrameRateWindow>()),
      gate(std::make_unique<kelo::acquisition::AcquisitionGate>()) {
    registerSignalTypes();
}

KelSpectro::KelSpectro(const std::string& deviceId, KelDevice* device)
    : processor(std::make_unique<SpectralProcessor>()),
      device(device),
      serialNumber(deviceId),
      frameRate(std::make_unique<kelo::acquisition::FrameRateWindow>()),
      gate(std::make_unique<kelo::acquisition::AcquisitionGate>()) {
    registerSignalTypes();
}

KelSpectro::~KelSpectro() {
    if (device == nullptr) return;
    stopGrabbing();
    // The acquisition still uses the buffers and the processor until it
    // returns, within one frame wait of the stop.
    gate->waitUntilIdle();
}

bool KelSpectro::initDevice() {
    if (device == nullptr || processor == nullptr) {
        errorCode = kErrorNoDevice;
        return false;
    }
    // The live loop's buffers are resized below.
    kelo::acquisition::AcquisitionGuard guard(*gate);
    if (!mayStart(guard)) return false;

    cameraName = device->getUserDefinedName();
    SystemConfig config;
    // A refused unit (the loader has said why) opens and sizes nothing.
    if (!config.load(cameraName)) {
        std::cerr << "\nConfig file error\n";
        return false;
    }
    device->open(config.getDeviceOption() != 0);
    std::cout << "\nDevice initialized\n";

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
    processor->setDarkSubtraction(false);
    darkRequested = false;
    blurEveryFrame = true;
    // A processor whose calibration did not load refuses every frame, so
    // the loops get no buffers for it.
    if (!processor->initialize(cameraName) || !processor->unavailableReason().empty()) return false;

    pixelCount = sizeX * sizeY;
    cellCount = static_cast<std::uint32_t>(config.getNumCells());
    cells.assign(cellCount, 0.0);
    cellSum.assign(cellCount, 0.0);
    frame.reserve(pixelCount);
    return true;
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
    std::lock_guard<std::mutex> lock(grabControl);
    stopRequested = true;
    if (device != nullptr) stopGrabQuietly();
}

void KelSpectro::prepareLive() {
    stopRequested = false;
    livePending = true;
}

bool KelSpectro::isAcquiring() const {
    return livePending || gate->isBusy();
}

bool KelSpectro::mayStart(const kelo::acquisition::AcquisitionGuard& guard) const {
    return guard.isAdmitted() && !livePending;
}

void KelSpectro::stopGrabQuietly() {
    try {
        device->stopGrabbing();
    } catch (...) {
        // A camera that is gone has stopped grabbing anyway.
    }
}

bool KelSpectro::startGrab(int mode) {
    std::lock_guard<std::mutex> lock(grabControl);
    if (stopRequested) return false;
    device->setGrabMode(mode);
    return true;
}

void KelSpectro::closeDevice() {
    if (device != nullptr) device->close();
}

std::string KelSpectro::getUserDefinedName() {
    return device != nullptr ? device->getUserDefinedName() : std::string();
}

std::map<CameraFeature, std::string> KelSpectro::missingFeatures() const {
    return device != nullptr ? device->missingFeatures() : std::map<CameraFeature, std::string>();
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

std::string KelSpectro::getSaveDir() const {
    return saveDir;
}

void KelSpectro::setSaveDir(const std::string& folder) {
    saveDir = folder;
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
    std::lock_guard<std::mutex> lock(recordedMutex);
    return recorded.size();
}

bool KelSpectro::getDarkSubtraction() const {
    return processor != nullptr && processor->getDarkSubtraction();
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

std::string KelSpectro::getErrorText() const {
    std::lock_guard<std::mutex> lock(errorTextMutex);
    return errorText;
}

void KelSpectro::recordError(const std::string& text) {
    errorCode = kErrorRaised;
    setErrorText(text);
}

void KelSpectro::setErrorText(const std::string& text) {
    std::lock_guard<std::mutex> lock(errorTextMutex);
    errorText = text;
}

kelo::engine::FitDiagnostics KelSpectro::getFitDiagnostics() const {
    return processor != nullptr ? processor->fitDiagnostics() : kelo::engine::FitDiagnostics();
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
    if (!wait) stopGrabbing();
}

void KelSpectro::setCollectDark(bool collect) {
    darkRequested = collect;
}

void KelSpectro::setStopRecording(bool stop) {
    if (stop) stopGrabbing();
}

void KelSpectro::setDarkSubtraction(bool on) {
    if (processor != nullptr) processor->setDarkSubtraction(on);
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
