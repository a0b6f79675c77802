#pragma once

#include <QPalette>

class QApplication;

namespace kelo::app {

// The dark instrument palette: light text on near-black panels, a light
// highlight, and grey text for disabled controls.
QPalette darkPalette();

// Installs the style sheet resource as the application style sheet. Returns
// false, leaving the current style sheet in place, when the resource cannot
// be read; the program then runs with the palette alone.
bool installStyleSheet(QApplication& application);

// Fusion style, dark palette and style sheet, in that order: the style sheet
// refines what the palette has already coloured.
void applyTheme(QApplication& application);

}  // namespace kelo::app
