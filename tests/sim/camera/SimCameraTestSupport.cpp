#include "SimCameraTestSupport.h"

#include <cmath>
#include <thread>

#include "camera/InstantCamera.h"
#include "config/UnitFiles.h"
#include "simcam/SceneSpectra.h"
#include "simcam/SensorModel.h"
#include "simcam/SimulatedCameras.h"

namespace kelo::simcamtest {

namespace {

std::vector<Pixel> pixelsFromInts(const std::vector<std::int32_t>& ints, std::size_t stride,
                                  std::size_t xAt) {
    std::vector<Pixel> pixels;
    for (std::size_t at = 0; at + stride <= ints.size(); at += stride)
        pixels.push_back({ints[at + xAt], ints[at + xAt + 1]});
    return pixels;
}

}  // namespace

void SimCameraTest::SetUp() {
    simcam::configure(quietSettings());
}

void SimCameraTest::TearDown() {
    simcam::setTriggerRate(0.0);
}

simcam::SimulatorSettings SimCameraTest::quietSettings() {
    simcam::SimulatorSettings settings;
    settings.cameras = {{kSerial, kUnitId}};
    settings.scene = "halogen";
    settings.noise = false;
    settings.seed = 7;
    settings.root = ".";
    return settings;
}

const UnitView& SimCameraTest::unit() {
    // Read once per suite's folder: every suite writes the same unit.
    static UnitView view;
    if (view.transfer.rows == 0) {
        view.cellCentres = pixelsFromInts(simtest::readInt32s(file(kCellCentreFileSuffix)), 2, 0);
        view.badPixels = pixelsFromInts(simtest::readInt32s(file(kBadPixelFileSuffix)), 3, 1);
        view.transfer = matrix(kTransferMatrixFileSuffix, simtest::kCells);
    }
    return view;
}

std::unique_ptr<camera::CameraDevice> SimCameraTest::openCamera(const std::string& serial) {
    camera::DeviceInfoList list;
    simcam::simulatedCameras().enumerateDevices(list);
    for (const camera::DeviceInfo& info : list)
        if (info.serialNumber == serial) {
            auto device = simcam::simulatedCameras().createDevice(info);
            device->open();
            return device;
        }
    ADD_FAILURE() << "camera " << serial << " is not enumerated";
    return nullptr;
}

void setFloat(camera::CameraDevice& device, const char* name, double value) {
    camera::required(device.nodeMap().floatNode(name)).setValue(value);
}

void setInteger(camera::CameraDevice& device, const char* name, std::int64_t value) {
    camera::required(device.nodeMap().integerNode(name)).setValue(value);
}

void setEnumeration(camera::CameraDevice& device, const char* name, const char* symbol) {
    camera::required(device.nodeMap().enumerationNode(name)).setValue(symbol);
}

void setBoolean(camera::CameraDevice& device, const char* name, bool value) {
    camera::required(device.nodeMap().booleanNode(name)).setValue(value);
}

double floatValue(camera::CameraDevice& device, const char* name) {
    return camera::required(device.nodeMap().floatNode(name)).value();
}

void setUnitWindow(camera::CameraDevice& device, double exposureUs, double gainDb) {
    setInteger(device, "Width", simtest::kImageWidth);
    setInteger(device, "Height", simtest::kImageHeight);
    setInteger(device, "OffsetX", 0);
    setInteger(device, "OffsetY", 0);
    setEnumeration(device, "PixelFormat", "Mono12");
    setFloat(device, "ExposureTime", exposureUs);
    setFloat(device, "Gain", gainDb);
}

void setLamp(camera::CameraDevice& device, int mode) {
    setEnumeration(device, "LineSelector", "Line2");
    setEnumeration(device, "LineMode", "Output");
    setEnumeration(device, "LineSource", mode == 2 ? "ExposureActive" : "UserOutput1");
    setBoolean(device, "UserOutputValue", mode == 1);
}

camera::GrabResult grabOne(camera::CameraDevice& device, unsigned timeoutMs) {
    device.startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser, 1);
    camera::GrabResult result;
    EXPECT_TRUE(device.retrieveResult(timeoutMs, result, camera::TimeoutHandling::Return));
    return result;
}

std::vector<std::uint16_t> pixelsOf(const camera::GrabResult& result) {
    const std::size_t count = static_cast<std::size_t>(result->width()) * result->height();
    std::vector<std::uint16_t> pixels(count);
    if (result->pixelType() == camera::kPixelMono8) {
        const auto* bytes = static_cast<const std::uint8_t*>(result->buffer());
        for (std::size_t i = 0; i < count; ++i) pixels[i] = bytes[i];
    } else {
        const auto* words = static_cast<const std::uint16_t*>(result->buffer());
        pixels.assign(words, words + count);
    }
    return pixels;
}

std::vector<double> windowMeans(const std::vector<std::uint16_t>& pixels, int width) {
    const UnitView& view = SimCameraTest::unit();
    std::vector<bool> bad(pixels.size(), false);
    for (const Pixel& p : view.badPixels) bad[static_cast<std::size_t>(p.y) * width + p.x] = true;
    std::vector<double> means;
    for (const Pixel& centre : view.cellCentres) {
        double sum = 0.0;
        int count = 0;
        for (int y = centre.y - simtest::kReach; y <= centre.y + simtest::kReach; ++y)
            for (int x = centre.x - simtest::kReach; x <= centre.x + simtest::kReach; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * width + x;
                if (bad[at]) continue;
                sum += pixels[at];
                ++count;
            }
        means.push_back(sum / count);
    }
    return means;
}

std::vector<double> expectedSignals(const std::string& scene, double exposureUs, double gainDb) {
    const DenseMatrix& transfer = SimCameraTest::unit().transfer;
    const std::vector<double> light = simcam::sceneSpectrum(scene, 380.0, transfer.cols);
    const double scale =
        exposureUs * std::pow(10.0, gainDb / 20.0) * simcam::sensorModel().countsPerUnit;
    std::vector<double> signals;
    for (std::size_t i = 0; i < transfer.rows; ++i) {
        double sum = 0.0;
        for (std::size_t j = 0; j < transfer.cols; ++j) sum += transfer.at(i, j) * light[j];
        signals.push_back(scale * sum);
    }
    return signals;
}

}  // namespace kelo::simcamtest
