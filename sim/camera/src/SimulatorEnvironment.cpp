#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>

#include "simcam/SceneSpectra.h"
#include "simcam/SimulatorControl.h"

namespace kelo::simcam {

namespace {

// "serial:name,serial:name"; an empty text is no camera at all.
std::optional<std::vector<SimulatedCamera>> parseCameras(const std::string& text) {
    std::vector<SimulatedCamera> cameras;
    if (text.empty()) return cameras;
    std::istringstream entries(text);
    std::string entry;
    while (std::getline(entries, entry, ',')) {
        const std::size_t colon = entry.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == entry.size() ||
            entry.find(':', colon + 1) != std::string::npos)
            return std::nullopt;
        const std::string serial = entry.substr(0, colon);
        for (const SimulatedCamera& known : cameras)
            if (known.serialNumber == serial) return std::nullopt;
        cameras.push_back({serial, entry.substr(colon + 1)});
    }
    // A trailing comma leaves an empty entry that getline does not return.
    if (text.back() == ',') return std::nullopt;
    return cameras;
}

std::optional<bool> parseNoise(const std::string& text) {
    if (text == "1") return true;
    if (text == "0") return false;
    return std::nullopt;
}

std::optional<std::uint64_t> parseSeed(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return static_cast<std::uint64_t>(value);
}

// Seconds, a positive decimal number.
std::optional<double> parseDelay(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(seconds > 0.0)) return std::nullopt;
    return seconds;
}

std::optional<std::string> parseScene(const std::string& text) {
    if (!isKnownScene(text)) return std::nullopt;
    return text;
}

// Takes the variable's value when it is set and well formed; reports a
// malformed one and leaves the default.
template <typename Value, typename Parser>
void takeVariable(const char* name, Parser parse, Value& target) {
    const char* text = std::getenv(name);
    if (text == nullptr) return;
    if (std::optional<Value> value = parse(text)) {
        target = *value;
        return;
    }
    std::cerr << "simulated cameras: ignoring malformed " << name << "=\"" << text << "\"\n";
}

}  // namespace

SimulatorSettings settingsFromEnvironment() {
    SimulatorSettings settings;
    takeVariable("KELO_SIM_CAMERAS", parseCameras, settings.cameras);
    takeVariable("KELO_SIM_SCENE", parseScene, settings.scene);
    takeVariable("KELO_SIM_NOISE", parseNoise, settings.noise);
    takeVariable("KELO_SIM_SEED", parseSeed, settings.seed);
    takeVariable("KELO_SIM_UNPLUG_AFTER", parseDelay, settings.unplugAfterSeconds);
    return settings;
}

}  // namespace kelo::simcam
