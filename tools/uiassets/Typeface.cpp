#include "Typeface.h"

#include <QFontMetricsF>

namespace kelo::uiassets {

QFont boldFont(int pixelSize) {
    QFont font("DejaVu Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(pixelSize);
    return font;
}

QFont boldFontFitting(const QString& text, int largestPixelSize, double width) {
    int pixelSize = largestPixelSize;
    while (pixelSize > 1 && QFontMetricsF(boldFont(pixelSize)).horizontalAdvance(text) > width) {
        --pixelSize;
    }
    return boldFont(pixelSize);
}

}  // namespace kelo::uiassets
