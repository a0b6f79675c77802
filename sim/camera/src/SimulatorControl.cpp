#include "simcam/SimulatorControl.h"

#include "Simulator.h"

namespace kelo::simcam {

void configure(const SimulatorSettings& settings) {
    Simulator::instance().configure(settings);
}

SimulatorSettings currentSettings() {
    return Simulator::instance().settings();
}

bool setScene(const std::string& scene) {
    return Simulator::instance().setScene(scene);
}

void setNoise(bool on) {
    Simulator::instance().setNoise(on);
}

void setSeed(std::uint64_t seed) {
    Simulator::instance().setSeed(seed);
}

bool unplug(const std::string& serialNumber) {
    return Simulator::instance().unplug(serialNumber);
}

bool plugIn(const std::string& serialNumber) {
    return Simulator::instance().plugIn(serialNumber);
}

void triggerPulse() {
    Simulator::instance().triggerPulse();
}

void setTriggerRate(double hz) {
    Simulator::instance().setTriggerRate(hz);
}

void removeNode(const std::string& serialNumber, const std::string& nodeName) {
    Simulator::instance().removeNode(serialNumber, nodeName);
}

void dropFrames(const std::string& serialNumber, int count) {
    Simulator::instance().dropFrames(serialNumber, count);
}

}  // namespace kelo::simcam
