// The two corrections, the scope and reflectance views, colorimetry with its
// wavelength grid, the processing and peak settings and the settings panel.
#include <QCoreApplication>
#include <QLabel>

#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "spectra/cSpectraUtility.h"
#include "ui/spectrumPlotWidget.h"
#include "ui_mainwindow.h"

namespace {

constexpr double kAbsoluteThresholdMax = 100000.0;
constexpr double kRelativeThresholdMax = 1.0;

}  // namespace

void MainWindow::on_actionDarkCorrect_triggered(bool checked) {
    spectro->setDarkSubtraction(checked);
    ui->labelDC->setText(checked ? "DC" : "");
}

void MainWindow::on_actionRefCorrect_triggered(bool checked) {
    emit setReferenceCorrection(checked);
    ui->labelRC->setText(checked ? "RC" : "");
}

void MainWindow::on_pBScope_clicked() {
    ui->labelMode->setText("Scope");
}

void MainWindow::on_pBReflectance_clicked() {
    ui->labelMode->setText("R/T");
    emit setBrightCorrection(true);
}

void MainWindow::on_actionColor_triggered(bool checked) {
    spectro->setRestrictedRange(checked);
    ui->RFrame->setVisible(checked);
    if (checked) {
        ui->checkBoxWhiteLid->setEnabled(true);
        if (whiteLidWanted) {
            ui->checkBoxWhiteLid->setChecked(true);
            specUtil->setWhiteLidReferencing(true);
        }
    } else {
        whiteLidWanted = ui->checkBoxWhiteLid->isChecked();
        ui->checkBoxWhiteLid->setChecked(false);
        specUtil->setWhiteLidReferencing(false);
        ui->checkBoxWhiteLid->setEnabled(false);
    }
    // What was collected belongs to the other grid.
    specUtil->clearCollected();
    resetCorrections();
    emit setColorimetry(checked);
    settleLayout();
    applyWavelengthGrid();
}

void MainWindow::settleLayout() {
    for (int pass = 0; pass < 10; ++pass) QCoreApplication::processEvents();
    // A maximised window takes its new layout only when shown again.
    if (isMaximized()) {
        showNormal();
        showMaximized();
    }
}

void MainWindow::on_checkBoxWhiteLid_stateChanged(int arg1) {
    if (specUtil != nullptr) specUtil->setWhiteLidReferencing(arg1 == Qt::Checked);
}

void MainWindow::on_gbComboBox_currentIndexChanged(int index) {
    if (spectro != nullptr) spectro->setBlurEveryFrame(index == 0);
}

void MainWindow::on_comboBoxPeakThresholding_currentIndexChanged(int index) {
    const bool absolute = index == 0;
    ui->doubleSpinBoxPeakThreshold->setMaximum(absolute ? kAbsoluteThresholdMax
                                                        : kRelativeThresholdMax);
    if (spectrumPlot != nullptr) spectrumPlot->setThresholdMode(absolute ? 'a' : 'r');
}

void MainWindow::on_doubleSpinBoxPeakThreshold_valueChanged(double arg1) {
    if (spectrumPlot != nullptr) spectrumPlot->setPeakThreshold(arg1);
}

void MainWindow::on_doubleSpinBoxPeakMinDistance_valueChanged(double arg1) {
    if (spectrumPlot != nullptr) spectrumPlot->setMinDistance(static_cast<int>(arg1));
}

void MainWindow::on_doubleSpinBoxPeakFWHM_valueChanged(double arg1) {
    if (spectrumPlot != nullptr) spectrumPlot->setPeakForFwhm(arg1);
}

void MainWindow::on_actionSettings_triggered(bool checked) {
    ui->settingsFrame->setVisible(checked);
    settleLayout();
}
