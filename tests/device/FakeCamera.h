// A camera of the SDK interface whose grabs hand out prepared images or
// faults, for the frame transfer and the grab failures that the simulated
// camera does not produce on demand (a chosen pixel type and buffer). Its
// only node is "ExposureTime".
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "camera/CameraDevice.h"

namespace kelo::devicetest {

class FakeImage : public camera::GrabResultData {
public:
    FakeImage(int width, int height, std::uint32_t pixelType, std::vector<std::uint8_t> bytes)
        : imageWidth(width), imageHeight(height), type(pixelType), pixels(std::move(bytes)) {}
    int width() const override { return imageWidth; }
    int height() const override { return imageHeight; }
    std::uint32_t pixelType() const override { return type; }
    const void* buffer() const override { return pixels.data(); }
    std::int64_t timeStamp() const override { return 0; }

private:
    int imageWidth;
    int imageHeight;
    std::uint32_t type;
    std::vector<std::uint8_t> pixels;
};

// Little-endian bytes of 16-bit words, as a camera delivers Mono12.
inline std::vector<std::uint8_t> wordBytes(const std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t word : words) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

class FixedExposure : public camera::FloatNode {
public:
    camera::AccessMode accessMode() const override { return camera::AccessMode::ReadOnly; }
    double value() const override { return 5000.0; }
    double minimum() const override { return 5000.0; }
    double maximum() const override { return 5000.0; }
    void setValue(double, bool) override { throw camera::AccessException("read-only"); }
};

class ExposureOnlyNodes : public camera::NodeMap {
public:
    camera::FloatNode* floatNode(const std::string& name) override {
        return name == "ExposureTime" ? &exposure : nullptr;
    }
    camera::IntegerNode* integerNode(const std::string&) override { return nullptr; }
    camera::EnumerationNode* enumerationNode(const std::string&) override { return nullptr; }
    camera::BooleanNode* booleanNode(const std::string&) override { return nullptr; }

private:
    FixedExposure exposure;
};

class FakeCamera : public camera::CameraDevice {
public:
    enum class Outcome { Image, NoImage, Timeout, OtherError };

    camera::GrabResult image;
    Outcome outcome = Outcome::Image;
    int stopCount = 0;

    camera::DeviceInfo deviceInfo() const override { return {"FAKE0001", "UNIT0001", "test"}; }
    void open() override { opened = true; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool isRemoved() const override { return false; }
    camera::NodeMap& nodeMap() override { return nodes; }
    void startGrabbing(camera::GrabStrategy, camera::GrabLoop, std::size_t) override {
        grabbing = true;
    }
    bool retrieveResult(unsigned, camera::GrabResult& result, camera::TimeoutHandling) override {
        switch (outcome) {
            case Outcome::Timeout:
                throw camera::TimeoutException("no image in time");
            case Outcome::OtherError:
                throw std::bad_alloc();
            case Outcome::NoImage:
                result.reset();
                return false;
            case Outcome::Image:
                break;
        }
        result = image;
        return true;
    }
    void stopGrabbing() override {
        grabbing = false;
        ++stopCount;
    }
    bool isGrabbing() const override { return grabbing; }

private:
    ExposureOnlyNodes nodes;
    bool opened = false;
    bool grabbing = false;
};

}  // namespace kelo::devicetest
