// Construction, the extras of the indicator bar and the shortcuts, and the
// first phase of the start-up sequence: waiting for a camera and making
// sure its calibration files are in place.
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTimer>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "CameraFeatureControls.h"
#include "CollectedSettings.h"
#include "DevicesMenu.h"
#include "LiveSession.h"
#include "SimulatorMenu.h"
#include "OperatorPrompts.h"
#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "device/DeviceRegistry.h"
#include "spectra/cSpectraUtility.h"
#include "ui/colorPlotWidget.h"
#include "ui/formRecording.h"
#include "ui/spectrumPlotWidget.h"
#include "ui/timeseriesPlotWidget.h"
#include "ui_mainwindow.h"

namespace {

// Between two looks for an attached camera: the window stays responsive and
// the processor idle.
constexpr int kDevicePollMs = 50;

void pauseResponsively(int milliseconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    // Only wakes the wait below when nothing else does.
    QTimer wake;
    wake.start(milliseconds);
    while (elapsed.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool cameraListed() {
    std::vector<std::string> serials;
    DeviceRegistry::instance().getDeviceList(serials);
    return !serials.empty();
}

// The last component of a path, after the last '/' or '\'.
QString lastPathComponent(const QString& path) {
    const int cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return cut < 0 ? path : path.mid(cut + 1);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow),
      prompts(kelo::app::dialogPrompts()),
      collectedSettings(std::make_unique<kelo::app::CollectedSettings>()),
      featureControls(std::make_unique<kelo::app::CameraFeatureControls>()) {
    ui->setupUi(this);
    resetUi();

    auto* pushRight = new QLabel(ui->toolBarHelp);
    pushRight->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ui->toolBarHelp->addWidget(pushRight);
    auto* logo = new QLabel(ui->toolBarHelp);
    logo->setPixmap(QPixmap(":/icons/icons/brevanta100.png"));
    ui->toolBarHelp->addWidget(logo);
    auto* margin = new QLabel(ui->toolBarHelp);
    margin->setFixedWidth(20);
    margin->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    ui->toolBarHelp->addWidget(margin);

    ui->toolBarDevices->hide();
    ui->splitterDock->handle(1)->setEnabled(false);
    addIndicatorExtras();
    addShortcuts();
    menuBar()->insertMenu(ui->menuHelp->menuAction(), new kelo::app::DevicesMenu(this));
    // Every backend choice runs the simulated cameras: beside real ones, or
    // behind the fake camera that stands in for one of them.
    simulatorMenu = new kelo::app::SimulatorMenu(this);
    menuBar()->addMenu(simulatorMenu);
}

MainWindow::~MainWindow() {
    tearDown();
    delete ui;
}

void MainWindow::addIndicatorExtras() {
    // "Scope" and "R/T" take the same room, so the bar keeps still.
    ui->labelMode->setMinimumWidth(ui->labelMode->sizeHint().width());
    labelFit = new QLabel(ui->widgetIndicator);
    labelFit->setObjectName("labelFit");
    labelFit->setAlignment(Qt::AlignCenter);
    const int afterSaturation = ui->indicatorLayout->indexOf(ui->labelSaturated) + 1;
    ui->indicatorLayout->insertWidget(afterSaturation, labelFit);
}

void MainWindow::addShortcuts() {
    const std::pair<QAction*, QKeySequence> shortcuts[] = {
        {ui->actionPlay, Qt::Key_F5},
        {ui->actionStop, Qt::Key_F6},
        {ui->actionSnap, Qt::Key_F7},
        {ui->actionHWTrigger, Qt::Key_F8},
        {ui->actionDark, QKeySequence("Ctrl+D")},
        {ui->actionRef, QKeySequence("Ctrl+R")},
        {ui->actionBright, QKeySequence("Ctrl+B")},
        {ui->actionQuickSave, QKeySequence("Ctrl+S")},
        {ui->actionSave, QKeySequence("Ctrl+Shift+S")},
        {ui->actionSettings, Qt::Key_F2},
        {ui->actionHelp, Qt::Key_F1},
        {ui->actionExit, QKeySequence("Ctrl+Q")},
    };
    for (const auto& [action, keys] : shortcuts) {
        action->setShortcut(keys);
        action->setToolTip(action->toolTip() + " (" + keys.toString(QKeySequence::NativeText) +
                           ")");
    }
}

void MainWindow::setPrompts(std::unique_ptr<kelo::app::OperatorPrompts> replacement) {
    prompts = std::move(replacement);
}

void MainWindow::resetUi() {
    ui->settingsFrame->hide();
    featureControls->restore();
    if (plotsCreated) {
        delete colorWidget;
        delete timeSeriesPlot;
        delete spectrumPlot;
        delete plotSplitter;
        colorWidget = nullptr;
        timeSeriesPlot = nullptr;
        spectrumPlot = nullptr;
        plotSplitter = nullptr;
        plotsCreated = false;
    }
    ui->toolBarSettings->setEnabled(false);
    ui->toolBarApps->setEnabled(false);
    ui->toolBarModes->setEnabled(false);
    ui->toolBar->setEnabled(false);
    ui->tabWidgetControls->removeTab(ui->tabWidgetControls->indexOf(ui->tabTimeSeries));
}

bool MainWindow::initialise() {
    recordingForm = new formRecording();
    // Closing the window ends the program, whatever dialog is left open.
    recordingForm->setAttribute(Qt::WA_QuitOnClose, false);
    specUtil = new cSpectraUtility();
    liveRunning = false;
    std::cout << "created cSpecUtil Object\n";
    if (cameraListed()) spectro = specUtil->getSpectro();
    if (spectro == nullptr) std::cout << "kelS pointer not created\n";
    if (!waitForDevice()) return false;

    ui->labelDevID->setText(QString::fromStdString(spectro->getUserDefinedName()));
    QCoreApplication::processEvents();
    if (!ensureCalibrationFiles()) return false;
    assemble();
    emit assembled();
    return true;
}

bool MainWindow::waitForDevice() {
    if (spectro != nullptr) return true;
    QMessageBox box(this);
    box.setObjectName("deviceWaitBox");
    box.setWindowTitle("Warning: Device disconnected");
    box.setInformativeText("Device Disconnected\nPlease connect the device and Retry\n");
    box.setStandardButtons(QMessageBox::Cancel);
    box.show();
    while (spectro == nullptr) {
        pauseResponsively(kDevicePollMs);
        // Enumerating is quiet; the controller's factory reports every empty look.
        if (cameraListed()) spectro = specUtil->getSpectro();
        if (spectro == nullptr && !box.isVisible()) return false;
    }
    box.close();
    simulatorMenu->refresh();
    return true;
}

bool MainWindow::ensureCalibrationFiles() {
    calFilesFound = specUtil->initSpectro();
    while (!calFilesFound) {
        if (!prompts->offerCalibrationBrowse(this, ui->labelDevID->text())) return false;
        const QString folder =
            prompts->chooseFolder(this, ui->lblSaveDir->toPlainText());
        if (!folder.isEmpty()) copyCalibrationFolder(folder);
        calFilesFound = specUtil->initSpectro();
    }
    return true;
}

void MainWindow::copyCalibrationFolder(const QString& source) {
    const QString absolute = QDir(source).absolutePath();
    const QString destination = "cal/" + lastPathComponent(absolute);
    const bool existed = QDir(destination).exists();
    if (QDir().mkpath(destination) && !existed) {
        std::ostringstream line;
        line << "Successfully created directory: " << std::quoted(destination.toStdString(), '"', '&')
             << "\n";
        std::cout << line.str();
    }
    specUtil->copyDirectory(absolute.toStdString(), destination.toStdString());
}
