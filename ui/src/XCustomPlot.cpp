#include "ui/XCustomPlot.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QResizeEvent>

XCustomPlot::XCustomPlot(QWidget* parent) : QCustomPlot(parent), aspect(1.0f) {
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int XCustomPlot::heightForWidth(int w) const {
    if (w >= 600) return 600;
    return static_cast<int>(w * aspect);
}

bool XCustomPlot::exportTo(const QString& fileName) {
    if (fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) return savePdf(fileName);
    return savePng(fileName);
}

void XCustomPlot::resizeEvent(QResizeEvent* event) {
    QCustomPlot::resizeEvent(event);
    emit Resized(event->size());
}

void XCustomPlot::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(tr("Export as PNG..."), [this] {
        exportWithDialog(tr("Export plot as PNG"), tr("PNG (*.png)"), ".png");
    });
    menu.addAction(tr("Export as PDF..."), [this] {
        exportWithDialog(tr("Export plot as PDF"), tr("PDF (*.pdf)"), ".pdf");
    });
    menu.exec(event->globalPos());
}

void XCustomPlot::exportWithDialog(const QString& caption, const QString& filter,
                                   const QString& suffix) {
    QString fileName = QFileDialog::getSaveFileName(this, caption, QString(), filter);
    if (fileName.isEmpty()) return;
    if (!fileName.endsWith(suffix, Qt::CaseInsensitive)) fileName += suffix;
    if (!exportTo(fileName))
        QMessageBox::warning(this, tr("Export"), tr("Could not write %1").arg(fileName));
}
