// The A4 page of the manual in the units its documents are laid out in:
// pixels at 96 per inch, which the printer scales to the PDF's resolution.
#pragma once

#include <QMarginsF>
#include <QSizeF>

namespace kelo::manual {

constexpr double kUnitsPerInch = 96.0;
constexpr double kUnitsPerMm = kUnitsPerInch / 25.4;
constexpr double kUnitsPerPoint = kUnitsPerInch / 72.0;

struct PageGeometry {
    QSizeF page{210.0 * kUnitsPerMm, 297.0 * kUnitsPerMm};
    // The footer sits in the bottom margin.
    QMarginsF margins{22.0 * kUnitsPerMm, 20.0 * kUnitsPerMm, 22.0 * kUnitsPerMm,
                      24.0 * kUnitsPerMm};

    double textWidth() const { return page.width() - margins.left() - margins.right(); }
    double textHeight() const { return page.height() - margins.top() - margins.bottom(); }
};

}  // namespace kelo::manual
