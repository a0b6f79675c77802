#include "config/SystemConfig.h"

#include <array>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "RecordLimits.h"
#include "UnitFileReading.h"
#include "UpdaterProgram.h"
#include "config/AtomicFile.h"
#include "config/UnitFiles.h"
#include "config/UnitLimits.h"
#include "config/UserConfigFile.h"

namespace {

// The whole system file: the version field, then the block.
using SystemImage = std::array<std::uint8_t, kelo::kConfigFileSize>;

std::string versionOf(const SystemImage& image) {
    const char* field = reinterpret_cast<const char*>(image.data());
    return std::string(field, kelo::identifierLength(field, kelo::kConfigVersionSize));
}

// Reads the system file whole into `image`. Returns why it cannot be had,
// after writing the loader's fixed message for it to `out`.
std::string readSystemImage(const std::string& path, SystemImage& image, std::ostream& out) {
    std::ifstream file;
    std::uintmax_t size = 0;
    const kelo::FileOpening opening = kelo::openUnitFile(path, file, size);
    const std::string shown = kelo::echoed(path);
    if (opening == kelo::FileOpening::missing) {
        out << "System config file not found\n";
        return "the system file " + shown + " is missing";
    }
    std::string problem;
    if (opening != kelo::FileOpening::opened)
        problem = shown + " " + kelo::describeOpening(opening);
    else if (size < image.size())
        problem = shown + ": " + std::to_string(size) + " bytes, a system file has " +
                  std::to_string(image.size());
    else if (!kelo::readExactly(file, image.data(), image.size()))
        problem = shown + " " + kelo::describeOpening(kelo::FileOpening::unreadable);
    if (!problem.empty()) out << "Unable to read system config files\n";
    return problem;
}

template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, kelo::identifierLength(field));
}

}  // namespace

SystemConfig::SystemConfig() = default;

bool SystemConfig::load(const std::string& id, std::ostream& out) {
    systemFileProblem.clear();
    userFileProblem.clear();
    try {
        systemFileProblem = loadSystemFile(kelo::unitFilePath(id, kelo::kSystemFileSuffix), out);
        userFileProblem = loadUserFile(kelo::unitFilePath(id, kelo::kUserFileSuffix), out);
    } catch (const std::exception& error) {
        systemFileProblem = userFileProblem =
            "the configuration of unit " + kelo::echoed(id) + " could not be read: " + error.what();
    }
    std::error_code ignored;
    if (!std::filesystem::is_directory(kelo::unitFolder(id), ignored))
        systemFileProblem = "unit " + kelo::echoed(id) + " is unknown: there is no folder " +
                            kelo::echoed(kelo::unitFolder(id));
    const std::string problem = loadError();
    if (!problem.empty()) out << problem << "\n";
    return problem.empty();
}

std::string SystemConfig::loadError() const {
    return systemFileProblem.empty() ? userFileProblem : systemFileProblem;
}

std::string SystemConfig::loadSystemFile(const std::string& path, std::ostream& out) {
    out << "config file path: " << path << "\n";
    SystemImage image{};
    if (std::string problem = readSystemImage(path, image, out); !problem.empty()) return problem;

    if (versionOf(image) == kelo::kOldConfigVersion) {
        out.flush();
        if (const std::string failure = kelo::runConfigUpdater(path); !failure.empty()) {
            out << "Unable to read system config files\n";
            return kelo::echoed(path) + ": version 0.0.1 was not converted: " + failure;
        }
        if (std::string problem = readSystemImage(path, image, out); !problem.empty())
            return problem;
        out << "config Version updated to 0.0.2\n";
    }
    // Units may carry other version texts; their block has always been read
    // in the current layout.
    const std::string version = versionOf(image);
    if (version != kelo::kCurrentConfigVersion)
        out << "warning: " << kelo::echoed(path) << ": version \"" << kelo::echoed(version)
            << "\" is read as " << kelo::kCurrentConfigVersion << "\n";

    kelo::SystemConfigBlock read;
    kelo::decodeBlock(image.data() + kelo::kConfigVersionSize, kelo::kCurrentBlockLayout, read);
    if (const std::string fault = kelo::systemFieldProblem(read); !fault.empty())
        return kelo::echoed(path) + ": " + fault;
    std::memcpy(configVersion, image.data(), kelo::kConfigVersionSize);
    block = read;
    return {};
}

std::string SystemConfig::loadUserFile(const std::string& path, std::ostream& out) {
    std::ifstream file;
    std::uintmax_t size = 0;
    const kelo::FileOpening opening = kelo::openUnitFile(path, file, size);
    const std::string shown = kelo::echoed(path);
    if (opening == kelo::FileOpening::missing) {
        out << "user config file not found\n";
        return "the user file " + shown + " is missing";
    }
    if (opening != kelo::FileOpening::opened) return shown + " " + kelo::describeOpening(opening);
    if (size > kelo::limits::kLargestUserFile)
        return shown + ": " + std::to_string(size) + " bytes, more than a user file holds (" +
               std::to_string(kelo::limits::kLargestUserFile) + ")";
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!kelo::readExactly(file, text.data(), text.size()))
        return shown + " " + kelo::describeOpening(kelo::FileOpening::unreadable);

    kelo::UserSettings settings{hwGain, hwExposureTime, saveDirPath};
    kelo::parseUserConfig(text, settings);
    if (const std::string fault = kelo::userFieldProblem(settings.hwGain, settings.hwExposureTime);
        !fault.empty())
        return shown + ": " + fault;
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
    return {};
}

bool SystemConfig::saveUserConfig(const std::string& id, std::ostream& out) const {
    const std::string text = kelo::formatUserConfig({hwGain, hwExposureTime, saveDirPath});
    out << "kelspectroConfig:last used dir:" << saveDirPath << "\n";
    const std::string path = kelo::unitFilePath(id, kelo::kUserFileSuffix);
    std::string failure = kelo::userFieldProblem(hwGain, hwExposureTime);
    if (failure.empty())
        failure = kelo::replaceFileContents(path, text.data(), text.size());
    else
        failure = kelo::echoed(path) + ": " + failure;
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
