#include "ComputedImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <algorithm>
#include <cmath>

namespace kelo::uiassets {

namespace {

// Colours beyond the gamut darken with their distance from it: half of the
// brightness goes as the shown chroma falls to nothing, so the gamut edge
// leaves no seam.
constexpr double kOutOfGamutDimming = 0.5;
constexpr double kLocusOutlineWidth = 2.0;
const QColor kLocusOutlineColour(235, 235, 235);

int byteOf(double unit) {
    return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

QRgb opaquePixel(const Rgb& encoded, double scale = 1.0) {
    return qRgb(byteOf(encoded.red * scale), byteOf(encoded.green * scale),
                byteOf(encoded.blue * scale));
}

bool inGamut(const Rgb& linear) {
    const auto displayable = [](double value) { return value >= 0.0 && value <= 1.0; };
    return displayable(linear.red) && displayable(linear.green) && displayable(linear.blue);
}

// How much of the chroma of (L*, a*, b*) can be shown at the same lightness
// and hue: 1 inside the gamut, less outside.
double displayableChromaFraction(double lightness, double a, double b) {
    const auto displayable = [&](double fraction) {
        return inGamut(linearSrgbFromXyz(xyzFromLab(lightness, a * fraction, b * fraction)));
    };
    if (displayable(1.0)) return 1.0;
    double shown = 0.0;
    double lost = 1.0;
    for (int halving = 0; halving < 20; ++halving) {
        const double middle = (shown + lost) / 2.0;
        (displayable(middle) ? shown : lost) = middle;
    }
    return shown;
}

double largestComponent(const Rgb& rgb) {
    return std::max({rgb.red, rgb.green, rgb.blue});
}

QPointF chartPoint(Chromaticity point, int side) {
    return {point.x / kChromaticitySpan * side, (1.0 - point.y / kChromaticitySpan) * side};
}

void outlineLocus(QImage& chart, const std::vector<Chromaticity>& locus) {
    QPainterPath outline;
    outline.moveTo(chartPoint(locus.front(), chart.width()));
    for (const Chromaticity& point : locus) outline.lineTo(chartPoint(point, chart.width()));
    outline.closeSubpath();
    QPainter painter(&chart);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(
        QPen(kLocusOutlineColour, kLocusOutlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(outline);
}

}  // namespace

double pixelCentreValue(int pixel, int pixels, double first, double last) {
    return first + (pixel + 0.5) / pixels * (last - first);
}

QImage colourBandImage(const ColourMatchingTable& table, const BandLayout& layout) {
    const int columns =
        static_cast<int>(std::lround((layout.lastNm - layout.firstNm) / layout.stepNm)) + 1;
    std::vector<Rgb> colours;
    double brightest = 0.0;
    for (int column = 0; column < columns; ++column) {
        colours.push_back(spectralColour(table, layout.firstNm + column * layout.stepNm));
        brightest = std::max(brightest, largestComponent(colours.back()));
    }
    QImage band(columns, layout.height, QImage::Format_RGB32);
    for (int column = 0; column < columns; ++column) {
        const Rgb& linear = colours[column];
        const Rgb normalised{linear.red / brightest, linear.green / brightest,
                             linear.blue / brightest};
        const QRgb pixel = opaquePixel(srgbEncoded(normalised), layout.brightness);
        for (int row = 0; row < layout.height; ++row) band.setPixel(column, row, pixel);
    }
    return band;
}

QImage chromaticityChart(const ColourMatchingTable& table, int side) {
    const std::vector<Chromaticity> locus = spectralLocus(table);
    QImage chart(side, side, QImage::Format_ARGB32);
    chart.fill(Qt::transparent);
    for (int row = 0; row < side; ++row) {
        const double y = pixelCentreValue(row, side, kChromaticitySpan, 0.0);
        for (int column = 0; column < side; ++column) {
            const Chromaticity point{pixelCentreValue(column, side, 0.0, kChromaticitySpan), y};
            if (insidePolygon(locus, point)) {
                chart.setPixel(column, row, opaquePixel(srgbEncoded(brightestDisplayable(point))));
            }
        }
    }
    outlineLocus(chart, locus);
    return chart;
}

QImage labChart(int side) {
    QImage chart(side, side, QImage::Format_RGB32);
    for (int row = 0; row < side; ++row) {
        const double b = pixelCentreValue(row, side, kLabSpan, -kLabSpan);
        for (int column = 0; column < side; ++column) {
            const double a = pixelCentreValue(column, side, -kLabSpan, kLabSpan);
            const double chromaKept = displayableChromaFraction(kLabLightness, a, b);
            const Rgb linear =
                linearSrgbFromXyz(xyzFromLab(kLabLightness, a * chromaKept, b * chromaKept));
            const double scale = 1.0 - kOutOfGamutDimming * (1.0 - chromaKept);
            chart.setPixel(column, row, opaquePixel(srgbEncoded(linear), scale));
        }
    }
    return chart;
}

}  // namespace kelo::uiassets
