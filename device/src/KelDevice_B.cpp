// Opening, closing and the settings of the camera device.
#include "device/KelDevice_B.h"

#include <iostream>
#include <vector>

#include "NodeAccess.h"
#include "camera/InstantCamera.h"

using kelo::camera::EnumerationNode;
using kelo::camera::FloatNode;
using kelo::camera::GenericException;
using kelo::camera::IntegerNode;
using kelo::camera::NodeMap;
using kelo::camera::required;
using kelo::device::setSymbol;
using kelo::device::writable;

namespace Brevanta {

namespace {

// The output line's source and user value of each flash mode.
struct FlashSetting {
    const char* lineSource;
    bool userOutputValue;
};
constexpr FlashSetting kFlashSettings[] = {
    {"UserOutput1", false},     // 0 off
    {"UserOutput1", true},      // 1 on
    {"ExposureActive", false},  // 2 during exposure
};

// The nodes each feature needs, by kind.
struct FeatureNodes {
    Brevanta::CameraFeature feature;
    std::vector<const char*> floats;
    std::vector<const char*> enumerations;
    std::vector<const char*> booleans;
};

const std::vector<FeatureNodes>& featureNodes() {
    using Brevanta::CameraFeature;
    static const std::vector<FeatureNodes> table = {
        {CameraFeature::Gain, {"Gain"}, {}, {}},
        {CameraFeature::AutoExposure,
         {"AutoExposureTimeLowerLimit", "AutoExposureTimeUpperLimit"},
         {"ExposureAuto"},
         {}},
        {CameraFeature::HardwareTrigger,
         {},
         {"TriggerSelector", "TriggerMode", "TriggerSource", "TriggerActivation"},
         {}},
        {CameraFeature::Flash,
         {},
         {"LineSelector", "LineMode", "LineSource"},
         {"UserOutputValue"}},
    };
    return table;
}

// The first node of `nodes` that the camera lacks, or null.
const char* firstMissingNode(NodeMap& map, const FeatureNodes& nodes) {
    for (const char* name : nodes.floats)
        if (map.floatNode(name) == nullptr) return name;
    for (const char* name : nodes.enumerations)
        if (map.enumerationNode(name) == nullptr) return name;
    for (const char* name : nodes.booleans)
        if (map.booleanNode(name) == nullptr) return name;
    return nullptr;
}

// Sets `node` to `value` only inside its limits, inclusive.
void setWithinLimits(FloatNode& node, double value) {
    if (node.minimum() <= value && value <= node.maximum()) node.setValue(value);
}

}  // namespace

KelDevice_B::KelDevice_B(kelo::camera::InstantCamera* camera, QObject* parent)
    : KelDevice(parent), camera(camera) {}

KelDevice_B::~KelDevice_B() = default;

bool KelDevice_B::open(bool binning) {
    if (camera == nullptr) {
        std::cerr << "\nCamera not Connected";
        return false;
    }
    try {
        camera->open();
        NodeMap& nodes = camera->nodeMap();
        EnumerationNode* gainAuto = nodes.enumerationNode("GainAuto");
        EnumerationNode* exposureAuto = nodes.enumerationNode("ExposureAuto");
        EnumerationNode* pixelFormatNode = nodes.enumerationNode("PixelFormat");
        EnumerationNode* testPattern = nodes.enumerationNode("TestPattern");
        EnumerationNode* overlapMode = nodes.enumerationNode("OverlapMode");

        if (writable(gainAuto)) gainAuto->setValue("Off");
        if (writable(exposureAuto)) exposureAuto->setValue("Off");
        if (writable(pixelFormatNode)) pixelFormatNode->setValue("Mono12");
        required(testPattern).setValue("Off");
        required(overlapMode).setValue("Off");

        serialNumber = camera->deviceInfo().serialNumber;
        findMissingFeatures(nodes);
        const std::int64_t binningFactor = binning ? 2 : 1;
        required(nodes.integerNode("BinningHorizontal")).setValue(binningFactor);
        required(nodes.integerNode("BinningVertical")).setValue(binningFactor);
        return true;
    } catch (const GenericException&) {
        return false;
    }
}

void KelDevice_B::findMissingFeatures(NodeMap& nodes) {
    lacking.clear();
    for (const FeatureNodes& feature : featureNodes()) {
        const char* missing = firstMissingNode(nodes, feature);
        if (missing == nullptr) continue;
        lacking[feature.feature] = missing;
        std::cerr << "camera " << serialNumber << " has no node " << missing << ": "
                  << describe(feature.feature) << " is not available\n";
    }
}

void KelDevice_B::close() {
    if (camera == nullptr) return;
    try {
        stopGrabbing();
        setFlashMode(0);
        camera->close();
    } catch (const GenericException&) {
    }
    // Released even when closing failed (an unplugged camera), so the slot
    // holds no dead device.
    try {
        camera->destroyDevice();
    } catch (const GenericException&) {
    }
}

void KelDevice_B::setImageSize(int newWidth, int newHeight) {
    if (camera == nullptr) return;
    try {
        NodeMap& nodes = camera->nodeMap();
        IntegerNode& widthNode = required(nodes.integerNode("Width"));
        widthNode.setValue(newWidth);
        IntegerNode& heightNode = required(nodes.integerNode("Height"));
        heightNode.setValue(newHeight);
        width = static_cast<std::int32_t>(widthNode.value());
        height = static_cast<std::int32_t>(heightNode.value());
    } catch (const GenericException&) {
        std::cerr << "Cannot set Width and height \n";
    }
}

void KelDevice_B::setImageOffset(int offsetX, int offsetY) {
    if (camera == nullptr) return;
    try {
        NodeMap& nodes = camera->nodeMap();
        IntegerNode* offsetXNode = nodes.integerNode("OffsetX");
        if (writable(offsetXNode)) offsetXNode->setValue(offsetX);
        IntegerNode* offsetYNode = nodes.integerNode("OffsetY");
        if (writable(offsetYNode)) offsetYNode->setValue(offsetY);
    } catch (const GenericException&) {
        std::cerr << "Cannot set Offsets\n";
    }
}

void KelDevice_B::setExposureTime(double microseconds) {
    if (camera == nullptr) return;
    try {
        setWithinLimits(required(camera->nodeMap().floatNode("ExposureTime")), microseconds);
    } catch (const GenericException&) {
        std::cerr << "Cannot set Exposure time.\n";
    }
}

void KelDevice_B::setGain(double value) {
    if (camera == nullptr) return;
    try {
        FloatNode& gainNode = required(camera->nodeMap().floatNode("Gain"));
        setWithinLimits(gainNode, value);
        gain = gainNode.value();
    } catch (const GenericException&) {
        std::cerr << "Cannot set Gain\n";
    }
}

void KelDevice_B::setPixelFormat(int format) {
    if (camera == nullptr) return;
    try {
        EnumerationNode* node = camera->nodeMap().enumerationNode("PixelFormat");
        if (!writable(node)) return;
        node->setValue(format == 0 ? "Mono8" : "Mono12");
        pixelFormat = format == 0 ? 0 : 1;
    } catch (const GenericException&) {
    }
}

bool KelDevice_B::setFlashMode(int mode) {
    if (camera == nullptr) return false;
    try {
        NodeMap& nodes = camera->nodeMap();
        EnumerationNode* lineSelector = nodes.enumerationNode("LineSelector");
        EnumerationNode* lineMode = nodes.enumerationNode("LineMode");
        EnumerationNode* lineSource = nodes.enumerationNode("LineSource");
        kelo::camera::BooleanNode* userOutputValue = nodes.booleanNode("UserOutputValue");
        if (mode < kFlashOff || mode > kFlashDuringExposure) return false;

        const FlashSetting& setting = kFlashSettings[mode];
        required(lineSelector).setValue("Line2");
        required(lineMode).setValue("Output");
        required(lineSource).setValue(setting.lineSource);
        required(userOutputValue).setValue(setting.userOutputValue);
        flashMode = mode;
        return true;
    } catch (const GenericException&) {
        return false;
    }
}

void KelDevice_B::setName(const std::string& newName) {
    name = newName;
}

void KelDevice_B::setTriggerMode(int mode) {
    if (camera == nullptr || (mode != kSoftwareTrigger && mode != kHardwareTrigger)) return;
    try {
        NodeMap& nodes = camera->nodeMap();
        const bool hardware = mode == kHardwareTrigger;
        setSymbol(nodes, "TriggerSelector", "FrameStart");
        setSymbol(nodes, "TriggerMode", hardware ? "On" : "Off");
        setSymbol(nodes, "TriggerSource", hardware ? "Line1" : "Software");
        setSymbol(nodes, "AcquisitionMode", "Continuous");
        if (hardware) setSymbol(nodes, "TriggerActivation", "FallingEdge");
        triggerMode = mode;
    } catch (const GenericException&) {
    }
}

bool KelDevice_B::setAutoMode(const char* nodeName, const char* symbol) {
    if (camera == nullptr) return false;
    try {
        setSymbol(camera->nodeMap(), nodeName, symbol);
        return true;
    } catch (const GenericException&) {
        return false;
    }
}

bool KelDevice_B::setExposureAutoContinuous() {
    return setAutoMode("ExposureAuto", "Continuous");
}

void KelDevice_B::setExposureAutoOff() {
    setAutoMode("ExposureAuto", "Off");
}

bool KelDevice_B::setGainAutoContinuous() {
    return setAutoMode("GainAuto", "Continuous");
}

void KelDevice_B::setGainAutoOff() {
    setAutoMode("GainAuto", "Off");
}

void KelDevice_B::setFloatUnchecked(const char* nodeName, double value) {
    if (camera == nullptr) return;
    try {
        required(camera->nodeMap().floatNode(nodeName)).setValue(value);
    } catch (const GenericException&) {
    }
}

void KelDevice_B::setAutoExposureLowerLimit(double microseconds) {
    setFloatUnchecked("AutoExposureTimeLowerLimit", microseconds);
}

void KelDevice_B::setAutoExposureUpperLimit(double microseconds) {
    setFloatUnchecked("AutoExposureTimeUpperLimit", microseconds);
}

double KelDevice_B::getExposureTime() {
    if (camera == nullptr) return 0.0;
    try {
        return required(camera->nodeMap().floatNode("ExposureTime")).value();
    } catch (const GenericException&) {
        std::cout << "KelDevice_B: getExposureTime() exception\n";
        return 0.0;
    }
}

void KelDevice_B::readLimits(const char* nodeName, double& min, double& max) {
    min = 0.0;
    max = 0.0;
    if (camera == nullptr) return;
    try {
        FloatNode& node = required(camera->nodeMap().floatNode(nodeName));
        min = node.minimum();
        max = node.maximum();
    } catch (const GenericException&) {
    }
}

void KelDevice_B::getExposureTimeRange(double& min, double& max) {
    readLimits("ExposureTime", min, max);
}

void KelDevice_B::getGainRange(double& min, double& max) {
    readLimits("Gain", min, max);
}

std::string KelDevice_B::getUserDefinedName() {
    if (camera == nullptr) return {};
    try {
        return camera->deviceInfo().userDefinedName;
    } catch (const GenericException&) {
        return {};
    }
}

double KelDevice_B::getResultingFrameRate() {
    if (camera == nullptr) return 0.0;
    return required(camera->nodeMap().floatNode("ResultingFrameRate")).value();
}

double KelDevice_B::getGrabExposureTime() {
    return grabExposureTime;
}

bool KelDevice_B::isConnected() {
    if (camera == nullptr) return false;
    try {
        return !camera->isCameraDeviceRemoved();
    } catch (const GenericException&) {
        return false;
    }
}

}  // namespace Brevanta
