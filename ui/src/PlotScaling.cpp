#include "ui/PlotScaling.h"

#include <qcustomplot.h>

#include <QCoreApplication>
#include <QIcon>
#include <QToolButton>

namespace kelo::ui {

namespace {

constexpr double kHeadroom = 1.1;

}  // namespace

void PlotScaling::useAutoScaleY() {
    manualScale = false;
    autoScaleY = true;
    autoScaleXY = false;
}

void PlotScaling::useAutoScaleXY() {
    manualScale = false;
    autoScaleY = false;
    autoScaleXY = true;
}

void PlotScaling::useManualScale(double xmin, double xmax, double ymin, double ymax) {
    manualXMin = xmin;
    manualXMax = xmax;
    manualYMin = ymin;
    manualYMax = ymax;
    manualScale = true;
    autoScaleY = false;
    autoScaleXY = false;
}

void PlotScaling::applyRanges(QCPAxis* x, QCPAxis* y, double dataXLow, double dataXHigh,
                              double dataYLow, double dataYHigh) const {
    if (autoScaleY) {
        y->setRange(dataYLow, kHeadroom * dataYHigh);
    } else if (autoScaleXY) {
        x->setRange(dataXLow, dataXHigh);
        y->setRange(dataYLow, kHeadroom * dataYHigh);
    } else if (manualScale) {
        x->setRange(manualXMin, manualXMax);
        y->setRange(manualYMin, kHeadroom * manualYMax);
    }
}

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

void handOverToAutoScaleY(QToolButton* autoScaleY) {
    QCoreApplication::processEvents();
    // Clicking it while checked would uncheck it and switch to manual limits.
    autoScaleY->setChecked(false);
    autoScaleY->click();
}

}  // namespace kelo::ui
