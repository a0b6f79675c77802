// Live, stop, snap and hardware trigger, the flash, the three collections,
// auto exposure, the acquisition settings and the indicators that follow
// acquisition.
#include <QLabel>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include "CameraFeatureControls.h"
#include "CollectedSettings.h"
#include "FitReadout.h"
#include "LiveSession.h"
#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "device/KelDevice.h"
#include "spectra/cSpectraUtility.h"
#include "ui/spectrumPlotWidget.h"
#include "ui_mainwindow.h"

using Brevanta::CameraFeature;
using Brevanta::KelDevice;
using kelo::app::CollectedSettings;
using kelo::app::LiveSession;

namespace {

constexpr int kExposureLabelMs = 100;
constexpr int kStatusMessageMs = 10000;
const char* const kLampLit = "background: red";
// A collection whose settings have changed since.
const char* const kLampStale = "background: rgb(255, 170, 0)";
const char* const kFitWarning = "color: rgb(255, 80, 80);";

QString exposureText(double microseconds) {
    return QString::number(microseconds / 1000.0, 'g', 6);
}

// Disables actions for a scope and gives them back their former state: a
// single acquisition lets the window's events through between frames, and
// no other acquisition may start meanwhile, from a button or a shortcut.
class ActionsHeld {
public:
    explicit ActionsHeld(std::initializer_list<QAction*> actions) {
        for (QAction* action : actions) {
            held.emplace_back(action, action->isEnabled());
            action->setEnabled(false);
        }
    }
    ~ActionsHeld() {
        for (const auto& [action, enabled] : held) action->setEnabled(enabled);
    }
    ActionsHeld(const ActionsHeld&) = delete;
    ActionsHeld& operator=(const ActionsHeld&) = delete;

private:
    std::vector<std::pair<QAction*, bool>> held;
};

ActionsHeld holdAcquisitionActions(Ui::MainWindow* ui) {
    return ActionsHeld{ui->actionPlay,    ui->actionStop, ui->actionSnap,  ui->actionHWTrigger,
                       ui->actionDark,    ui->actionRef,  ui->actionBright, ui->actionColor,
                       ui->actionAE,      ui->actionExit};
}

}  // namespace

void MainWindow::on_actionPlay_triggered() {
    endHardwareTrigger();
    exposureTimer->start(kExposureLabelMs);
    ui->actionStop->setEnabled(true);
    ui->actionAE->setEnabled(featureControls->camera().serves(CameraFeature::AutoExposure));
    for (QAction* action :
         {ui->actionPlay, ui->actionSnap, ui->actionHWTrigger, ui->actionColor})
        action->setEnabled(false);
    ui->pBStartTimeSeries->setEnabled(false);
    liveRunning = true;
    enableSaveControls();
    if (!liveSession->start()) {
        statusBar()->showMessage("Live: the last acquisition has not ended yet", kStatusMessageMs);
        stopLive();
    }
}

void MainWindow::on_actionStop_triggered() {
    stopLive();
}

void MainWindow::stopLive() {
    stopWorker(false);
    exposureTimer->stop();
    ui->actionPlay->setEnabled(true);
    ui->actionSnap->setEnabled(true);
    ui->actionStop->setEnabled(false);
    if (ui->actionAE->isChecked()) {
        ui->actionAE->setChecked(false);
        on_actionAE_triggered(false);
    }
    ui->actionAE->setEnabled(false);
    ui->actionColor->setEnabled(true);
    ui->actionHWTrigger->setEnabled(
        featureControls->camera().serves(CameraFeature::HardwareTrigger));
    ui->pBStartTimeSeries->setEnabled(true);
    liveRunning = false;
}

bool MainWindow::stopWorker(bool triggerOff) {
    emit threadFinished();
    const bool finished = liveSession->stop(triggerOff ? LiveSession::Trigger::SwitchOff
                                                       : LiveSession::Trigger::Keep);
    if (!finished)
        statusBar()->showMessage("The acquisition did not stop within 2 s; it ends with its frame",
                                 kStatusMessageMs);
    return finished;
}

void MainWindow::endHardwareTrigger() {
    if (!ui->actionHWTrigger->isChecked() &&
        spectro->getTriggerMode() != KelDevice::kHardwareTrigger)
        return;
    ui->actionHWTrigger->setChecked(false);
    stopWorker(true);
}

void MainWindow::on_actionSnap_triggered() {
    endHardwareTrigger();
    exposureTimer->stop();
    ui->pBStartTimeSeries->setEnabled(true);
    liveRunning = false;
    enableSaveControls();
    acquireOnce("Snap");
    showExposureLabel();
}

void MainWindow::acquireOnce(const QString& what) {
    bool acquired = false;
    {
        const ActionsHeld held = holdAcquisitionActions(ui);
        acquired = spectro->getSpectra(snapSpectrum, snapSaturated);
    }
    if (!acquired) reportNoSpectrum(what);
}

void MainWindow::reportNoSpectrum(const QString& what) {
    statusBar()->showMessage(
        what + ": no spectrum (" + QString::fromStdString(spectro->getErrorText()) + ")",
        kStatusMessageMs);
}

void MainWindow::on_actionHWTrigger_triggered(bool checked) {
    if (!checked) {
        stopWorker(true);
        return;
    }
    spectro->setTriggerMode(KelDevice::kHardwareTrigger);
    if (!liveSession->start()) {
        statusBar()->showMessage("HW trigger: the last acquisition has not ended yet",
                                 kStatusMessageMs);
        ui->actionHWTrigger->setChecked(false);
        spectro->setTriggerMode(KelDevice::kSoftwareTrigger);
    }
}

void MainWindow::on_actionFlashOff_triggered(bool checked) {
    selectFlash(ui->actionFlashOff, checked, KelDevice::kFlashOff);
}

void MainWindow::on_actionFlashOn_triggered(bool checked) {
    selectFlash(ui->actionFlashOn, checked, KelDevice::kFlashOn);
}

void MainWindow::on_actionFlashAuto_triggered(bool checked) {
    selectFlash(ui->actionFlashAuto, checked, KelDevice::kFlashDuringExposure);
}

void MainWindow::selectFlash(QAction* chosen, bool checked, int mode) {
    // One of the three is always selected; clicking it again changes nothing.
    if (!checked) {
        chosen->setChecked(true);
        return;
    }
    spectro->setFlashMode(mode);
    for (QAction* flash : {ui->actionFlashOff, ui->actionFlashOn, ui->actionFlashAuto})
        if (flash != chosen) flash->setChecked(false);
}

void MainWindow::on_actionDark_triggered() {
    collect(ui->actionDark, "Dark", &cSpectraUtility::collectDark);
}

void MainWindow::on_actionRef_triggered() {
    collect(ui->actionRef, "Reference", &cSpectraUtility::collectReference);
}

void MainWindow::on_actionBright_triggered() {
    collect(ui->actionBright, "Bright", &cSpectraUtility::collectBright);
}

void MainWindow::collect(QAction* action, const QString& what,
                         bool (cSpectraUtility::*request)()) {
    // Checked until the spectrum arrives; a second click does not withdraw it.
    action->setChecked(true);
    endHardwareTrigger();
    if (liveRunning) {
        (specUtil->*request)();
        return;
    }
    enableSaveControls();
    {
        const ActionsHeld held = holdAcquisitionActions(ui);
        (specUtil->*request)();
    }
    // Taken at once on this thread: still checked means no spectrum came.
    if (!action->isChecked()) return;
    specUtil->cancelCollections();
    action->setChecked(false);
    reportNoSpectrum(what);
}

void MainWindow::onDarkCollected() {
    ui->actionDarkCorrect->setEnabled(true);
    collectedSettings->remember(CollectedSettings::Dark, currentSettings());
    ui->actionDark->setChecked(false);
    refreshLamps();
}

void MainWindow::onReferenceCollected() {
    ui->actionRefCorrect->setEnabled(true);
    collectedSettings->remember(CollectedSettings::Reference, currentSettings());
    ui->actionRef->setChecked(false);
    refreshLamps();
}

void MainWindow::onBrightCollected() {
    spectrumPlot->setReflectanceAvailable(true);
    ui->labelBright->setStyleSheet(kLampLit);
    ui->actionBright->setChecked(false);
}

kelo::app::AcquisitionSettings MainWindow::currentSettings() const {
    return {ui->doubleSpinBoxExpTime->value(), ui->spinBoxGain->value(),
            ui->spinBoxAverages->value()};
}

void MainWindow::refreshLamps() {
    const kelo::app::AcquisitionSettings now = currentSettings();
    const std::pair<QLabel*, CollectedSettings::Collection> lamps[] = {
        {ui->labelDark, CollectedSettings::Dark}, {ui->labelRef, CollectedSettings::Reference}};
    for (const auto& [lamp, collection] : lamps) {
        if (!collectedSettings->isCollected(collection)) continue;
        const QString stale = collectedSettings->staleReason(collection, now);
        lamp->setStyleSheet(stale.isEmpty() ? kLampLit : kLampStale);
        lamp->setToolTip(stale);
    }
}

void MainWindow::on_actionAE_triggered(bool checked) {
    if (checked) {
        ui->doubleSpinBoxExpTime->setEnabled(false);
        spectro->setExposureAutoContinuous();
        specUtil->setExposureNormalisation(true);
    } else {
        ui->doubleSpinBoxExpTime->setEnabled(true);
        spectro->setExposureAutoOff();
        ui->doubleSpinBoxExpTime->setValue(spectro->getExposureTime() / 1000.0);
        specUtil->setExposureNormalisation(false);
    }
    specUtil->clearCollected();
    resetCorrections();
}

void MainWindow::on_spinBoxAverages_valueChanged(int arg1) {
    if (spectro == nullptr) return;
    spectro->setAverages(arg1);
    refreshLamps();
}

void MainWindow::on_spinBoxGain_valueChanged(int arg1) {
    if (spectro == nullptr) return;
    spectro->setGain(arg1);
    refreshLamps();
}

void MainWindow::on_doubleSpinBoxExpTime_valueChanged(double arg1) {
    if (spectro == nullptr) return;
    spectro->setExposureTime(arg1 * 1000.0);
    refreshLamps();
}

void MainWindow::on_doubleSpinBoxAEMin_valueChanged(double arg1) {
    if (spectro != nullptr) spectro->setDevExposureTimeMin(arg1 * 1000.0);
}

void MainWindow::on_doubleSpinBoxAEMax_valueChanged(double arg1) {
    if (spectro != nullptr) spectro->setDevExposureTimeMax(arg1 * 1000.0);
}

void MainWindow::setExpTime() {
    showExposureLabel();
}

void MainWindow::showExposureLabel() {
    ui->labelExpTime->setText(exposureText(spectro->getExposureTime()));
}

void MainWindow::onFpsReady(int fps) {
    ui->labelfps->setText(fps > 0 ? QString::number(fps) : "<1");
}

void MainWindow::onFrameId(int imgNum) {
    ui->lineEditImgNum->setText(QString::number(imgNum));
}

void MainWindow::setAvgProgress(double avg) {
    ui->avgProgressBar->setValue(static_cast<int>(avg));
}

void MainWindow::setSaturateFlag(bool saturated) {
    ui->labelSaturated->setText(saturated ? "Saturated" : "Not Saturated");
    ui->labelSaturated->setStyleSheet(saturated ? kLampLit : "");
}

void MainWindow::showFit() {
    if (spectro == nullptr) return;
    const kelo::app::FitReadout fit = kelo::app::describeFit(spectro->getFitDiagnostics());
    labelFit->setText(fit.text);
    labelFit->setToolTip(fit.toolTip);
    labelFit->setStyleSheet(fit.warning ? kFitWarning : "");
    spectrumPlot->setSaturatedWavelengths(spectro->getSaturatedWavelengths());
}

void MainWindow::onAcquisitionEnded(int errorCode) {
    // A stop the window asked for has been handled where it was asked.
    if (errorCode == Brevanta::KelSpectro::kNoError || spectro == nullptr) return;
    const QString reason = errorCode == Brevanta::KelSpectro::kErrorBusy
                               ? QString("another acquisition was running")
                               : QString::fromStdString(spectro->getErrorText());
    statusBar()->showMessage("Acquisition ended: " + reason, kStatusMessageMs);
    if (liveRunning)
        stopLive();
    else if (ui->actionHWTrigger->isChecked())
        endHardwareTrigger();
}
