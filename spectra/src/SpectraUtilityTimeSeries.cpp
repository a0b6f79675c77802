// The time series: a timer that acquires one spectrum per interval and the
// metric taken from every spectrum processed while the series runs.
#include "spectra/cSpectraUtility.h"

namespace {

constexpr int kMetricArea = 0;
constexpr int kMetricPeak = 1;
constexpr int kMetricRatio = 2;

// The first index of `grid` holding `wavelength`; `previous` when none does.
int indexOf(const std::vector<double>& grid, int wavelength, int previous) {
    for (std::size_t i = 0; i < grid.size(); ++i)
        if (grid[i] == static_cast<double>(wavelength)) return static_cast<int>(i);
    return previous;
}

}  // namespace

void cSpectraUtility::startTimeSeries(int intervalSeconds, int samples, int startWavelength,
                                      int endWavelength, int metric) {
    tsSamples = samples;
    tsRunning = true;
    tsCount = 0;
    tsInterval = intervalSeconds;
    tsStartIndex = indexOf(wavelengths, startWavelength, tsStartIndex);
    tsEndIndex = indexOf(wavelengths, endWavelength, tsEndIndex);
    tsMetric = metric;
    tsTimer->start(intervalSeconds * 1000);
}

void cSpectraUtility::stopTimeSeries() {
    tsTimer->stop();
    tsRunning = false;
}

void cSpectraUtility::callGetSpectra() {
    if (controller != nullptr) controller->getSpectra(currentSpectrum, spectrumSaturated);
}

void cSpectraUtility::takeTimeSeriesSample() {
    ++tsCount;
    tsValue = 0.0;
    // Indices found on an earlier grid may lie beyond this spectrum.
    const auto inRange = [this](int index) {
        return index >= 0 && static_cast<std::size_t>(index) < currentSpectrum.size();
    };
    const int s = tsStartIndex;
    const int e = tsEndIndex;
    if (tsMetric == kMetricArea && inRange(s) && inRange(e)) {
        // A window that ends before it starts holds nothing: 0.
        if (e >= s) {
            double sum = 0.0;
            for (int i = s; i <= e; ++i) sum += currentSpectrum[static_cast<std::size_t>(i)];
            tsValue = sum / (e - s + 1);
        }
    } else if (tsMetric == kMetricPeak && inRange(s)) {
        tsValue = currentSpectrum[static_cast<std::size_t>(s)];
    } else if (tsMetric == kMetricRatio && inRange(s) && inRange(e)) {
        tsValue = currentSpectrum[static_cast<std::size_t>(s)] /
                  currentSpectrum[static_cast<std::size_t>(e)];
    }
    if (tsCount == tsSamples) stopTimeSeries();
    emit onTSSpectrumRecieved(tsValue, tsCount);
}
