#include "ui/XCustomPlot.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QResizeEvent>
#include <filesystem>
#include <system_error>

#include "config/AtomicFile.h"

XCustomPlot::XCustomPlot(QWidget* parent) : QCustomPlot(parent), aspect(1.0f) {
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int XCustomPlot::heightForWidth(int w) const {
    if (w >= 600) return 600;
    return static_cast<int>(w * aspect);
}

// The picture is drawn into a file beside the target and renamed into place,
// so that a failed export keeps an earlier picture; only a regular file (or
// nothing) is replaced, never a folder or a device.
bool XCustomPlot::exportTo(const QString& fileName) {
    const std::filesystem::path target = fileName.toStdString();
    std::filesystem::path part = target;
    part += ".part";
    if (!kelo::regularFileProblem(target).empty() || !kelo::regularFileProblem(part).empty())
        return false;
    std::error_code error;
    std::filesystem::remove(part, error);
    const QString partName = QString::fromStdString(part.string());
    const bool drawn = fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                           ? savePdf(partName)
                           : savePng(partName);
    if (drawn) std::filesystem::rename(part, target, error);
    if (!drawn || error) {
        std::filesystem::remove(part, error);
        return false;
    }
    return true;
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
