#include "LiveDemo.h"

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTimer>
#include <cmath>
#include <iomanip>
#include <iostream>

#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "spectra/cSpectraUtility.h"
#include "ui/XCustomPlot.h"
#include "ui/spectrumPlotWidget.h"
#include "ui_mainwindow.h"

namespace kelo::app {

const char* const kLiveDemoUsage =
    "usage: KeloViewApp [--live SECONDS [--averages N] [--exposure-ms X]]";

namespace {

bool readNumber(const QStringList& arguments, int& at, double& value) {
    if (at + 1 >= arguments.size()) return false;
    bool ok = false;
    value = arguments[++at].toDouble(&ok);
    return ok && std::isfinite(value) && value > 0.0;
}

}  // namespace

std::optional<LiveDemoOptions> parseLiveDemo(const QStringList& arguments, QString& error) {
    if (arguments.isEmpty()) return std::nullopt;
    LiveDemoOptions options;
    bool live = false;
    for (int at = 0; at < arguments.size(); ++at) {
        const QString& word = arguments[at];
        double value = 0.0;
        if (!readNumber(arguments, at, value)) {
            error = word + " takes a positive number";
            return std::nullopt;
        }
        if (word == "--live") {
            live = true;
            options.seconds = value;
        } else if (word == "--averages" && value == std::floor(value) && value <= 100) {
            options.averages = static_cast<int>(value);
        } else if (word == "--exposure-ms") {
            options.exposureMs = value;
        } else {
            error = "unknown or out-of-range option " + word;
            return std::nullopt;
        }
    }
    if (!live) {
        error = "--averages and --exposure-ms need --live";
        return std::nullopt;
    }
    return options;
}

LiveDemo::LiveDemo(MainWindow& window, LiveDemoOptions options)
    : QObject(&window), window(window), options(options) {}

void LiveDemo::start() {
    Ui::MainWindow* form = window.form();
    if (options.averages) form->spinBoxAverages->setValue(*options.averages);
    if (options.exposureMs) form->doubleSpinBoxExpTime->setValue(*options.exposureMs);
    connect(window.utility(), &cSpectraUtility::pSpectrumReady, this, [this] { ++spectra; });
    connect(window.controller().get(), &Brevanta::KelSpectro::fpsReady, this,
            [this](int fps) { lastFps = fps; });
    connect(window.spectrumView()->plot(), &QCustomPlot::afterReplot, this, [this] { ++replots; });
    running.start();
    form->actionPlay->trigger();
    QTimer::singleShot(static_cast<int>(std::ceil(options.seconds * 1000.0)), this,
                       &LiveDemo::finish);
}

void LiveDemo::finish() {
    const double elapsed = running.nsecsElapsed() / 1e9;
    const long published = spectra;
    const long redrawn = replots;
    double cameraFps = 0.0;
    try {
        cameraFps = window.controller()->getResultingFrameRate();
    } catch (...) {
        // The camera is gone; the rate stays 0.
    }
    std::cout << std::fixed << std::setprecision(1) << "\nspectra: " << published << "\n"
              << "spectra-per-s: " << published / elapsed << "\n"
              << "fps-ready: " << lastFps << "\n"
              << "camera-fps: " << cameraFps << "\n"
              << "replots-per-s: " << redrawn / elapsed << "\n";
    std::cout.flush();
    window.form()->actionExit->trigger();
}

}  // namespace kelo::app
