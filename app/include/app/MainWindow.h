// The operator's console: the window that assembles the plots, the colour
// panel and the recording dialog around the spectrum utility and the
// acquisition controller, runs the start-up sequence, drives acquisition and
// supervises the camera.
//
// The definition is spread over files by concern: MainWindowStartup.cpp
// (construction, waiting for the camera, calibration), MainWindowAssembly.cpp
// (assembly and wiring, the features the camera lacks), MainWindowAcquisition.cpp (live, stop, snap,
// trigger, flash, collections, auto exposure, settings, indicators),
// MainWindowProcessing.cpp (corrections, views, colorimetry, peaks, the
// settings panel), MainWindowSaving.cpp (saving, time series, recording,
// help) and MainWindowSupervision.cpp (device supervision and the end).
//
// Threads: the user-interface thread; the controller's live loop runs on
// workerThread and reports through queued signals.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QSplitter;
class QThread;
class QTimer;
class cSpectraUtility;
class colorPlotWidget;
class formRecording;
class spectrumPlotWidget;
class timeseriesPlotWidget;

namespace Brevanta {
class KelSpectro;
}

namespace Ui {
class MainWindow;
}

namespace kelo::app {
struct AcquisitionSettings;
class CameraFeatureControls;
class CollectedSettings;
class LiveSession;
class SimulatorMenu;
class OperatorPrompts;
}  // namespace kelo::app

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: waits until a camera is attached, makes sure its
    // calibration files are in place, assembles the window and takes one
    // spectrum. False when the operator cancelled: the program then ends with
    // status 0 and writes nothing.
    bool initialise();
    // Back to the window of before the assembly: plots gone, tool bars off.
    void resetUi();

    // Who answers the window's questions; the dialogs unless replaced.
    void setPrompts(std::unique_ptr<kelo::app::OperatorPrompts> replacement);

    // For scripted runs and tests: the parts the window assembled, null before.
    std::shared_ptr<Brevanta::KelSpectro> controller() const { return spectro; }
    cSpectraUtility* utility() const { return specUtil; }
    spectrumPlotWidget* spectrumView() const { return spectrumPlot; }
    formRecording* recordingDialog() const { return recordingForm; }
    Ui::MainWindow* form() const { return ui; }

    // Connected by the assembly to the spectrum plot, the time-series plot
    // and the colour panel.
    void on_pBScope_clicked();
    void on_pBReflectance_clicked();
    void on_timeSeriesFinishedEnableUI();
    void on_setTimeSeriesMetric(int time, double metric);

signals:
    void setReferenceCorrection(bool value);
    void setBrightCorrection(bool value);
    void setColorimetry(bool Value);
    void cSpectraSavePlot(std::string outFilename, std::string wvlUnits, std::string specUnits,
                          bool CSV);
    void saveColor(std::string outFilename, int fnum, bool csv);
    void threadFinished();
    // The window is assembled and ready (after every start-up, also after a
    // reconnection).
    void assembled();

public slots:
    void onFrameId(int imgNum);
    void onFpsReady(int fps);
    void setSaturateFlag(bool saturated);
    void onPlotSaved(bool success, std::string filename);
    void setExpTime();
    void setAvgProgress(double avg);
    void isDeviceConnected();
    void onDarkCollected();
    void onReferenceCollected();
    void onBrightCollected();
    void onStartRecording();
    void onStopRecording();
    void onSaveSpectrum(std::vector<double> spec, int index, bool FlagSaturated);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_actionPlay_triggered();
    void on_actionStop_triggered();
    void on_actionSnap_triggered();
    void on_actionExit_triggered();
    void on_actionHWTrigger_triggered(bool checked);
    void on_actionDark_triggered();
    void on_actionBright_triggered();
    void on_actionRef_triggered();
    void on_actionFlashOff_triggered(bool checked);
    void on_actionFlashOn_triggered(bool checked);
    void on_actionFlashAuto_triggered(bool checked);
    void on_actionColor_triggered(bool checked);
    void on_actionDarkCorrect_triggered(bool checked);
    void on_actionRefCorrect_triggered(bool checked);
    void on_checkBoxWhiteLid_stateChanged(int arg1);
    void on_spinBoxGain_valueChanged(int arg1);
    void on_spinBoxAverages_valueChanged(int arg1);
    void on_doubleSpinBoxExpTime_valueChanged(double arg1);
    void on_actionSave_triggered();
    void on_actionQuickSave_triggered();
    void on_pBBrowse_clicked();
    void on_pBQuickSave_clicked();
    void on_actionAE_triggered(bool checked);
    void on_actionSettings_triggered(bool checked);
    void on_doubleSpinBoxAEMin_valueChanged(double arg1);
    void on_doubleSpinBoxAEMax_valueChanged(double arg1);
    void on_actionTimeSeries_triggered(bool checked);
    void on_comboBoxMetric_currentIndexChanged(int index);
    void on_actionAbout_triggered();
    void on_actionHelp_triggered();
    void on_gbComboBox_currentIndexChanged(int index);
    void on_lineEditScanName_textChanged(QString arg1);
    void on_pBStartTimeSeries_clicked();
    void on_pBStopTimeSeries_clicked();
    void on_comboBoxPeakThresholding_currentIndexChanged(int index);
    void on_doubleSpinBoxPeakThreshold_valueChanged(double arg1);
    void on_doubleSpinBoxPeakMinDistance_valueChanged(double arg1);
    void on_doubleSpinBoxPeakFWHM_valueChanged(double arg1);
    void on_actionRecording_triggered();
    void on_lblSaveDir_textChanged();

private:
    // Start-up (MainWindowStartup.cpp).
    void addIndicatorExtras();
    void addShortcuts();
    // False when the operator cancelled the wait.
    bool waitForDevice();
    // False when the operator chose Cancel.
    bool ensureCalibrationFiles();
    void copyCalibrationFolder(const QString& source);

    // Assembly and wiring (MainWindowAssembly.cpp).
    void assemble();
    void createPlots();
    void resetCorrections();
    void applyInitialUiState();
    void createThreadAndConnections();
    void connectController();
    void connectUtility();
    void setupWhiteLid();
    void showDeviceList();
    // Saving, the save options and the plot tools, once the first spectrum
    // was asked for.
    void enableSaveControls();
    // The controller's grid to the plot, the utility and the time-series tab.
    void applyWavelengthGrid();
    // Lets a changed layout take effect, also in a maximised window.
    void settleLayout();

    // Acquisition (MainWindowAcquisition.cpp).
    // The one stop sequence of the worker; false when it did not finish in time.
    bool stopWorker(bool triggerOff);
    // Stop's and the closing window's return to idle.
    void stopLive();
    // Switches hardware trigger off (and ends its waiting worker) when it is on.
    void endHardwareTrigger();
    // One acquisition now on this thread; the reason in the status bar when
    // it got no spectrum.
    void acquireOnce(const QString& what);
    // A collection request of the utility: at once when idle, else from the
    // running loop.
    void collect(QAction* action, const QString& what, bool (cSpectraUtility::*request)());
    void reportNoSpectrum(const QString& what);
    void selectFlash(QAction* chosen, bool checked, int mode);
    void showExposureLabel();
    // The fit of the last spectrum and where it saturated.
    void showFit();
    kelo::app::AcquisitionSettings currentSettings() const;
    void refreshLamps();
    void onAcquisitionEnded(int errorCode);

    // Saving, time series, recording and help (MainWindowSaving.cpp).
    void quickSave();
    // Back from a time series: the buttons, and the colorimetry grid when
    // the series ran on the full one.
    void endTimeSeries();
    void showManual();

    // Supervision and the end (MainWindowSupervision.cpp).
    void rebuildAfterDisconnection();
    void tearDown();
    void endWithoutSaving();

    Ui::MainWindow* ui;
    QThread* workerThread = nullptr;
    std::shared_ptr<Brevanta::KelSpectro> spectro;
    cSpectraUtility* specUtil = nullptr;
    std::vector<double> wavelengths;
    std::vector<double> snapSpectrum;
    bool snapSaturated = false;
    QTimer* exposureTimer = nullptr;
    QTimer* deviceTimer = nullptr;
    QTimer* indicatorTimer = nullptr;  // the fit read-out and saturation shading
    formRecording* recordingForm = nullptr;
    spectrumPlotWidget* spectrumPlot = nullptr;
    timeseriesPlotWidget* timeSeriesPlot = nullptr;
    colorPlotWidget* colorWidget = nullptr;
    QSplitter* plotSplitter = nullptr;

    bool liveRunning = false;
    bool quickSavePending = false;
    bool saveControlsPending = false;
    bool calFilesFound = false;
    bool whiteLidWanted = false;
    bool plotsCreated = false;

    std::unique_ptr<kelo::app::LiveSession> liveSession;
    std::unique_ptr<kelo::app::OperatorPrompts> prompts;
    std::unique_ptr<kelo::app::CollectedSettings> collectedSettings;
    // The controls of the features the camera in use lacks, disabled.
    std::unique_ptr<kelo::app::CameraFeatureControls> featureControls;
    kelo::app::SimulatorMenu* simulatorMenu = nullptr;  // child
    QLabel* labelFit = nullptr;                         // child of the indicator bar
    bool endingWithoutSave = false;
    int recordingFilesWritten = 0;  // by the post-processing under way
};
