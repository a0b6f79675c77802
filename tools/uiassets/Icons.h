// The tool-bar, action and tab icons, kept as drawing code. Each is drawn on
// a transparent square of kIconSize pixels, which the buttons scale down:
// light grey strokes for the Off look, the same glyph with the red accent,
// filled where that reads better, for the On look.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace kelo::uiassets {

constexpr int kIconSize = 64;

struct NamedImage {
    QString name;
    QImage image;
};

std::vector<NamedImage> drawIcons();

}  // namespace kelo::uiassets
