// What the spectrum plot costs the user-interface thread: taking one
// spectrum (data, extremes, ranges, peaks and width; no redraw), the redraw
// itself, and the peak search alone. With the redraw capped at about 30 per
// second, the first figure sets how many spectra per second the plot keeps
// up with.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QToolButton>
#include <cmath>
#include <vector>

#include "spectra/cSpectraUtility.h"
#include "ui/PeakSearch.h"
#include "ui/XCustomPlot.h"
#include "ui/spectrumPlotWidget.h"

namespace {

std::vector<double> grid() {
    std::vector<double> nm;
    for (int w = 390; w <= 800; ++w) nm.push_back(w);
    return nm;
}

// A white LED with a little ripple, so that the peak search meets many small
// local maxima as it does on a noisy live spectrum.
std::vector<double> ledSpectrum(const std::vector<double>& nm, double phase) {
    std::vector<double> counts;
    for (double w : nm) {
        const double blue = (w - 451.0) / 9.5;
        const double yellow = (w - 565.0) / 48.0;
        counts.push_back(40.0 + 3100.0 * std::exp(-0.5 * blue * blue) +
                         1750.0 * std::exp(-0.5 * yellow * yellow) +
                         8.0 * std::sin(0.9 * w + phase));
    }
    return counts;
}

struct LivePlot {
    LivePlot() {
        utility.setWavelengths(nm);
        plot.resize(1200, 520);
        plot.setUtility(&utility);
        plot.setWavelengths(nm);
        plot.setupPlot();
        plot.on_pbScope_clicked();
        plot.setPlotToolsEnabled(true);
        plot.setPeakThreshold(0.3);
        plot.setThresholdMode('r');
        plot.setMinDistance(5);
        plot.setPeakDisplay(true, true);
        plot.show();
        utility.processSpectra(spectra[0], false);
        QCoreApplication::processEvents();
    }
    std::vector<double> nm = grid();
    std::vector<std::vector<double>> spectra{ledSpectrum(nm, 0.0), ledSpectrum(nm, 1.0)};
    cSpectraUtility utility;
    spectrumPlotWidget plot;
};

void BM_TakeSpectrum(benchmark::State& state) {
    LivePlot live;
    std::size_t i = 0;
    for (auto _ : state) live.plot.plotSpectrum(live.spectra[++i % 2]);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TakeSpectrum)->Unit(benchmark::kMicrosecond);

void BM_Redraw(benchmark::State& state) {
    LivePlot live;
    for (auto _ : state) live.plot.plot()->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_Redraw)->Unit(benchmark::kMillisecond);

void BM_FindPeaks(benchmark::State& state) {
    const std::vector<double> counts = ledSpectrum(grid(), 0.0);
    for (auto _ : state) benchmark::DoNotOptimize(kelo::ui::findPeaks(counts, 0.3, 5, 'r'));
}
BENCHMARK(BM_FindPeaks)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
