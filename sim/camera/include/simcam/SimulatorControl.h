// The knobs of the simulated camera SDK: which cameras are plugged in, what
// they look at, noise, trigger pulses and injected faults. Tests and the
// application's simulator window use it; the SDK reads the same settings
// from the environment when it starts.
//
// All functions are safe to call from any thread, also while cameras grab.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kelo::simcam {

struct SimulatedCamera {
    std::string serialNumber;
    std::string userDefinedName;  // the unit id whose files the camera renders
};

struct SimulatorSettings {
    std::vector<SimulatedCamera> cameras = {{"40012345", "K3S00042"}};
    std::string scene = "fluorescent";
    bool noise = true;
    std::uint64_t seed = 1;
    // The working folder holding cal/; units are read relative to it.
    std::filesystem::path root = ".";
    // When positive, every camera is unplugged this many seconds after the
    // settings are applied: a fault for programs driven from outside.
    double unplugAfterSeconds = 0.0;
};

// The settings from KELO_SIM_CAMERAS ("serial:name,serial:name"),
// KELO_SIM_SCENE, KELO_SIM_NOISE (1 or 0), KELO_SIM_SEED and
// KELO_SIM_UNPLUG_AFTER (seconds), defaults for what is unset. A malformed
// variable is reported on standard error and its
// default is used.
SimulatorSettings settingsFromEnvironment();

// The scene names the cameras understand: "dark", "halogen", "led",
// "fluorescent", "laser532", "white", "grey50", "red", "green", "blue",
// "yellow".
const std::vector<std::string>& sceneNames();

// Replaces the plugged cameras, scene, noise and seed, plugs every listed
// camera in and forgets removed nodes. Devices created before keep working
// until their camera is unplugged. Throws std::invalid_argument for an
// unknown scene or an empty or repeated serial number.
void configure(const SimulatorSettings& settings);
SimulatorSettings currentSettings();

// False (and nothing changes) for an unknown scene name.
bool setScene(const std::string& scene);
void setNoise(bool on);
void setSeed(std::uint64_t seed);

// Unplugging marks the camera's devices removed and drops it from
// enumeration; plugging it in again lists it again (a new device must be
// created for it, as with real hardware). False for an unknown serial.
bool unplug(const std::string& serialNumber);
bool plugIn(const std::string& serialNumber);

// Hardware trigger on Line1: one pulse for every camera waiting for one, or
// a pulse train at `hz` (0 stops it).
void triggerPulse();
void setTriggerRate(double hz);

// Faults: a camera whose node map lacks `nodeName` (from its next open), and
// retrievals that time out for the next `count` images of the camera's
// existing devices (those frames are never delivered).
void removeNode(const std::string& serialNumber, const std::string& nodeName);
void dropFrames(const std::string& serialNumber, int count);

}  // namespace kelo::simcam
