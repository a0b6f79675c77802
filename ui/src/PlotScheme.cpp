#include "PlotScheme.h"

#include <qcustomplot.h>

namespace kelo::ui {

namespace {

void styleAxis(QCPAxis* axis) {
    const QPen white(Qt::white, 1);
    axis->setBasePen(white);
    axis->setTickPen(white);
    axis->setSubTickPen(white);
    axis->setTickLabelColor(Qt::white);
    axis->setLabelColor(Qt::white);
    axis->setTickLabelFont(QFont("Arial", 10));
    axis->setLabelFont(QFont("Arial", 12));
    axis->grid()->setPen(QPen(Qt::gray, 1, Qt::DotLine));
}

}  // namespace

void applyDarkScheme(QCustomPlot* plot) {
    plot->setBackground(Qt::black);
    styleAxis(plot->xAxis);
    styleAxis(plot->yAxis);
}

}  // namespace kelo::ui
