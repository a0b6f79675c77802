#include "Shots.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <filesystem>
#include <utility>

#include "app/MainWindow.h"
#include "config/AtomicFile.h"
#include "simcam/SimulatorControl.h"
#include "spectra/cSpectraUtility.h"
#include "ui/formRecording.h"
#include "ui/spectrumPlotWidget.h"
#include "ui_mainwindow.h"

namespace kelo::appshots {

namespace {

// The size of the window in every picture.
constexpr int kWindowWidth = 1840;
constexpr int kWindowHeight = 896;
// Spectra come several times a second; this allows for a loaded build
// machine.
constexpr int kSpectraDeadlineMs = 20000;
constexpr int kDialogDeadlineMs = 5000;
// The series samples once a second; the samples shown and the margin above.
constexpr int kSeriesStepSeconds = 1;
constexpr int kSeriesSamplesShown = 6;
constexpr int kSeriesDeadlineMs = kSeriesSamplesShown * kSeriesStepSeconds * 1000 + 10000;
constexpr int kReconnectDeadlineMs = 20000;
// The tool icons: drawn at 64 pixels on a tile with a small margin.
constexpr int kIconTile = 72;
constexpr int kIconMargin = 4;
// Left of the cut through the indicator bar.
constexpr int kIndicatorGap = 6;
// Enough for the plots to have drawn the spectra of the new view.
constexpr int kSettlingSpectra = 10;

QMessageBox* findDeviceWaitBox(MainWindow& window) {
    auto* box = window.findChild<QMessageBox*>("deviceWaitBox");
    return box != nullptr && box->isVisible() ? box : nullptr;
}

}  // namespace

Shots::Shots(MainWindow& window, QString folder)
    : window(window), ui(*window.form()), folder(std::move(folder)) {}

void Shots::fail(const QString& reason) const {
    throw ShotFailed(QString("%1: %2").arg(step, reason).toStdString());
}

void Shots::save(QWidget& widget, const QString& name) {
    QApplication::processEvents();
    writePicture(widget.grab(), QDir(folder).filePath(name + ".png"));
}

void Shots::writePicture(const QPixmap& picture, const QString& path) const {
    const std::string problem =
        kelo::regularFileProblem(std::filesystem::u8path(path.toStdString()));
    if (!problem.empty()) fail(path + " " + QString::fromStdString(problem));
    if (!picture.save(path)) fail("could not write " + path);
}

void Shots::saveIndicatorBar() {
    // In two halves, cut before "Frame ID", so that the text stays legible
    // at the width of a page.
    QWidget& bar = *ui.widgetIndicator;
    int cut = bar.width() / 2;
    for (const QLabel* label : bar.findChildren<QLabel*>())
        if (label->text() == "Frame ID") cut = label->geometry().left() - kIndicatorGap;
    QApplication::processEvents();
    writePicture(bar.grab(QRect(0, 0, cut, bar.height())),
                 QDir(folder).filePath("indicator-bar-left.png"));
    writePicture(bar.grab(QRect(cut, 0, bar.width() - cut, bar.height())),
                 QDir(folder).filePath("indicator-bar-right.png"));
}

void Shots::toolIcons() {
    step = "tool icons";
    // On the window's own dark ground: the icons are drawn light for it.
    const QColor ground = ui.toolBar->palette().color(QPalette::Window);
    for (QAction* action : window.findChildren<QAction*>()) {
        const QString name = action->objectName();
        if (!name.startsWith("action") || action->icon().isNull()) continue;
        QImage tile(kIconTile, kIconTile, QImage::Format_ARGB32);
        tile.fill(ground);
        QPainter painter(&tile);
        action->icon().paint(&painter, QRect(kIconMargin, kIconMargin, kIconTile - 2 * kIconMargin,
                                             kIconTile - 2 * kIconMargin));
        painter.end();
        const QString path = QDir(folder).filePath("icon-" + name.mid(6).toLower() + ".png");
        if (!tile.save(path)) fail("could not write " + path);
    }
    const QString mark = QDir(folder).filePath("brevanta-mark.png");
    if (!QPixmap(":/icons/icons/BrevantaTransparentA.png").save(mark))
        fail("could not write " + mark);
}

void Shots::refuseUnexpectedPrompt() {
    const QString question = guard.takeUnexpected();
    if (!question.isEmpty()) fail("the window asked \"" + question + "\" and was told Cancel");
}

void Shots::waitForSpectra(int count) {
    int arrived = 0;
    const QMetaObject::Connection counting = QObject::connect(
        window.utility(), &cSpectraUtility::pSpectrumReady, [&arrived] { ++arrived; });
    const bool enough = waitUntil([&] { return arrived >= count; }, kSpectraDeadlineMs);
    QObject::disconnect(counting);
    refuseUnexpectedPrompt();
    if (!enough)
        fail(QString("%1 of %2 spectra within %3 s (status bar: \"%4\")")
                 .arg(arrived)
                 .arg(count)
                 .arg(kSpectraDeadlineMs / 1000)
                 .arg(window.statusBar()->currentMessage()));
}

void Shots::showScene(const char* scene) {
    if (!simcam::setScene(scene)) fail(QString("the simulated camera has no scene ") + scene);
}

void Shots::startLive() {
    window.statusBar()->clearMessage();
    ui.actionPlay->trigger();
    if (!ui.actionStop->isEnabled())
        fail("Live did not start (status bar: \"" + window.statusBar()->currentMessage() + "\")");
}

void Shots::stopLive() {
    ui.actionStop->trigger();
    if (!ui.actionPlay->isEnabled()) fail("Stop did not give Live back");
}

void Shots::collectAtOnce(QAction* action) {
    window.statusBar()->clearMessage();
    action->trigger();
    refuseUnexpectedPrompt();
    // A collection without a spectrum says why in the status bar.
    const QString message = window.statusBar()->currentMessage();
    if (!message.isEmpty()) fail(action->text() + ": " + message);
}

void Shots::startWindow() {
    step = "start-up";
    window.resize(kWindowWidth, kWindowHeight);
    window.show();
    // The box that waits for a camera and the calibration question are
    // answered with Cancel by the guard, which ends the start-up.
    const bool started = window.initialise();
    refuseUnexpectedPrompt();
    if (!started) fail("the window did not start");
}

void Shots::liveWindow() {
    step = "live window";
    showScene("fluorescent");
    startLive();
    waitForSpectra(2 * kSettlingSpectra);
    // The fit read-out and the frame rate follow the spectra a little later.
    const auto* fit = window.findChild<QLabel*>("labelFit");
    const bool indicated = waitUntil(
        [&] {
            return (fit == nullptr || !fit->text().isEmpty()) && !ui.labelfps->text().isEmpty();
        },
        kSpectraDeadlineMs);
    if (!indicated) fail("the indicator bar shows no fit or frame rate");
    save(window, "main-window-live");
    stopLive();
}

void Shots::settingsPanel() {
    step = "settings panel";
    startLive();
    if (!ui.actionSettings->isChecked()) ui.actionSettings->trigger();
    ui.tabWidgetControls->setCurrentWidget(ui.tabControls);
    waitForSpectra(kSettlingSpectra);
    save(*ui.settingsFrame, "settings-controls");
    ui.tabWidgetControls->setCurrentWidget(ui.tabSaveOpts);
    waitForSpectra(kSettlingSpectra);
    save(window, "save-options");
    stopLive();
    ui.tabWidgetControls->setCurrentWidget(ui.tabControls);
    ui.actionSettings->trigger();
}

void Shots::reflectanceAndColour() {
    step = "reflectance";
    // Dark with the lamp's light shut out, bright on the white tile, then
    // the sample.
    showScene("dark");
    collectAtOnce(ui.actionDark);
    ui.actionDarkCorrect->trigger();
    showScene("white");
    collectAtOnce(ui.actionBright);
    showScene("red");
    startLive();
    waitForSpectra(kSettlingSpectra);
    window.spectrumView()->on_pbReflectance_clicked();
    int colours = 0;
    const QMetaObject::Connection counting = QObject::connect(
        window.utility(), &cSpectraUtility::CIELABRGBReady, [&colours] { ++colours; });
    waitForSpectra(2 * kSettlingSpectra);
    QObject::disconnect(counting);
    if (colours == 0) fail("reflectance spectra arrived without a colour");
    save(window, "reflectance");
    step = "colorimetry";
    save(*ui.RFrame, "colorimetry");

    step = "indicator bar";
    // One more average than the dark was collected with: its lamp turns amber.
    const int averages = ui.spinBoxAverages->value();
    ui.spinBoxAverages->setValue(averages + 1);
    waitForSpectra(kSettlingSpectra);
    saveIndicatorBar();
    ui.spinBoxAverages->setValue(averages);
    window.spectrumView()->on_pbScope_clicked();
    stopLive();
}

void Shots::recordingDialog() {
    step = "recording dialog";
    formRecording* dialog = window.recordingDialog();
    // The dialog runs modally inside the action: it is pictured and closed
    // from a timer.
    guard.expect([dialog](const QWidget* shown) { return shown == dialog; });
    bool pictured = false;
    QString failure;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (pictured || !dialog->isVisible()) return;
        pictured = true;
        try {
            save(*dialog, "recording");
        } catch (const ShotFailed& error) {
            failure = error.what();
        }
        dialog->reject();
    });
    watch.start(20);
    ui.actionRecording->trigger();
    waitUntil([&] { return pictured; }, kDialogDeadlineMs);
    watch.stop();
    guard.expect({});
    if (!failure.isEmpty()) throw ShotFailed(failure.toStdString());
    if (!pictured) fail("the Recording action showed no dialog");
}

void Shots::timeSeries() {
    step = "time series";
    showScene("fluorescent");
    // The series' files go to a folder of the run, not to the operator's.
    const QString saveFolder = QDir::current().absoluteFilePath("saved");
    if (!QDir().mkpath(saveFolder)) fail("could not create " + saveFolder);
    ui.lblSaveDir->setPlainText(saveFolder);
    if (!ui.actionTimeSeries->isChecked()) ui.actionTimeSeries->trigger();
    ui.lineEditTSName->setText("Series");
    ui.comboBoxMetric->setCurrentIndex(0);
    ui.spinBoxWvlStart->setValue(500);
    ui.spinBoxWvlEnd->setValue(600);
    ui.spinBoxTimeStep->setValue(kSeriesStepSeconds);
    ui.spinBoxSamples->setValue(10);
    ui.checkBoxSaveSpectrum->setChecked(false);

    int samples = 0;
    const QMetaObject::Connection counting =
        QObject::connect(window.utility(), &cSpectraUtility::onTSSpectrumRecieved,
                         [&samples](double&, int&) { ++samples; });
    ui.pBStartTimeSeries->click();
    refuseUnexpectedPrompt();
    // A different lamp half-way, so that the curve shows a change.
    const bool halfway =
        waitUntil([&] { return samples >= kSeriesSamplesShown / 2; }, kSeriesDeadlineMs);
    if (halfway) showScene("halogen");
    const bool progressed =
        halfway && waitUntil([&] { return samples >= kSeriesSamplesShown; }, kSeriesDeadlineMs);
    QObject::disconnect(counting);
    refuseUnexpectedPrompt();
    if (!progressed)
        fail(QString("%1 samples within %2 s").arg(samples).arg(kSeriesDeadlineMs / 1000));
    save(window, "time-series");

    if (window.utility()->isTimeSeriesRunning()) {
        ui.pBStopTimeSeries->click();
        if (!waitUntil([&] { return !window.utility()->isTimeSeriesRunning(); }, kDialogDeadlineMs))
            fail("Stop did not end the series");
    }
    ui.actionTimeSeries->trigger();
}

void Shots::deviceWaitBox() {
    step = "device wait box";
    const simcam::SimulatorSettings settings = simcam::currentSettings();
    if (settings.cameras.empty()) fail("no simulated camera to unplug");
    const std::string serial = settings.cameras.front().serialNumber;

    guard.expect([](const QWidget* shown) { return shown->objectName() == "deviceWaitBox"; });
    int assembled = 0;
    const QMetaObject::Connection counting =
        QObject::connect(&window, &MainWindow::assembled, [&assembled] { ++assembled; });
    bool pictured = false;
    QString failure;
    // The window waits for the camera inside its own event processing.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QMessageBox* box = pictured ? nullptr : findDeviceWaitBox(window);
        if (box == nullptr) return;
        pictured = true;
        try {
            save(*box, "device-wait");
        } catch (const ShotFailed& error) {
            failure = error.what();
        }
        simcam::plugIn(serial);
    });
    watch.start(20);
    simcam::unplug(serial);
    const bool back = waitUntil([&] { return assembled > 0; }, kReconnectDeadlineMs);
    watch.stop();
    QObject::disconnect(counting);
    guard.expect({});
    if (!failure.isEmpty()) throw ShotFailed(failure.toStdString());
    if (!pictured) fail("no box appeared after the camera was unplugged");
    if (!back) fail("the window was not rebuilt after the camera came back");
}

}  // namespace kelo::appshots
