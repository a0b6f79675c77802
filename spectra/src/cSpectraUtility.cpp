// The utility's hand-over of the controller and the processing of every
// spectrum: exposure normalisation, time-series sample, collections,
// reference subtraction, reflectance and colour, in that order.
#include "spectra/cSpectraUtility.h"

#include <cmath>
#include <fstream>
#include <iostream>

#include "acquisition/KelSpectroFactory.h"
#include "config/UnitFiles.h"

namespace {

// The reflectance's bounds: what lies outside is clamped.
constexpr double kReflectanceMax = 10.0;
constexpr double kReflectanceMin = 0.0;

double clampedRatio(double numerator, double denominator) {
    const double ratio = numerator / denominator;
    if (std::isnan(ratio)) return 0.0;
    if (ratio > kReflectanceMax) return kReflectanceMax;
    if (ratio < kReflectanceMin) return kReflectanceMin;
    return ratio;
}

}  // namespace

cSpectraUtility::cSpectraUtility() : tsTimer(new QTimer(this)) {
    connect(tsTimer, &QTimer::timeout, this, &cSpectraUtility::callGetSpectra);
}

cSpectraUtility::~cSpectraUtility() {
    delete tsTimer;
}

std::shared_ptr<Brevanta::KelSpectro> cSpectraUtility::getSpectro() {
    KelSpectroFactory& factory = KelSpectroFactory::instance();
    std::vector<std::string> ids;
    if (!factory.init(ids)) {
        std::cout << "KelSpectroFactory not initialized\n";
        return nullptr;
    }
    controller = factory.createSpectro();
    factory.softwareVersion(versionText);
    return controller;
}

bool cSpectraUtility::initSpectro() {
    if (controller == nullptr || !controller->initDevice()) return false;
    setWavelengths(controller->getWavelengths());
    colourDataLoaded = colourEngine.load();
    // Spectra of the live loop arrive queued from the worker thread, those of
    // single acquisitions on this thread directly.
    connect(controller.get(), &Brevanta::KelSpectro::spectrumReady, this,
            &cSpectraUtility::processSpectra, Qt::UniqueConnection);
    loadStdBrightCorrection();
    return true;
}

bool cSpectraUtility::loadStdBrightCorrection() {
    const int n = controller->getRestrictedPointCount();
    std::vector<double> values(static_cast<std::size_t>(std::max(n, 0)), 0.0);
    const std::string path =
        kelo::unitFilePath(controller->getUserDefinedName(), kelo::kWhiteLidFileSuffix);
    std::ifstream file(path);
    if (!file) {
        std::cout << path << " file not found\n";
        stdBrightLoaded = false;
        return false;
    }
    for (std::size_t i = 0; i < values.size() && file >> values[i]; ++i) {
    }
    stdBrightCorrection = std::move(values);
    stdBrightLoaded = true;
    return true;
}

bool cSpectraUtility::collectBright() {
    collectBrightPending = true;
    acquireUnlessAcquiring();
    return true;
}

bool cSpectraUtility::collectReference() {
    collectReferencePending = true;
    acquireUnlessAcquiring();
    return true;
}

bool cSpectraUtility::collectDark() {
    if (controller != nullptr) controller->setCollectDark(true);
    acquireUnlessAcquiring();
    return true;
}

void cSpectraUtility::acquireUnlessAcquiring() {
    // While an acquisition runs, the next spectrum it delivers is the one.
    if (controller != nullptr && !controller->isAcquiring())
        controller->getSpectra(currentSpectrum, spectrumSaturated);
}

void cSpectraUtility::cancelCollections() {
    collectBrightPending = false;
    collectReferencePending = false;
    if (controller != nullptr) controller->setCollectDark(false);
}

void cSpectraUtility::clearCollected() {
    if (brightCollected) {
        brightSpectrum.clear();
        brightCollected = false;
        reflectanceReady = false;
    }
    if (referenceCollected) {
        referenceSpectrum.clear();
        referenceCollected = false;
    }
    if (controller != nullptr) controller->clearDark();
}

bool cSpectraUtility::computeReflectance(std::vector<double>& out) {
    out.clear();
    const std::size_t n = currentSpectrum.size();
    if (!brightCollected || brightSpectrum.size() != n) return false;
    // The white-lid curve has one value per point of the working range; on
    // another grid it does not apply.
    if (whiteLidReferencing && stdBrightCorrection.size() != n) return false;
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        double white = brightSpectrum[i];
        if (whiteLidReferencing) {
            white /= stdBrightCorrection[i];
            if (std::isnan(white)) white = 0.0;
        }
        out[i] = clampedRatio(currentSpectrum[i], white);
    }
    return true;
}

bool cSpectraUtility::setWavelengths(std::vector<double> values) {
    wavelengths = std::move(values);
    wavelengthsSet = true;
    currentSpectrum.resize(wavelengths.size());
    colourEngine.setSpectrometerGrid(wavelengths);
    return true;
}

void cSpectraUtility::setExposureNormalisation(bool on) {
    exposureNormalisation = on;
}

std::string cSpectraUtility::getVersionText() const {
    return versionText;
}

void cSpectraUtility::setColourMatchMethod(int method) {
    if (method == 0 || method == 1) colourMatchMethod = method;
}

void cSpectraUtility::setObserver(bool cie1931) {
    colourEngine.setObserver(cie1931);
}

void cSpectraUtility::setIlluminant(bool d65) {
    colourEngine.setIlluminant(d65);
}

void cSpectraUtility::setReferenceCorrection(bool value) {
    referenceCorrection = value;
}

void cSpectraUtility::setBrightCorrection(bool value) {
    brightCorrection = value;
}

void cSpectraUtility::setWhiteLidReferencing(bool value) {
    whiteLidReferencing = value;
}

void cSpectraUtility::setColorimetry(bool value) {
    colorimetry = value;
}

void cSpectraUtility::processSpectra(std::vector<double> spectra, bool flagSaturated) {
    try {
        currentSpectrum.assign(spectra.begin(), spectra.end());
        // Live spectra arrive without the acquisition call that would set
        // it; the saved header must describe the spectrum saved.
        spectrumSaturated = flagSaturated;
        if (exposureNormalisation && controller != nullptr) {
            const double exposure = controller->getGrabExposureTime();
            // Without a grab behind it there is no exposure to divide by.
            if (exposure > 0.0)
                for (double& value : currentSpectrum) value /= exposure;
        }
        if (tsRunning) takeTimeSeriesSample();
        takeCollections();
        subtractReference();
        bool reflectanceComputed = false;
        if (reflectanceReady) reflectanceComputed = computeReflectance(reflectance);
        if (colorimetry && reflectanceComputed) computeColour();
        emitResults(flagSaturated);
    } catch (const std::exception& error) {
        std::cerr << "spectrum dropped: " << error.what() << "\n";
    }
}

void cSpectraUtility::takeCollections() {
    if (collectBrightPending) {
        brightSpectrum = currentSpectrum;
        brightCollected = true;
        emit brightSpectraCollected();
        reflectanceReady = true;
        collectBrightPending = false;
    } else if (collectReferencePending) {
        referenceSpectrum = currentSpectrum;
        referenceCollected = true;
        emit refSpectraCollected();
        collectReferencePending = false;
    }
}

void cSpectraUtility::subtractReference() {
    if (!referenceCorrection || !referenceCollected ||
        referenceSpectrum.size() != currentSpectrum.size())
        return;
    for (std::size_t i = 0; i < currentSpectrum.size(); ++i)
        currentSpectrum[i] -= referenceSpectrum[i];
}

void cSpectraUtility::computeColour() {
    // Without the colour data, or when no colour can be computed, black is
    // shown and matched, and the panel is told the values are not a colour.
    std::optional<ColourReading> computed;
    if (colourDataLoaded) computed = colourEngine.colourOf(reflectance);
    const ColourReading colour = computed.value_or(ColourReading{});
    xyz = colour.xyz;
    rgb = colour.rgb;
    lab = colour.lab;
    colourRecord =
        tCIELABRGB{xyz[0], xyz[1], xyz[2], rgb[0], rgb[1], rgb[2], lab[0], lab[1], lab[2]};
    ChartMatch match = colourEngine.matchChart(colour, colourMatchMethod);
    emit CIELABRGBReady(colourRecord, computed.has_value(), match.name, match.distance);
}

void cSpectraUtility::emitResults(bool flagSaturated) {
    emit spectraSaturated(flagSaturated);
    emit pSpectrumReady(currentSpectrum);
    emit reflectanceSpectrumReady(reflectance);
}
