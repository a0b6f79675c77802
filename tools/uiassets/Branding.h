// The product's mark and names, in its colours: white on the #aa0000 red.
#pragma once

#include <QImage>

namespace kelo::uiassets {

// A red disc with a white prism splitting a ray, on transparent.
QImage productMark(int side);

// The mark and the word mark "Brevanta", for the right end of a 40 px tool bar.
QImage toolBarLogo();

// The tall banner of the About box; `colourBand` is laid across its foot.
QImage sideBanner(const QImage& colourBand);

}  // namespace kelo::uiassets
