#include "config/SystemConfig.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "UpdaterProgram.h"
#include "config/AtomicFile.h"
#include "config/UnitFiles.h"
#include "config/UserConfigFile.h"

namespace {

// Reads the version field in place; a short read keeps the old bytes beyond.
bool readVersionField(std::ifstream& file, char (&version)[kelo::kConfigVersionSize]) {
    file.read(version, kelo::kConfigVersionSize);
    return file.gcount() == static_cast<std::streamsize>(kelo::kConfigVersionSize);
}

template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, kelo::identifierLength(field));
}

}  // namespace

SystemConfig::SystemConfig() = default;

bool SystemConfig::load(const std::string& id, std::ostream& out) {
    try {
        loadSystemFile(kelo::unitFilePath(id, kelo::kSystemFileSuffix), out);
        return loadUserFile(kelo::unitFilePath(id, kelo::kUserFileSuffix), out);
    } catch (const std::exception& error) {
        out << "\nConfiguration of " << id << " could not be read: " << error.what() << "\n";
        return false;
    }
}

void SystemConfig::loadSystemFile(const std::string& path, std::ostream& out) {
    out << "config file path: " << path << "\n";
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out << "System config file not found\n";
        return;
    }
    if (!readVersionField(file, configVersion)) out << "Unable to read system config files\n";

    if (getConfigVersion() == kelo::kOldConfigVersion) {
        file.close();
        out.flush();
        if (kelo::runConfigUpdater(path) != 0) {
            // The old block cannot be read as a current one: keep what the
            // record held.
            out << "Unable to read system config files\n";
            return;
        }
        file.open(path, std::ios::binary);
        if (!file) {
            out << "System config file not found\n";
            return;
        }
        if (!readVersionField(file, configVersion)) out << "Unable to read system config files\n";
        out << "config Version updated to 0.0.2\n";
    }

    // Read over the record's own bytes, so that fields a short file does not
    // reach keep their values.
    std::uint8_t bytes[kelo::kConfigBlockSize] = {};
    kelo::encodeBlock(block, kelo::kCurrentBlockLayout, bytes);
    file.read(reinterpret_cast<char*>(bytes), kelo::kConfigBlockSize);
    kelo::decodeBlock(bytes, kelo::kCurrentBlockLayout, block);
}

bool SystemConfig::loadUserFile(const std::string& path, std::ostream& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out << "user config file not found\n";
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    kelo::UserSettings settings{hwGain, hwExposureTime, saveDirPath};
    kelo::parseUserConfig(text, settings);
    hwGain = settings.hwGain;
    hwExposureTime = settings.hwExposureTime;
    saveDirPath = settings.saveDirPath;

    std::error_code error;
    if (saveDirPath.empty() ||
        !std::filesystem::is_directory(std::filesystem::u8path(saveDirPath), error)) {
        if (auto documents = kelo::documentsFolder())
            saveDirPath = *documents;
        else
            out << "Error: " << -1 << "\n";
    }
    return true;
}

bool SystemConfig::saveUserConfig(const std::string& id, std::ostream& out) const {
    const std::string text = kelo::formatUserConfig({hwGain, hwExposureTime, saveDirPath});
    out << "kelspectroConfig:last used dir:" << saveDirPath << "\n";
    const std::string path = kelo::unitFilePath(id, kelo::kUserFileSuffix);
    const std::string failure = kelo::replaceFileContents(path, text.data(), text.size());
    if (!failure.empty()) {
        std::cerr << "\nThe user configuration was not saved: " << failure << "\n";
        return false;
    }
    return true;
}

std::string SystemConfig::getConfigVersion() const {
    return fieldText(configVersion);
}

std::string SystemConfig::getDeviceId() const {
    return fieldText(block.deviceId);
}

std::string SystemConfig::getFullDeviceId() const {
    return fieldText(block.fullDeviceId);
}

void SystemConfig::getDataSize(std::uint32_t& x, std::uint32_t& y) const {
    x = static_cast<std::uint32_t>(block.dataSizeX);
    y = static_cast<std::uint32_t>(block.dataSizeY);
}

void SystemConfig::getHwOffset(std::int32_t& x, std::int32_t& y) const {
    x = block.hwOffsetX;
    y = block.hwOffsetY;
}

void SystemConfig::getSwOffset(std::int16_t& x, std::int16_t& y) const {
    x = block.swOffsetX;
    y = block.swOffsetY;
}

void SystemConfig::getWavelengthRange(std::uint16_t& min, std::uint16_t& max,
                                      std::uint16_t& res) const {
    min = block.minWavelength;
    max = block.maxWavelength;
    res = block.wavelengthRes;
}

void SystemConfig::getNeighbourPixels(std::int32_t& x, std::int32_t& y) const {
    x = block.neighbourPixelsX;
    y = block.neighbourPixelsY;
}

void SystemConfig::getRestrictedRange(std::int32_t& min, std::int32_t& max) const {
    min = block.rangeMinWavelength;
    max = block.rangeMaxWavelength;
}
