// The images computed from colour science rather than drawn: the colour band
// behind the spectrum plot and the two chromaticity charts of the colour
// panel. Each chart spans exactly its axis range, because the panel
// stretches it over the axis rectangle.
#pragma once

#include <QImage>

#include "ColourMath.h"

namespace kelo::uiassets {

struct BandLayout {
    double firstNm = 400.0;
    double lastNm = 700.0;
    double stepNm = 0.5;
    int height = 64;
    // Scales the encoded values; the band sits behind a white curve.
    double brightness = 0.4;
};

// One column per step, first wavelength at the left.
QImage colourBandImage(const ColourMatchingTable& table, const BandLayout& layout);

// x to the right and y up over 0..kChromaticitySpan; the inside of the
// spectral locus in its brightest displayable colours, the outside
// transparent, the locus outlined.
constexpr double kChromaticitySpan = 0.9;
QImage chromaticityChart(const ColourMatchingTable& table, int side);

// a* to the right and b* up over -kLabSpan..kLabSpan at L* = kLabLightness.
// Colours outside the sRGB gamut are clipped to its edge at the same hue and
// dimmed, so that the gamut stands out.
constexpr double kLabSpan = 140.0;
constexpr double kLabLightness = 50.0;
QImage labChart(int side);

// The value at the centre of a pixel, pixel 0 at `first` and the last pixel
// at `last` (which may be the smaller).
double pixelCentreValue(int pixel, int pixels, double first, double last);

}  // namespace kelo::uiassets
