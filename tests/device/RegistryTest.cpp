// The registry's ownership of devices and factory, on a factory of its own,
// so that the program's exit path can be watched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/Errors.h"
#include "device/DeviceRegistry.h"
#include "device/KelDevice_B.h"

namespace {

// Hands out devices without camera for "A" and "B", nothing for other
// serial numbers, and an SDK error for "BROKEN"; logs what happens to it and
// its devices.
class LoggingFactory : public Brevanta::KelIFactory {
public:
    explicit LoggingFactory(std::vector<std::string>& log) : log(log) {}
    ~LoggingFactory() override { log.push_back("factory deleted"); }

    bool initialize() override { return true; }
    std::vector<std::string> getDeviceList() override { return {"A", "B"}; }
    Brevanta::KelDevice* createDevice(const std::string& serial) override {
        if (serial == "BROKEN") throw kelo::camera::RuntimeException("camera unplugged");
        if (serial != "A" && serial != "B") return nullptr;
        auto* device = new Brevanta::KelDevice_B(nullptr);
        std::vector<std::string>* events = &log;
        QObject::connect(device, &QObject::destroyed,
                         [events, serial] { events->push_back("deleted " + serial); });
        return device;
    }
    void terminate() override { log.push_back("terminate"); }

private:
    std::vector<std::string>& log;
};

TEST(DeviceRegistry, AtExitDeletesTheDevicesSkippingNullEntriesThenTerminatesOnce) {
    std::vector<std::string> log;
    {
        DeviceRegistry registry(std::make_unique<LoggingFactory>(log));
        EXPECT_NE(registry.createDevice("A"), nullptr);
        EXPECT_EQ(registry.createDevice("a"), nullptr);
        EXPECT_NE(registry.createDevice("B"), nullptr);
        EXPECT_EQ(registry.createdCount(), 3);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log,
              (std::vector<std::string>{"deleted A", "deleted B", "terminate", "factory deleted"}));
}

TEST(DeviceRegistry, SdkErrorDuringCreationYieldsNullAndKeepsNothing) {
    std::vector<std::string> log;
    DeviceRegistry registry(std::make_unique<LoggingFactory>(log));
    EXPECT_EQ(registry.createDevice("BROKEN"), nullptr);
    EXPECT_EQ(registry.createdCount(), 0);
}

}  // namespace
