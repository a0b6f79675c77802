// The second phase of the start-up sequence: the plots and the colour panel,
// the controller on its worker thread, every connection between the parts
// and the initial state of the controls, ending with one spectrum.
#include <QLabel>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include "CameraFeatureControls.h"
#include "CollectedSettings.h"
#include "LiveSession.h"
#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "device/KelDevice.h"
#include "spectra/cSpectraUtility.h"
#include "ui/XCustomPlot.h"
#include "ui/colorPlotWidget.h"
#include "ui/formRecording.h"
#include "ui/spectrumPlotWidget.h"
#include "ui/timeseriesPlotWidget.h"
#include "ui_mainwindow.h"

using Brevanta::KelSpectro;

namespace {

constexpr double kAutoExposureLowerUs = 10.0;
constexpr double kAutoExposureUpperUs = 100000.0;
constexpr int kDeviceCheckMs = 100;
// The fit read-out and the saturation shading follow the spectra at most
// this often.
constexpr int kIndicatorRefreshMs = 100;

}  // namespace

void MainWindow::assemble() {
    createPlots();
    wavelengths = spectro->getWavelengths();
    spectrumPlot->setWavelengths(wavelengths);
    spectrumPlot->setupPlot();
    specUtil->clearCollected();
    resetCorrections();
    applyInitialUiState();
    featureControls->show(*this, kelo::app::FeatureAvailability(spectro->missingFeatures()));

    if (!spectro->getVisNirMode()) {
        ui->actionColor->setChecked(false);
        on_actionColor_triggered(false);
        ui->actionColor->setVisible(false);
        ui->RFrame->hide();
    }
    const bool blurCalibrated = spectro->getGaussBlurMode();
    ui->gbLabel->setVisible(blurCalibrated);
    ui->gbComboBox->setVisible(blurCalibrated);
    setupWhiteLid();
    ui->lblSaveDir->setPlainText(QString::fromStdString(spectro->getSaveDir()));

    snapSaturated = false;
    quickSavePending = false;
    saveControlsPending = true;

    spectrumPlot->on_tbAutoScaleY_clicked(true);
    spectrumPlot->setPeakDisplay(false, false);
    spectrumPlot->setPeakThreshold(ui->doubleSpinBoxPeakThreshold->value());
    spectrumPlot->setPeakForFwhm(ui->doubleSpinBoxPeakFWHM->value());
    spectrumPlot->setMinDistance(static_cast<int>(ui->doubleSpinBoxPeakMinDistance->value()));
    spectrumPlot->setThresholdMode(ui->comboBoxPeakThresholding->currentIndex() == 0 ? 'a' : 'r');

    spectro->setDevExposureTimeMin(kAutoExposureLowerUs);
    spectro->setDevExposureTimeMax(kAutoExposureUpperUs);
    ui->doubleSpinBoxAEMin->setValue(kAutoExposureLowerUs / 1000.0);
    ui->doubleSpinBoxAEMax->setValue(kAutoExposureUpperUs / 1000.0);
    ui->spinBoxGain->setValue(static_cast<int>(spectro->getGain()));
    ui->doubleSpinBoxExpTime->setValue(spectro->getExposureTime() / 1000.0);

    createThreadAndConnections();

    spectro->setFlashMode(Brevanta::KelDevice::kFlashDuringExposure);
    ui->actionFlashAuto->setChecked(true);
    on_actionFlashAuto_triggered(true);
    deviceTimer->start(kDeviceCheckMs);
    showDeviceList();

    ui->tabWidgetControls->setCurrentIndex(0);
    spectro->setAverages(ui->spinBoxAverages->value());
    emit threadFinished();
    endHardwareTrigger();

    exposureTimer->stop();
    ui->pBStartTimeSeries->setEnabled(true);
    liveRunning = false;
    enableSaveControls();
    acquireOnce("Start-up");
    showExposureLabel();
}

void MainWindow::createPlots() {
    plotSplitter = new QSplitter();
    spectrumPlot = new spectrumPlotWidget();
    spectrumPlot->setUtility(specUtil);
    spectrumPlot->show();
    timeSeriesPlot = new timeseriesPlotWidget();
    timeSeriesPlot->setUtility(specUtil);
    plotSplitter->addWidget(spectrumPlot);
    plotSplitter->addWidget(timeSeriesPlot);
    plotSplitter->setOrientation(Qt::Vertical);
    ui->LFrameLayout->addWidget(plotSplitter);
    colorWidget = new colorPlotWidget();
    colorWidget->setUtility(specUtil);
    ui->RFrameLayout->addWidget(colorWidget);
    plotsCreated = true;
}

void MainWindow::setupWhiteLid() {
    whiteLidWanted = specUtil->isStdBrightLoaded();
    ui->checkBoxWhiteLid->setVisible(whiteLidWanted);
    ui->checkBoxWhiteLid->setChecked(whiteLidWanted);
    specUtil->setWhiteLidReferencing(whiteLidWanted);
}

void MainWindow::showDeviceList() {
    ui->labelDevsConn->setText("1");
    ui->listWidgetdevList->clear();
    ui->listWidgetdevList->addItem(ui->labelDevID->text());
}

void MainWindow::resetCorrections() {
    colorWidget->reset();
    for (QLabel* lamp : {ui->labelDark, ui->labelBright, ui->labelRef}) {
        lamp->setStyleSheet(" ");
        lamp->setToolTip(QString());
    }
    collectedSettings->forgetAll();
    ui->actionDarkCorrect->setChecked(false);
    on_actionDarkCorrect_triggered(false);
    ui->actionDarkCorrect->setEnabled(false);
    ui->actionRefCorrect->setChecked(false);
    on_actionRefCorrect_triggered(false);
    ui->actionRefCorrect->setEnabled(false);
    spectrumPlot->resetToScope();
}

void MainWindow::applyInitialUiState() {
    ui->actionSettings->setChecked(false);
    on_actionSettings_triggered(false);
    spectrumPlot->on_pbScope_clicked();
    ui->actionTimeSeries->setChecked(false);
    on_actionTimeSeries_triggered(false);
    ui->actionAE->setChecked(false);
    on_actionAE_triggered(false);
    for (QToolBar* bar : {ui->toolBar, ui->toolBarSettings, ui->toolBarApps, ui->toolBarModes})
        bar->setEnabled(true);
    for (QAction* action : {ui->actionDarkCorrect, ui->actionRefCorrect, ui->actionAE,
                            ui->actionSave, ui->actionQuickSave})
        action->setEnabled(false);
    ui->tabSaveOpts->setEnabled(false);
    ui->actionColor->setChecked(true);
    on_actionColor_triggered(true);
    ui->actionStop->setEnabled(false);
    ui->actionPlay->setEnabled(true);
    ui->actionSnap->setEnabled(true);
    ui->gbComboBox->setEnabled(true);
    specUtil->setIlluminant(true);
    specUtil->setObserver(true);
    specUtil->setColourMatchMethod(0);
}

void MainWindow::createThreadAndConnections() {
    workerThread = new QThread();
    spectro->moveToThread(workerThread);
    liveSession = std::make_unique<kelo::app::LiveSession>(*spectro, *workerThread);
    exposureTimer = new QTimer(this);
    deviceTimer = new QTimer(this);
    connectController();
    connectUtility();
    connect(exposureTimer, &QTimer::timeout, this, &MainWindow::setExpTime);
    connect(deviceTimer, &QTimer::timeout, this, &MainWindow::isDeviceConnected);
    connect(recordingForm, &formRecording::startRecording, this, &MainWindow::onStartRecording);
    connect(recordingForm, &formRecording::stopRecording, this, &MainWindow::onStopRecording);
    connect(spectrumPlot, &spectrumPlotWidget::scopeClicked, this, &MainWindow::on_pBScope_clicked);
    connect(spectrumPlot, &spectrumPlotWidget::RTClicked, this,
            &MainWindow::on_pBReflectance_clicked);
    connect(timeSeriesPlot, &timeseriesPlotWidget::timeSeriesFinishedEnableUI, this,
            &MainWindow::on_timeSeriesFinishedEnableUI);
    connect(timeSeriesPlot, &timeseriesPlotWidget::setTimeSeriesMetric, this,
            &MainWindow::on_setTimeSeriesMetric);
}

void MainWindow::connectController() {
    KelSpectro* controller = spectro.get();
    connect(workerThread, &QThread::started, controller, &KelSpectro::getSpectraC);
    connect(this, &MainWindow::threadFinished, workerThread, &QThread::quit);
    connect(controller, &KelSpectro::fpsReady, this, &MainWindow::onFpsReady);
    connect(controller, &KelSpectro::frameId, this, &MainWindow::onFrameId);
    connect(controller, &KelSpectro::avgProgress, this, &MainWindow::setAvgProgress);
    connect(controller, &KelSpectro::darkImageCollected, this, &MainWindow::onDarkCollected);
    connect(controller, &KelSpectro::recordedfps, recordingForm, &formRecording::updateDataUi);
    connect(controller, &KelSpectro::saveSpectrum, this, &MainWindow::onSaveSpectrum);
    connect(controller, &KelSpectro::acquisitionEnded, this, &MainWindow::onAcquisitionEnded);
}

void MainWindow::connectUtility() {
    // By signature, as the plot's own view buttons connect it, so that the
    // two never double the connection.
    connect(specUtil, SIGNAL(pSpectrumReady(const std::vector<double>&)), spectrumPlot,
            SLOT(plotSpectrum(const std::vector<double>&)), Qt::UniqueConnection);
    connect(this, &MainWindow::setReferenceCorrection, specUtil,
            &cSpectraUtility::setReferenceCorrection);
    connect(this, &MainWindow::setBrightCorrection, specUtil,
            &cSpectraUtility::setBrightCorrection);
    connect(specUtil, &cSpectraUtility::spectraSaturated, this, &MainWindow::setSaturateFlag);
    connect(this, &MainWindow::setColorimetry, specUtil, &cSpectraUtility::setColorimetry);
    connect(this, &MainWindow::cSpectraSavePlot, specUtil, &cSpectraUtility::savePlot);
    connect(specUtil, &cSpectraUtility::plotSaved, this, &MainWindow::onPlotSaved);
    connect(specUtil, &cSpectraUtility::brightSpectraCollected, this,
            &MainWindow::onBrightCollected);
    connect(specUtil, &cSpectraUtility::refSpectraCollected, this,
            &MainWindow::onReferenceCollected);
    connect(this, &MainWindow::saveColor, specUtil, &cSpectraUtility::on_saveColor);

    // The fit read-out and the saturation shading, from the latest spectrum.
    indicatorTimer = new QTimer(this);
    indicatorTimer->setSingleShot(true);
    indicatorTimer->setInterval(kIndicatorRefreshMs);
    connect(indicatorTimer, &QTimer::timeout, this, &MainWindow::showFit);
    connect(specUtil, &cSpectraUtility::pSpectrumReady, indicatorTimer, [this] {
        if (!indicatorTimer->isActive()) indicatorTimer->start();
    });
}

void MainWindow::enableSaveControls() {
    if (!saveControlsPending) return;
    ui->actionSave->setEnabled(true);
    ui->actionQuickSave->setEnabled(true);
    ui->tabSaveOpts->setEnabled(true);
    spectrumPlot->setPlotToolsEnabled(true);
    saveControlsPending = false;
}

void MainWindow::applyWavelengthGrid() {
    wavelengths = spectro->getWavelengths();
    if (wavelengths.empty()) return;
    spectrumPlot->setWavelengths(wavelengths);
    const int first = static_cast<int>(wavelengths.front());
    const int last = static_cast<int>(wavelengths.back());
    ui->spinBoxWvlStart->setRange(first, last);
    ui->spinBoxWvlEnd->setRange(first, last);
    specUtil->setWavelengths(wavelengths);
    spectrumPlot->plot()->replot();
}
