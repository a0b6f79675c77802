// The shading of the spectrum plot where saturated cells respond most.
#pragma once

#include <vector>

class QCustomPlot;
class QCPItemRect;

class SpectrumSaturationBands {
public:
    explicit SpectrumSaturationBands(QCustomPlot* plot);

    // One semi-transparent red band over the full height for every
    // wavelength, 5 nm to either side; overlapping bands become one. Empty
    // clears the shading. The same wavelengths as last time change nothing,
    // so it may be called with every spectrum. The plot is not replotted.
    void show(const std::vector<double>& nm);

private:
    void clear();

    QCustomPlot* plot;
    std::vector<QCPItemRect*> bands;  // owned by the plot
    std::vector<double> shown;        // the wavelengths the bands stand for
};
