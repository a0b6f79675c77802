// The utility's files: the current spectrum, recorded spectra, colour lines
// and time series, described by the utility's and the controller's state.
#include <cmath>
#include <ctime>
#include <iostream>

#include "spectra/SpectrumFiles.h"
#include "spectra/cSpectraUtility.h"

namespace {

constexpr const char* kProductName = "KeloView";

std::string withExtension(const std::string& baseName, bool csv) {
    return baseName + (csv ? ".csv" : ".txt");
}

char separatorFor(bool csv) {
    return csv ? ',' : '\t';
}

std::int32_t truncatedWavelength(double wavelength) {
    return static_cast<std::int32_t>(std::trunc(wavelength));
}

}  // namespace

SpectrumFileHeader cSpectraUtility::headerFor(const std::string& fullName) const {
    SpectrumFileHeader header;
    header.productName = kProductName;
    header.productVersion = versionText;
    header.spectrumName = kelo::spectra::fileNameOf(fullName);
    header.timeStamp = std::time(nullptr);
    header.whiteLidReferencing = whiteLidReferencing;
    if (!wavelengths.empty()) {
        header.wavelengthStart = truncatedWavelength(wavelengths.front());
        header.wavelengthEnd = truncatedWavelength(wavelengths.back());
    }
    if (controller != nullptr) {
        header.modelName =
            controller->getVisNirMode() ? "VIS-NIR Spectrometer" : "Fluorescence Spectrometer";
        header.serialNumber = controller->getUserDefinedName();
        header.integrationTime = controller->getExposureTime();
        header.gain = controller->getGain();
    }
    return header;
}

void cSpectraUtility::savePlot(std::string outFilename, std::string wvlUnits, std::string specUnits,
                               bool CSV) {
    const std::string fullName = withExtension(outFilename, CSV);
    SpectrumFileHeader header = headerFor(fullName);
    header.wavelengthUnits = wvlUnits;
    header.spectrumUnits = specUnits;
    if (controller != nullptr) {
        header.averages = controller->getAverages();
        header.darkCorrection = controller->getDarkSubtraction();
    }
    header.referenceCorrection = referenceCorrection;
    header.reflectanceMode = brightCorrection;
    header.saturationFlag = spectrumSaturated;

    kelo::spectra::SpectrumFileContents contents;
    contents.header = &header;
    contents.wavelengths = &wavelengths;
    contents.spectrum = &currentSpectrum;
    if (!reflectance.empty() && brightCorrection) {
        contents.bright = &brightSpectrum;
        contents.reflectance = &reflectance;
    }
    const bool saved = kelo::spectra::writeSpectrumFile(fullName, contents, separatorFor(CSV));
    emit plotSaved(saved, fullName);
}

void cSpectraUtility::saveSpectrum(std::string outFilename, std::vector<double> spectrum, bool CSV,
                                   double fps, bool flagSaturated) {
    const std::string fullName = withExtension(outFilename, CSV);
    SpectrumFileHeader header = headerFor(fullName);
    header.wavelengthUnits = "nm";
    header.spectrumUnits = "Counts";
    header.averages = 1;
    header.saturationFlag = flagSaturated;

    kelo::spectra::SpectrumFileContents contents;
    contents.header = &header;
    contents.fps = fps;
    contents.wavelengths = &wavelengths;
    contents.spectrum = &spectrum;
    kelo::spectra::writeSpectrumFile(fullName, contents, separatorFor(CSV));
}

void cSpectraUtility::on_saveColor(std::string outFilename, int fnum, bool csv) {
    if (!reflectanceReady) return;
    const std::string fullName = withExtension(outFilename, csv);
    std::cout << "save color filename:" << fullName << "\n";
    kelo::spectra::ColourLine line;
    line.fnum = fnum;
    line.illuminant = colourEngine.isD65() ? "D65" : "D50";
    line.observer = colourEngine.is1931() ? "1931_2" : "1964_10";
    line.colour = colourRecord;
    kelo::spectra::appendColourLine(fullName, line, separatorFor(csv));
}

bool cSpectraUtility::saveTimeSeries(std::string fileName, QVector<double> times,
                                     QVector<double> metrics) {
    const std::string fullName = fileName + ".txt";
    kelo::spectra::TimeSeriesFileHeader header;
    header.seriesName = kelo::spectra::fileNameOf(fullName);
    header.timeStamp = std::time(nullptr);
    const SpectrumFileHeader device = headerFor(fullName);
    header.modelName = device.modelName;
    header.serialNumber = device.serialNumber;
    // Indices of an earlier grid may lie beyond the present one.
    auto wavelengthAt = [this](int index) {
        return index >= 0 && static_cast<std::size_t>(index) < wavelengths.size()
                   ? wavelengths[static_cast<std::size_t>(index)]
                   : 0.0;
    };
    header.wavelengthStart = wavelengthAt(tsStartIndex);
    header.wavelengthEnd = wavelengthAt(tsEndIndex);
    header.metric = tsMetric;
    header.intervalSeconds = tsInterval;
    header.samples = tsSamples;
    return kelo::spectra::writeTimeSeriesFile(fullName, header,
                                              std::vector<double>(times.begin(), times.end()),
                                              std::vector<double>(metrics.begin(), metrics.end()));
}
