// The configuration record of one spectrometer unit: the system file (camera
// window, wavelength grid, sampling cells, modes) and the user file (gain,
// exposure time, save folder) of "cal/ID/".
#pragma once

#include <cstdint>
#include <iostream>
#include <string>

#include "config/SystemConfigLayout.h"

class SystemConfig {
public:
    SystemConfig();

    // Reads "cal/ID/ID-cfgSys.bin" and then "cal/ID/ID-cfgUsr.txt" into the
    // record, writing the loader's messages to `out`. An old-layout system
    // file is first converted by the updater program found beside the running
    // executable. Fails only when the user file is missing.
    bool load(const std::string& id, std::ostream& out = std::cout);

    // The summary of the record, one item per line.
    void printSummary(std::ostream& out = std::cout) const;

    // Replaces "cal/ID/ID-cfgUsr.txt" with gain, exposure time and save
    // folder of the record. The file is written beside and renamed into
    // place, so a failed write keeps the previous file. False when the file
    // could not be written; the reason goes to standard error.
    bool saveUserConfig(const std::string& id, std::ostream& out = std::cout) const;

    // Why the record cannot describe a working unit (a wavelength step of 0,
    // no cells, a non-positive line width, ...), or an empty text when it can.
    std::string unusableReason() const;

    void getDataSize(std::uint32_t& x, std::uint32_t& y) const;
    void getHwOffset(std::int32_t& x, std::int32_t& y) const;
    void getSwOffset(std::int16_t& x, std::int16_t& y) const;
    void getWavelengthRange(std::uint16_t& min, std::uint16_t& max, std::uint16_t& res) const;
    void getNeighbourPixels(std::int32_t& x, std::int32_t& y) const;
    void getRestrictedRange(std::int32_t& min, std::int32_t& max) const;
    std::int32_t getNumCells() const { return block.numCells; }
    std::int32_t getPixelsPerCell() const { return block.pixelsPerCell; }
    double getSwFwhm() const { return block.swFwhm; }
    std::int16_t getWavelengthShift() const { return block.wavelengthShift; }
    std::uint8_t getVisNirMode() const { return block.visNirMode; }
    std::uint8_t getGaussBlurMode() const { return block.gaussBlurMode; }
    std::uint8_t getDeviceOption() const { return block.deviceOption; }
    bool hasDataResolution() const { return block.dataResolution != 0; }
    std::int16_t getDeviceType() const { return block.deviceType; }
    std::int16_t getDataResolution() const { return block.dataResolution; }
    std::string getConfigVersion() const;
    std::string getDeviceId() const;
    std::string getFullDeviceId() const;
    double getGain() const { return hwGain; }
    double getExposureTime() const { return hwExposureTime; }
    std::string getSaveDirPath() const { return saveDirPath; }

    void setGain(double gain) { hwGain = gain; }
    void setExposureTime(double exposureTime) { hwExposureTime = exposureTime; }
    void setSaveDirPath(std::string path) { saveDirPath = std::move(path); }

private:
    void loadSystemFile(const std::string& path, std::ostream& out);
    bool loadUserFile(const std::string& path, std::ostream& out);

    char configVersion[kelo::kConfigVersionSize] = {};
    kelo::SystemConfigBlock block;
    double hwGain = 0.0;
    double hwExposureTime = 10000.0;
    std::string saveDirPath;
};
