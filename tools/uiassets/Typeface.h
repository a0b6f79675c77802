// The one typeface of the drawn images. DejaVu Sans ships with the build
// machines, so the images come out the same wherever they are generated.
#pragma once

#include <QFont>
#include <QString>

namespace kelo::uiassets {

QFont boldFont(int pixelSize);
// The largest size up to `largestPixelSize` at which `text` fits `width`.
QFont boldFontFitting(const QString& text, int largestPixelSize, double width);

}  // namespace kelo::uiassets
