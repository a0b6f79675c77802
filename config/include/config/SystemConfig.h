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
    // executable; any other version is read as the current layout, with a
    // warning unless it is the current one. A file that is missing, short,
    // not a file, or holds a value outside the unit limits (see
    // config/UnitLimits.h) is refused whole: the record keeps what it held,
    // the load fails and its last line, also kept in loadError(), names the
    // file, the field and the value.
    bool load(const std::string& id, std::ostream& out = std::cout);

    // Why the last load failed (the system file's fault first), or an empty
    // text after a good load.
    std::string loadError() const;
    // Why the last load refused the system file, or an empty text when it
    // was read and accepted. Without it nothing of the unit can be sized.
    const std::string& systemFileError() const { return systemFileProblem; }

    // The summary of the record, one item per line.
    void printSummary(std::ostream& out = std::cout) const;

    // Replaces "cal/ID/ID-cfgUsr.txt" with gain, exposure time and save
    // folder of the record. The file is written beside and renamed into
    // place, so a failed write keeps the previous file. False when the file
    // could not be written, or when gain or exposure time lie outside the
    // unit limits (the next load would refuse them), keeping the previous
    // file; the reason goes to standard error.
    bool saveUserConfig(const std::string& id, std::ostream& out = std::cout) const;

    // Why the record cannot describe a working unit: the first field outside
    // the unit limits, named with its value (a wavelength step of 0, no cells,
    // a line width that is not a positive number, an exposure time of
    // infinity...), or an empty text when it can.
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
    // Each returns why its file was refused, or an empty text.
    std::string loadSystemFile(const std::string& path, std::ostream& out);
    std::string loadUserFile(const std::string& path, std::ostream& out);

    char configVersion[kelo::kConfigVersionSize] = {};
    kelo::SystemConfigBlock block;
    double hwGain = 0.0;
    double hwExposureTime = 10000.0;
    std::string saveDirPath;
    std::string systemFileProblem;
    std::string userFileProblem;
};
