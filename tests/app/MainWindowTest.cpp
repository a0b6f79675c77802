// The whole window on the simulated camera, driven as an operator drives it:
// start-up with and without a camera, live and single acquisitions, the
// collections and corrections, hardware trigger, unplugging, a camera that
// lacks features, the Devices menu, and the end.
#include <sys/resource.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QMessageBox>
#include <QSpinBox>
#include <QDoubleSpinBox>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "SimulatedUnitFolder.h"
#include "TestSupport.h"
#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "app/Theme.h"
#include "device/DeviceRegistry.h"
#include "device/KelDevice.h"
#include "sim/SyntheticUnit.h"
#include "simcam/SimulatorControl.h"
#include "spectra/cSpectraUtility.h"
#include "ui/XCustomPlot.h"
#include "ui/formRecording.h"
#include "ui/spectrumPlotWidget.h"
#include "../../app/src/OperatorPrompts.h"
#include "ui_mainwindow.h"

namespace {

namespace fs = std::filesystem;
namespace sim = kelo::sim;
namespace simcam = kelo::simcam;
using Brevanta::KelDevice;
using Brevanta::KelSpectro;

constexpr const char* kUnit = "K3S00042";
constexpr int kDeadlineMs = 10000;

// Under AddressSanitizer freed memory waits in a quarantine, so the resident
// size grows whatever the program does; LeakSanitizer finds leaks there.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kResidentSizeMeansMemoryHeld = false;
#else
constexpr bool kResidentSizeMeansMemoryHeld = true;
#endif

// The operator's answers: Browse once, then `folder` (Cancel when empty);
// `saveAs` in the Save dialog; warnings and opened documents are noted.
class ScriptedPrompts : public kelo::app::OperatorPrompts {
public:
    explicit ScriptedPrompts(QString folder) : folder(std::move(folder)) {}
    bool offerCalibrationBrowse(QWidget*, const QString&) override {
        ++offers;
        return !folder.isEmpty() && offers == 1;
    }
    QString chooseFolder(QWidget*, const QString&) override { return folder; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return saveAs;
    }
    void warn(QWidget*, const QString&, const QString& text) override { warnings << text; }
    bool openDocument(const QUrl& document) override {
        opened << document;
        return true;
    }

    QString folder;
    QString saveAs;
    int offers = 0;
    QStringList warnings;
    QList<QUrl> opened;
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    return 0;
}

// Pictures of the running window, in the build's screenshot folder.
void saveScreenshot(QWidget& window, const QString& name) {
    QDir().mkpath(KELO_SCREENSHOT_DIR);
    QVERIFY(window.grab().save(QString(KELO_SCREENSHOT_DIR) + "/" + name + ".png"));
}

QMessageBox* deviceWaitBox(MainWindow& window) {
    auto* box = window.findChild<QMessageBox*>("deviceWaitBox");
    return box != nullptr && box->isVisible() ? box : nullptr;
}

// Spectra the window's utility passed on to the plot.
class SpectrumCounter {
public:
    explicit SpectrumCounter(MainWindow& window) {
        connection = QObject::connect(window.utility(), &cSpectraUtility::pSpectrumReady,
                                      [this] { ++count; });
    }
    ~SpectrumCounter() { QObject::disconnect(connection); }
    int count = 0;

private:
    QMetaObject::Connection connection;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void waitsIdlyForACameraAndStartsWhenOneIsPluggedIn();
    void cancellingTheWaitEndsWithoutWritingTheUserFile();
    void aMissingCalibrationIsCopiedFromTheChosenFolder();
    void liveSpectraSettingsAndAutoExposure();
    void collectionsCorrectionsAndTheFlashGroup();
    void hardwareTriggerGivesSpectraAndSnapSwitchesItOff();
    void unplugAndPlugInRebuildTheWindow();
    void controlsOfFeaturesTheCameraLacksAreDisabledUntilACameraServesThem();
    void theNetworkSearchIsOffUntilChosenAndRemembered();
    void unitsWithoutColourOrBlurStartWithoutThem();
    void closingWritesTheUserConfiguration();
    void quickSavesAndTheSaveDialogWriteTheirFiles();
    void aTimeSeriesThatEndsByItselfGivesBackTheColourGrid();
    void recordingWritesItsFramesAlsoWhenAborted();
    void helpOpensTheManual();

private:
    // A window started on a new camera showing `scene` (the test unit unless
    // `unit` is given); null, with the test failed, when start-up failed.
    std::unique_ptr<MainWindow> startWindow(const std::string& scene = "halogen",
                                            const std::string& unit = kUnit);
    // A window started on the cameras plugged in now.
    std::unique_ptr<MainWindow> launchWindow();
    fs::path userFile(const std::string& unit = kUnit) const {
        return folder->path() / "cal" / unit / (unit + "-cfgUsr.txt");
    }

    std::unique_ptr<kelo::test::SimulatedUnitFolder> folder;
    // The operator's remembered choices, away from the user's own.
    QTemporaryDir settingsFolder;
    std::string serial;
    ScriptedPrompts* prompts = nullptr;  // of the window startWindow made
};

void MainWindowTest::initTestCase() {
    kelo::app::applyTheme(*qApp);
    QVERIFY(settingsFolder.isValid());
    QCoreApplication::setOrganizationName("Brevanta");
    QCoreApplication::setApplicationName("KeloView");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    folder = std::make_unique<kelo::test::SimulatedUnitFolder>(kUnit);
}

void MainWindowTest::cleanupTestCase() {
    folder.reset();
}

void MainWindowTest::cleanup() {
    simcam::setTriggerRate(0.0);
}

std::unique_ptr<MainWindow> MainWindowTest::startWindow(const std::string& scene,
                                                        const std::string& unit) {
    serial = folder->plugCameras(1, scene, unit).front();
    return launchWindow();
}

std::unique_ptr<MainWindow> MainWindowTest::launchWindow() {
    auto window = std::make_unique<MainWindow>();
    auto answers = std::make_unique<ScriptedPrompts>(QString());
    prompts = answers.get();
    window->setPrompts(std::move(answers));
    window->resize(1840, 896);
    window->show();
    if (!window->initialise()) {
        QTest::qFail("start-up failed", __FILE__, __LINE__);
        return nullptr;
    }
    return window;
}

void MainWindowTest::waitsIdlyForACameraAndStartsWhenOneIsPluggedIn() {
    folder->plugCameras(0, "halogen");
    MainWindow window;
    window.show();
    double cpuWhileWaiting = -1.0;
    bool boxShown = false;
    QTimer::singleShot(200, [&] {
        boxShown = deviceWaitBox(window) != nullptr;
        const double before = cpuSeconds();
        QTimer::singleShot(1000, [&, before] {
            cpuWhileWaiting = cpuSeconds() - before;
            serial = folder->plugCameras(1, "halogen").front();
        });
    });
    QVERIFY(window.initialise());
    QVERIFY(boxShown);
    QVERIFY(deviceWaitBox(window) == nullptr);
    // A second of waiting costs the process far less than a second of work.
    QVERIFY2(cpuWhileWaiting < 0.3, qPrintable(QString::number(cpuWhileWaiting)));

    // Ready: the device's settings on screen and one spectrum on the plot.
    Ui::MainWindow* ui = window.form();
    std::shared_ptr<KelSpectro> spectro = window.controller();
    QCOMPARE(ui->labelDevID->text(), QString(kUnit));
    QCOMPARE(ui->labelExpTime->text(),
             QString::number(spectro->getExposureTime() / 1000.0, 'g', 6));
    QCOMPARE(ui->doubleSpinBoxExpTime->value(), spectro->getExposureTime() / 1000.0);
    QCOMPARE(ui->spinBoxGain->value(), static_cast<int>(spectro->getGain()));
    QCOMPARE(ui->doubleSpinBoxAEMin->value(), 0.01);
    QCOMPARE(ui->doubleSpinBoxAEMax->value(), 100.0);
    QVERIFY(ui->actionFlashAuto->isChecked());
    QVERIFY(!ui->actionFlashOn->isChecked() && !ui->actionFlashOff->isChecked());
    QVERIFY(window.spectrumView()->plot()->graph(0)->dataCount() > 0);
    QCOMPARE(ui->listWidgetdevList->count(), 1);
    QVERIFY(ui->actionPlay->isEnabled() && !ui->actionStop->isEnabled());
    QVERIFY(ui->actionSave->isEnabled());
    QVERIFY(window.findChild<QMenu*>("menuSimulator") != nullptr);
    QCOMPARE(ui->actionPlay->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(ui->actionPlay->toolTip(), QString("Acquire live spectrum (F5)"));
}

void MainWindowTest::cancellingTheWaitEndsWithoutWritingTheUserFile() {
    folder->plugCameras(0, "halogen");
    const std::string before = kelo::test::readText(userFile());
    const auto modified = fs::last_write_time(userFile());
    MainWindow window;
    window.show();
    QTimer::singleShot(200, [&] {
        QMessageBox* box = deviceWaitBox(window);
        QVERIFY(box != nullptr);
        box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!window.initialise());
    window.close();
    QCOMPARE(kelo::test::readText(userFile()), before);
    QVERIFY(fs::last_write_time(userFile()) == modified);
}

void MainWindowTest::aMissingCalibrationIsCopiedFromTheChosenFolder() {
    // The unit's calibration files live elsewhere, in a folder named after it.
    kelo::test::ScopedWorkDir elsewhere;
    sim::SyntheticUnitOptions options;
    options.id = "K3S00051";
    options.root = elsewhere.path();
    std::ostringstream log;
    QCOMPARE(sim::writeSyntheticUnit(options, log), std::string());
    fs::current_path(folder->path());
    const fs::path kept = elsewhere.path() / "cal" / "K3S00051";
    const fs::path unitFolder = folder->path() / "cal" / "K3S00051";
    fs::create_directories(unitFolder);
    for (const char* file : {"-cfgSys.bin", "-cfgUsr.txt"})
        fs::copy_file(kept / (std::string("K3S00051") + file),
                      unitFolder / (std::string("K3S00051") + file));

    serial = folder->plugCameras(1, "halogen", "K3S00051").front();
    MainWindow window;
    auto prompts = std::make_unique<ScriptedPrompts>(QString::fromStdString(kept.string()));
    ScriptedPrompts* answers = prompts.get();
    window.setPrompts(std::move(prompts));
    window.show();
    QVERIFY(window.initialise());
    QCOMPARE(answers->offers, 1);
    QVERIFY(fs::exists(unitFolder / "K3S00051-TMat.bin"));
    QVERIFY(window.spectrumView()->plot()->graph(0)->dataCount() > 0);
}

void MainWindowTest::liveSpectraSettingsAndAutoExposure() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();
    SpectrumCounter spectra(*window);
    ui->spinBoxAverages->setValue(1);
    ui->labelfps->setText("-");
    ui->actionPlay->trigger();
    QVERIFY(ui->actionStop->isEnabled() && !ui->actionPlay->isEnabled());
    QVERIFY(!ui->actionSnap->isEnabled() && !ui->actionColor->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(spectra.count >= 20, kDeadlineMs);
    QTRY_VERIFY_WITH_TIMEOUT(ui->labelfps->text() != "-", kDeadlineMs);
    QVERIFY(!ui->lineEditImgNum->text().isEmpty());
    saveScreenshot(*window, "main-window-live");

    // Auto exposure while live: the box is the camera's; Stop gives it back.
    ui->actionAE->trigger();
    QVERIFY(!ui->doubleSpinBoxExpTime->isEnabled());
    ui->actionStop->trigger();
    QVERIFY(!ui->actionAE->isChecked() && !ui->actionAE->isEnabled());
    QVERIFY(ui->doubleSpinBoxExpTime->isEnabled());
    QCOMPARE(ui->doubleSpinBoxExpTime->value(),
             std::round(window->controller()->getExposureTime()) / 1000.0);
    QVERIFY(ui->actionPlay->isEnabled() && ui->actionSnap->isEnabled());
    QVERIFY(!window->controller()->isAcquiring());

    // Live again at once: the stop was waited for, so the start is not lost.
    const int before = spectra.count;
    ui->actionPlay->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(spectra.count > before + 5, kDeadlineMs);
    ui->actionStop->trigger();
    QVERIFY(!window->controller()->isAcquiring());
}

void MainWindowTest::collectionsCorrectionsAndTheFlashGroup() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();

    // A dark while idle is taken at once.
    QVERIFY(!ui->actionDarkCorrect->isEnabled());
    ui->actionDark->trigger();
    QVERIFY(!ui->actionDark->isChecked());
    QCOMPARE(ui->labelDark->styleSheet(), QString("background: red"));
    QVERIFY(ui->actionDarkCorrect->isEnabled());
    ui->actionDarkCorrect->trigger();
    QCOMPARE(ui->labelDC->text(), QString("DC"));
    QVERIFY(window->controller()->getDarkSubtraction());

    // A setting changed since: the lamp says so.
    ui->doubleSpinBoxExpTime->setValue(ui->doubleSpinBoxExpTime->value() + 1.0);
    QVERIFY(ui->labelDark->styleSheet() != QString("background: red"));
    QVERIFY(ui->labelDark->toolTip().contains("exposure"));

    // Colorimetry off invalidates what was collected.
    ui->actionColor->trigger();
    QVERIFY(!ui->actionColor->isChecked());
    QCOMPARE(ui->labelDark->styleSheet(), QString(" "));
    QVERIFY(!ui->actionDarkCorrect->isEnabled() && !ui->actionDarkCorrect->isChecked());
    QCOMPARE(ui->labelDC->text(), QString());
    QVERIFY(!window->controller()->getDarkSubtraction());

    // Reference and bright during live come from the next spectra.
    ui->actionPlay->trigger();
    ui->actionRef->trigger();
    ui->actionBright->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!ui->actionRef->isChecked() && !ui->actionBright->isChecked(),
                             kDeadlineMs);
    QVERIFY(ui->actionRefCorrect->isEnabled());
    QCOMPARE(ui->labelBright->styleSheet(), QString("background: red"));
    ui->actionStop->trigger();

    // The flash: one of three, and clicking the chosen one keeps it.
    ui->actionFlashOn->trigger();
    QVERIFY(ui->actionFlashOn->isChecked());
    QVERIFY(!ui->actionFlashAuto->isChecked() && !ui->actionFlashOff->isChecked());
    ui->actionFlashOn->trigger();
    QVERIFY(ui->actionFlashOn->isChecked());
    ui->actionFlashOff->trigger();
    QVERIFY(ui->actionFlashOff->isChecked() && !ui->actionFlashOn->isChecked());

    // A camera that delivers nothing: the collection gives up after the
    // frame time-out and says why.
    simcam::dropFrames(serial, 1000000);
    ui->actionDark->trigger();
    QVERIFY(!ui->actionDark->isChecked());
    QVERIFY2(window->statusBar()->currentMessage().startsWith(
                 "Dark: no spectrum (no frame from the camera within "),
             qPrintable(window->statusBar()->currentMessage()));
}

void MainWindowTest::hardwareTriggerGivesSpectraAndSnapSwitchesItOff() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();
    ui->spinBoxAverages->setValue(2);
    SpectrumCounter spectra(*window);
    ui->actionHWTrigger->trigger();
    QVERIFY(ui->actionHWTrigger->isChecked());
    simcam::setTriggerRate(20.0);
    QTRY_VERIFY_WITH_TIMEOUT(spectra.count >= 3, kDeadlineMs);
    simcam::setTriggerRate(0.0);

    // Snap switches the trigger off first and takes its spectrum at once.
    const int before = spectra.count;
    ui->actionSnap->trigger();
    QVERIFY(!ui->actionHWTrigger->isChecked());
    QCOMPARE(window->controller()->getTriggerMode(), KelDevice::kSoftwareTrigger);
    QVERIFY(spectra.count > before);

    // Armed without pulses, a dark is taken at once after switching it off.
    ui->actionHWTrigger->trigger();
    ui->actionDark->trigger();
    QVERIFY(!ui->actionHWTrigger->isChecked());
    QCOMPARE(ui->labelDark->styleSheet(), QString("background: red"));
    QVERIFY(!window->controller()->isAcquiring());
}

void MainWindowTest::unplugAndPlugInRebuildTheWindow() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    QSignalSpy assembled(window.get(), &MainWindow::assembled);
    // The operator unplugs and plugs in through the Simulator menu, which
    // stays usable while the window waits. The window waits inside its own
    // event processing, so the operator's part runs from a timer.
    QAction* unplug = nullptr;
    for (QAction* action : window->findChild<QMenu*>("menuSimulator")->actions())
        if (action->text() == "Unplug camera") unplug = action;
    QVERIFY(unplug != nullptr);
    bool boxSeen = false;
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        if (deviceWaitBox(*window) == nullptr) return;
        boxSeen = true;
        operatorHand.stop();
        QTimer::singleShot(50, unplug, &QAction::trigger);
    });
    long residentAtFifth = 0;
    for (int cycle = 1; cycle <= 20; ++cycle) {
        if (cycle % 2 == 0) window->form()->actionPlay->trigger();
        boxSeen = false;
        operatorHand.start(5);
        unplug->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(assembled.count(), cycle, kDeadlineMs);
        QVERIFY(boxSeen);
        QVERIFY(deviceWaitBox(*window) == nullptr);
        QVERIFY(window->form()->actionPlay->isEnabled());
        if (cycle == 5) residentAtFifth = residentKilobytes();
    }
    // The same window rebuilt fifteen times more holds no more memory for it.
    const long grown = residentKilobytes() - residentAtFifth;
    QVERIFY2(grown < 20000 || !kResidentSizeMeansMemoryHeld,
             qPrintable(QString("%1 kB").arg(grown)));
    SpectrumCounter spectra(*window);
    window->form()->actionPlay->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(spectra.count >= 3, kDeadlineMs);
    window->form()->actionStop->trigger();
}

void MainWindowTest::controlsOfFeaturesTheCameraLacksAreDisabledUntilACameraServesThem() {
    serial = folder->plugCameras(1, "halogen").front();
    simcam::removeNode(serial, "LineSelector");
    simcam::removeNode(serial, "ExposureAuto");
    std::unique_ptr<MainWindow> window = launchWindow();
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();
    const QList<QAction*> flashModes = {ui->actionFlashOff, ui->actionFlashAuto,
                                        ui->actionFlashOn};
    for (QAction* flash : flashModes) {
        QVERIFY(!flash->isEnabled());
        QCOMPARE(flash->toolTip(),
                 QString("This camera has no LineSelector node: flash is not available"));
    }
    const QString noAutoExposure =
        "This camera has no ExposureAuto node: automatic exposure is not available";
    QCOMPARE(ui->actionAE->toolTip(), noAutoExposure);
    for (QWidget* limit : {ui->doubleSpinBoxAEMin, ui->doubleSpinBoxAEMax}) {
        QVERIFY(!limit->isEnabled());
        QCOMPARE(limit->toolTip(), noAutoExposure);
    }
    QVERIFY(ui->spinBoxGain->isEnabled() && ui->actionHWTrigger->isEnabled());
    QCOMPARE(ui->actionHWTrigger->toolTip(), QString("HW trigger (F8)"));

    // Live, which offers auto exposure, does not offer it here.
    ui->actionPlay->trigger();
    QVERIFY(ui->actionStop->isEnabled() && !ui->actionAE->isEnabled());
    ui->actionStop->trigger();
    QVERIFY(ui->actionHWTrigger->isEnabled());

    // Another camera, serving everything: the controls are the form's again.
    QSignalSpy assembled(window.get(), &MainWindow::assembled);
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        if (deviceWaitBox(*window) == nullptr) return;
        operatorHand.stop();
        serial = folder->plugCameras(1, "halogen").front();
    });
    operatorHand.start(5);
    simcam::unplug(serial);
    QTRY_COMPARE_WITH_TIMEOUT(assembled.count(), 1, kDeadlineMs);
    QVERIFY(std::all_of(flashModes.begin(), flashModes.end(),
                        [](QAction* flash) { return flash->isEnabled(); }));
    QCOMPARE(ui->actionFlashOff->toolTip(), QString("Switch the flash off"));
    QVERIFY(ui->doubleSpinBoxAEMin->isEnabled() && ui->doubleSpinBoxAEMin->toolTip().isEmpty());
    QCOMPARE(ui->actionAE->toolTip(), QString("Auto Exposure Mode"));
    ui->actionPlay->trigger();
    QVERIFY(ui->actionAE->isEnabled());
    ui->actionStop->trigger();
}

void MainWindowTest::theNetworkSearchIsOffUntilChosenAndRemembered() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    const auto networkSearch = [](MainWindow& window) {
        auto* devices = window.findChild<QMenu*>("menuDevices");
        return devices != nullptr ? devices->findChild<QAction*>("actionNetworkSearch") : nullptr;
    };
    QAction* search = networkSearch(*window);
    QVERIFY(search != nullptr);
    QCOMPARE(search->text(), QString("Search the network for GigE cameras"));
    QVERIFY(search->statusTip().contains("broadcast packets on every network interface"));
    QVERIFY(search->isCheckable() && !search->isChecked());
    QVERIFY(!DeviceRegistry::networkSearch());

    search->trigger();
    QVERIFY(DeviceRegistry::networkSearch());
    window.reset();
    DeviceRegistry::setNetworkSearch(false);
    // The next start searches again.
    MainWindow next;
    QVERIFY(networkSearch(next)->isChecked());
    QVERIFY(DeviceRegistry::networkSearch());
    networkSearch(next)->trigger();
    QVERIFY(!DeviceRegistry::networkSearch());
    QVERIFY(!QSettings().value("devices/networkSearch").toBool());
}

void MainWindowTest::unitsWithoutColourOrBlurStartWithoutThem() {
    for (const bool fluorescence : {true, false}) {
        sim::SyntheticUnitOptions options;
        options.id = fluorescence ? "K3S00061" : "K3S00062";
        options.root = folder->path();
        options.fluorescence = fluorescence;
        options.gaussBlur = !fluorescence;
        std::ostringstream log;
        QCOMPARE(sim::writeSyntheticUnit(options, log), std::string());
        std::unique_ptr<MainWindow> window = startWindow("halogen", options.id);
        QVERIFY(window != nullptr);
        Ui::MainWindow* ui = window->form();
        QCOMPARE(ui->actionColor->isVisible(), !fluorescence);
        QCOMPARE(ui->RFrame->isVisible(), !fluorescence);
        QCOMPARE(ui->gbComboBox->isHidden(), fluorescence);
        QCOMPARE(ui->gbLabel->isHidden(), fluorescence);
        QVERIFY(window->spectrumView()->plot()->graph(0)->dataCount() > 0);
    }
}

void MainWindowTest::closingWritesTheUserConfiguration() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();
    ui->spinBoxGain->setValue(3);
    ui->doubleSpinBoxExpTime->setValue(20.0);
    ui->actionPlay->trigger();
    window->close();
    const std::string written = kelo::test::readText(userFile());
    QVERIFY2(written.rfind("hwGain: 3.000000\nhwExposureTime: 20000.000000\nSaveDirPath: ", 0) == 0,
             written.c_str());
    QVERIFY(!window->controller()->isAcquiring());
}

void MainWindowTest::quickSavesAndTheSaveDialogWriteTheirFiles() {
    std::unique_ptr<MainWindow> window = startWindow("white");
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();
    kelo::test::ScopedWorkDir saves;
    fs::current_path(folder->path());
    const QString saveFolder = QString::fromStdString(saves.path().string());
    ui->lblSaveDir->setPlainText(saveFolder);
    // With a bright spectrum the colour goes along.
    ui->actionBright->trigger();
    QVERIFY(!ui->actionBright->isChecked());

    ui->actionQuickSave->trigger();
    const std::vector<std::string> lines =
        kelo::test::linesOf(kelo::test::readText(saves.path() / "Default_0.txt"));
    QVERIFY(std::find(lines.begin(), lines.end(), "# Wavelength Units : \tnm") != lines.end());
    QVERIFY(std::find(lines.begin(), lines.end(), "# Spectrum Units : \tcounts") != lines.end());
    QVERIFY(fs::exists(saves.path() / "Default_Color.txt"));
    QCOMPARE(ui->spinBoxSFno->value(), 1);
    QCOMPARE(ui->plainTextEditDir->toPlainText(), saveFolder + "/Default_0.txt");
    ui->lineEditScanName->setText("Defaults");
    QCOMPARE(ui->spinBoxSFno->value(), 0);

    // A save that fails advances nothing: the folder is a file.
    ui->lblSaveDir->setPlainText(saveFolder + "/Default_0.txt");
    ui->actionQuickSave->trigger();
    QCOMPARE(ui->spinBoxSFno->value(), 0);
    QCOMPARE(ui->plainTextEditDir->toPlainText(), saveFolder + "/Default_0.txt");
    // Number 99 is the last; the operator is told how to go on.
    ui->spinBoxSFno->setValue(99);
    ui->actionQuickSave->trigger();
    QVERIFY(window->statusBar()->currentMessage().contains("used up"));

    // The Save dialog: the type from the name, the colour in a file of its own.
    fs::create_directory(saves.path() / "run.2");
    prompts->saveAs = saveFolder + "/run.2/first";
    ui->actionSave->trigger();
    QVERIFY(fs::exists(saves.path() / "run.2" / "first.txt"));
    const std::string colour = kelo::test::readText(saves.path() / "run.2" / "first_Color.txt");
    QCOMPARE(colour.substr(0, 6), std::string("# fnum"));
    prompts->saveAs = saveFolder + "/second.csv";
    ui->actionSave->trigger();
    QVERIFY(fs::exists(saves.path() / "second.csv"));
    QCOMPARE(ui->spinBoxSFno->value(), 99);
}

void MainWindowTest::aTimeSeriesThatEndsByItselfGivesBackTheColourGrid() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    Ui::MainWindow* ui = window->form();
    kelo::test::ScopedWorkDir saves;
    fs::current_path(folder->path());
    ui->lblSaveDir->setPlainText(QString::fromStdString(saves.path().string()));
    const std::size_t colourGrid = window->controller()->getWavelengths().size();

    ui->actionTimeSeries->trigger();
    QCOMPARE(ui->tabWidgetControls->currentWidget(), ui->tabTimeSeries);
    ui->lineEditTSName->setText("series");
    ui->spinBoxSamples->setValue(3);
    ui->spinBoxTimeStep->setValue(1);
    ui->checkBoxSaveSpectrum->setChecked(true);
    ui->pBStartTimeSeries->click();
    QVERIFY(!ui->pBStartTimeSeries->isEnabled() && !ui->actionPlay->isEnabled());
    QVERIFY(window->controller()->getWavelengths().size() > colourGrid);
    QTRY_VERIFY_WITH_TIMEOUT(ui->pBStartTimeSeries->isEnabled(), kDeadlineMs);

    const fs::path files = saves.path() / "series";
    for (const char* name : {"series_0.txt", "series_1.txt", "series_2.txt", "series.txt"})
        QVERIFY2(fs::exists(files / name), name);
    QCOMPARE(ui->labelTime->text(), QString("2"));
    QVERIFY(ui->labelMetric->text() != "Metric:xxxx");
    QVERIFY(ui->actionPlay->isEnabled() && !ui->pBStopTimeSeries->isEnabled());
    // Back on the colour grid, and everything that reads the grid knows.
    QCOMPARE(window->controller()->getWavelengths().size(), colourGrid);
    QCOMPARE(window->utility()->getSpectrumWavelengths().size(), colourGrid);

    // Without a name the series does not start.
    ui->lineEditTSName->clear();
    ui->pBStartTimeSeries->click();
    QVERIFY(ui->pBStartTimeSeries->isEnabled());
    QCOMPARE(prompts->warnings.size(), 1);
}

void MainWindowTest::recordingWritesItsFramesAlsoWhenAborted() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    formRecording* dialog = window->recordingDialog();
    kelo::test::ScopedWorkDir saves;
    fs::current_path(folder->path());
    dialog->findChild<QLineEdit*>("lineEditFolder")->setText(QString::fromStdString(saves.path().string()));
    dialog->findChild<QLineEdit*>("lineEditRecName")->setText("rec");
    dialog->findChild<QSpinBox*>("spinBoxNumFrames")->setValue(3);
    dialog->findChild<QSpinBox*>("spinBoxSkipFrames")->setValue(1);
    QSignalSpy progress(dialog->findChild<QProgressBar*>("progressBar"), &QProgressBar::valueChanged);
    window->form()->actionPlay->trigger();  // the recording takes the camera from the live loop
    dialog->findChild<QPushButton*>("pushButtonStart")->click();
    for (const char* name : {"rec_1.txt", "rec_2.txt", "rec_3.txt"})
        QVERIFY2(fs::exists(saves.path() / name), name);
    QVERIFY(!fs::exists(saves.path() / "rec_4.txt"));
    QList<int> values;
    for (const QList<QVariant>& arguments : progress) values << arguments.at(0).toInt();
    // The frames recorded, then the files written.
    QCOMPARE(values, (QList<int>{33, 66, 100, 33, 66, 100}));
    QVERIFY(!window->form()->actionStop->isEnabled());

    // Aborted after two frames: those two are still written.
    dialog->findChild<QSpinBox*>("spinBoxNumFrames")->setValue(10);
    dialog->findChild<QLineEdit*>("lineEditRecName")->setText("cut");
    QPushButton* abort = dialog->findChild<QPushButton*>("pushButtonAbort");
    const QMetaObject::Connection cut = QObject::connect(
        window->controller().get(), &KelSpectro::recordedfps, abort, [abort](double, int frame, int) {
            if (frame == 2) abort->click();
        });
    dialog->findChild<QPushButton*>("pushButtonStart")->click();
    QObject::disconnect(cut);
    QVERIFY(fs::exists(saves.path() / "cut_1.txt") && fs::exists(saves.path() / "cut_2.txt"));
    QVERIFY(!fs::exists(saves.path() / "cut_3.txt"));
    QVERIFY(dialog->findChild<QLabel*>("labelMessage")->text().contains("2 of 2 files written"));
}

void MainWindowTest::helpOpensTheManual() {
    std::unique_ptr<MainWindow> window = startWindow();
    QVERIFY(window != nullptr);
    const auto clickInHelp = [](const QString& buttonText) {
        QTimer::singleShot(100, [buttonText] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            for (QAbstractButton* button : box->buttons())
                if (button->text() == buttonText) button->click();
            box->button(QMessageBox::Ok)->click();
        });
    };
    // Not installed: the operator is told where it was looked for.
    fs::remove_all(folder->path() / "docs");
    clickInHelp("View Manual");
    window->form()->actionHelp->trigger();
    QCOMPARE(prompts->warnings.size(), 1);
    QVERIFY(prompts->warnings.front().contains("docs/Brevanta_Kelo3_Spectrometer_SW_Manual.pdf"));

    fs::create_directories(folder->path() / "docs");
    fs::copy_file(KELO_MANUAL_PDF, folder->path() / "docs" / "Brevanta_Kelo3_Spectrometer_SW_Manual.pdf");
    clickInHelp("View Manual");
    window->form()->actionHelp->trigger();
    QCOMPARE(prompts->opened.size(), 1);
    QCOMPARE(prompts->opened.front().toLocalFile(),
             QString::fromStdString((folder->path() / "docs" /
                                     "Brevanta_Kelo3_Spectrometer_SW_Manual.pdf").string()));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
