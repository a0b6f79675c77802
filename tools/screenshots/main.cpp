// kelo_screenshots OUTPUT_FOLDER: writes PNG pictures of the main window form
// and of each plot, panel and dialog, filled with sample data, into the
// folder (created when missing). Run on the offscreen platform by the tests,
// or on a display by hand.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>
#include <filesystem>
#include <string>

#include "SampleData.h"
#include "app/Theme.h"
#include "config/AtomicFile.h"
#include "spectra/cSpectraUtility.h"
#include "ui/Dialog.h"
#include "ui/XCustomPlot.h"
#include "ui/colorPlotWidget.h"
#include "ui/formRecording.h"
#include "ui/spectrumPlotWidget.h"
#include "ui/timeseriesPlotWidget.h"
#include "ui_mainwindow.h"

namespace {

using namespace kelo::screenshots;

class Screenshots {
public:
    explicit Screenshots(const QString& folder) : folder(folder) {}

    bool save(QWidget& widget, const QString& name) {
        QApplication::processEvents();
        const QString path = QDir(folder).filePath(name + ".png");
        // A folder, a device or a pipe in the place of a picture is left alone.
        const std::string problem =
            kelo::regularFileProblem(std::filesystem::u8path(path.toStdString()));
        if (problem.empty() && widget.grab().save(path)) return true;
        std::fprintf(stderr, "kelo_screenshots: could not write %s%s%s\n", qPrintable(path),
                     problem.empty() ? "" : ": it ", problem.c_str());
        failed = true;
        return false;
    }
    bool allWritten() const { return !failed; }

private:
    QString folder;
    bool failed = false;
};

void click(QWidget& parent, const char* buttonName) {
    if (auto* button = parent.findChild<QAbstractButton*>(buttonName)) button->click();
}

// The spectrum plot as live acquisition shows it: a white LED with its
// peaks and the FWHM of the highest one.
void showLiveSpectrum(spectrumPlotWidget& plot, cSpectraUtility& utility) {
    const std::vector<double> grid = sampleGrid();
    utility.setWavelengths(grid);
    plot.setUtility(&utility);
    plot.setWavelengths(grid);
    plot.setupPlot();
    plot.on_pbScope_clicked();
    plot.setPlotToolsEnabled(true);
    plot.setPeakThreshold(0.3);
    plot.setThresholdMode('r');
    plot.setMinDistance(25);
    plot.setPeakForFwhm(0.0);
    click(plot, "tbPeaks");
    click(plot, "tbFwhm");
    utility.processSpectra(whiteLedSpectrum(grid), false);
    plot.plot()->replot();
}

void showSeries(timeseriesPlotWidget& plot, cSpectraUtility& utility, const QString& folder) {
    const std::vector<double> metric = warmUpMetric(40);
    plot.setUtility(&utility);
    plot.setTimeStep(1);
    plot.setSeriesName("Timess");
    plot.setSaveFolder(folder.toStdString());
    plot.setSaveSpectra(false);
    plot.setSaveColour(false);
    plot.setFileType(0);
    plot.setTotalSamples(0);
    plot.clearSeries();
    for (int sample = 1; sample <= static_cast<int>(metric.size()); ++sample) {
        double value = metric[sample - 1];
        plot.plotTimeSeries(value, sample);
    }
}

void showColour(colorPlotWidget& panel, cSpectraUtility& utility) {
    panel.setUtility(&utility);
    int distance = 14;
    panel.onCIELABRGBReady(sampleColour(), true, "yellowgreen", distance);
}

// The form as the assembled window shows it after start-up, with the
// settings panel open.
void fillIndicators(QMainWindow& window) {
    const auto setText = [&window](const char* name, const QString& text) {
        if (auto* label = window.findChild<QLabel*>(name)) label->setText(text);
    };
    setText("labelDevID", "K3S00042");
    setText("labelSaturated", "Not Saturated");
    setText("labelExpTime", "10");
    setText("labelfps", "24");
    setText("labelMode", "Scope");
    setText("labelDC", "DC");
    setText("labelDevsConn", "1");
    if (auto* label = window.findChild<QLabel*>("labelDark"))
        label->setStyleSheet("background: red");
    if (auto* edit = window.findChild<QLineEdit*>("lineEditImgNum")) edit->setText("1875");
    if (auto* bar = window.findChild<QProgressBar*>("avgProgressBar")) bar->setValue(60);
    if (auto* list = window.findChild<QListWidget*>("listWidgetdevList")) list->addItem("K3S00042");
    if (auto* folder = window.findChild<QTextEdit*>("lblSaveDir"))
        folder->setPlainText("/home/operator/Documents/KeloView");
    if (auto* log = window.findChild<QPlainTextEdit*>("plainTextEditDir"))
        log->setPlainText(
            "/home/operator/Documents/KeloView/Default_0.txt\n"
            "/home/operator/Documents/KeloView/Default_1.txt");
}

void addLogo(QToolBar* toolBar) {
    auto* spacer = new QLabel(toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(spacer);
    auto* logo = new QLabel(toolBar);
    logo->setPixmap(QPixmap(":/icons/icons/brevanta100.png"));
    toolBar->addWidget(logo);
    auto* margin = new QLabel(toolBar);
    margin->setFixedWidth(20);
    toolBar->addWidget(margin);
}

bool writeAll(Screenshots& shots, const QString& seriesFolder) {
    cSpectraUtility utility;

    spectrumPlotWidget spectrumPlot;
    spectrumPlot.resize(1200, 520);
    showLiveSpectrum(spectrumPlot, utility);
    shots.save(spectrumPlot, "spectrum-plot");
    spectrumPlot.setSaturatedWavelengths({447.0, 452.0, 456.0});
    spectrumPlot.plot()->replot();
    shots.save(spectrumPlot, "spectrum-plot-saturated");
    spectrumPlot.setSaturatedWavelengths({});

    spectrumPlotWidget reflectancePlot;
    reflectancePlot.resize(1200, 520);
    reflectancePlot.setUtility(&utility);
    reflectancePlot.setWavelengths(sampleGrid());
    reflectancePlot.setupPlot();
    reflectancePlot.setReflectanceAvailable(true);
    reflectancePlot.on_pbReflectance_clicked();
    reflectancePlot.plotSpectrum(sampleReflectance(sampleGrid()));
    reflectancePlot.plot()->replot();
    shots.save(reflectancePlot, "spectrum-plot-reflectance");

    timeseriesPlotWidget seriesPlot;
    seriesPlot.resize(1200, 400);
    showSeries(seriesPlot, utility, seriesFolder);
    shots.save(seriesPlot, "timeseries-plot");

    colorPlotWidget colourPanel;
    showColour(colourPanel, utility);
    shots.save(colourPanel, "colour-panel");

    formRecording recording;
    if (auto* frames = recording.findChild<QSpinBox*>("spinBoxNumFrames")) frames->setValue(20);
    if (auto* skip = recording.findChild<QSpinBox*>("spinBoxSkipFrames")) skip->setValue(2);
    recording.updateDataUi(24.0, 18, 9);
    shots.save(recording, "recording-form");

    Dialog limits;
    limits.setLimits(390, 800, 0.0, 3500.0);
    shots.save(limits, "limits-dialog");

    QMainWindow window;
    Ui::MainWindow form;
    form.setupUi(&window);
    addLogo(form.toolBarHelp);
    form.toolBarDevices->hide();
    fillIndicators(window);
    auto* plots = new QSplitter(Qt::Vertical);
    auto* windowSpectrum = new spectrumPlotWidget;
    showLiveSpectrum(*windowSpectrum, utility);
    auto* windowSeries = new timeseriesPlotWidget;
    showSeries(*windowSeries, utility, seriesFolder);
    plots->addWidget(windowSpectrum);
    plots->addWidget(windowSeries);
    form.LFrameLayout->addWidget(plots);
    auto* windowColour = new colorPlotWidget;
    showColour(*windowColour, utility);
    form.RFrameLayout->addWidget(windowColour);
    window.resize(1840, 896);
    window.show();
    windowSpectrum->plot()->replot();
    shots.save(window, "main-window");
    form.tabWidgetControls->setCurrentWidget(form.tabSaveOpts);
    shots.save(window, "main-window-save-options");
    form.tabWidgetControls->setCurrentWidget(form.tabTimeSeries);
    shots.save(window, "main-window-time-series");
    return shots.allWritten();
}

}  // namespace

int main(int argc, char** argv) {
    // Without a display the pictures are drawn off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelo_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "kelo_screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    kelo::app::applyTheme(application);
    QTemporaryDir seriesFolder;
    Screenshots shots(folder);
    return writeAll(shots, seriesFolder.path()) ? 0 : 1;
}
