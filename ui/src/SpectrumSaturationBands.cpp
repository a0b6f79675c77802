#include "SpectrumSaturationBands.h"

#include <qcustomplot.h>

#include <algorithm>
#include <utility>

namespace {

constexpr double kHalfWidthNm = 5.0;
const QColor kShade(255, 0, 0, 60);

std::vector<std::pair<double, double>> mergedBands(std::vector<double> nm) {
    std::sort(nm.begin(), nm.end());
    std::vector<std::pair<double, double>> merged;
    for (double centre : nm) {
        const double low = centre - kHalfWidthNm;
        const double high = centre + kHalfWidthNm;
        if (!merged.empty() && low <= merged.back().second)
            merged.back().second = high;
        else
            merged.emplace_back(low, high);
    }
    return merged;
}

}  // namespace

SpectrumSaturationBands::SpectrumSaturationBands(QCustomPlot* plot) : plot(plot) {}

void SpectrumSaturationBands::show(const std::vector<double>& nm) {
    if (nm == shown) return;
    shown = nm;
    clear();
    for (const auto& [low, high] : mergedBands(nm)) {
        auto* band = new QCPItemRect(plot);
        band->setLayer("background");
        band->setPen(Qt::NoPen);
        band->setBrush(kShade);
        // x follows the wavelengths, y always spans the whole axis rect.
        band->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
        band->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
        band->topLeft->setCoords(low, 0.0);
        band->bottomRight->setCoords(high, 1.0);
        bands.push_back(band);
    }
}

void SpectrumSaturationBands::clear() {
    for (QCPItemRect* band : bands) plot->removeItem(band);
    bands.clear();
}
