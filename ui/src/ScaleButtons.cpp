#include "ScaleButtons.h"

#include <QIcon>
#include <QToolButton>

namespace kelo::ui {

void showScaleMode(ScaleMode mode, QToolButton* autoScaleY, QToolButton* autoScaleXY,
                   QToolButton* manualScale) {
    const bool autoY = mode == ScaleMode::AutoY;
    autoScaleY->setIcon(QIcon(autoY ? ":icons/icons/ScaleYon.png" : ":icons/icons/ScaleY.png"));
    autoScaleXY->setIcon(QIcon(":icons/icons/ScaleXY.png"));
    manualScale->setIcon(
        QIcon(autoY ? ":icons/icons/ScaleManual.png" : ":icons/icons/ScaleManualSeleceted.png"));
    autoScaleXY->setChecked(false);
    if (autoY)
        manualScale->setChecked(false);
    else
        autoScaleY->setChecked(false);
}

}  // namespace kelo::ui
