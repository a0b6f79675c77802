#include "ui/timeseriesPlotWidget.h"

#include <QMessageBox>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

#include "PlotScheme.h"
#include "spectra/cSpectraUtility.h"
#include "ui/Dialog.h"
#include "ui/PlotScaling.h"
#include "ui/XCustomPlot.h"
#include "ui_timeseriesPlotWidget.h"

using kelo::ui::ScaleMode;

timeseriesPlotWidget::timeseriesPlotWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui::timeseriesPlotWidget), limitsDialog(new Dialog(this)) {
    ui->setupUi(this);
    connect(limitsDialog, &Dialog::setManualScale, this, &timeseriesPlotWidget::setManualScale);
    setupPlot();
    ui->tbAutoScaleY->setChecked(true);
}

timeseriesPlotWidget::~timeseriesPlotWidget() {
    delete ui;
}

void timeseriesPlotWidget::setUtility(cSpectraUtility* spectraUtility) {
    utility = spectraUtility;
    xMin = 0.0;
    yMin = 0.0;
    // By name and direct: the sample arrives by reference and is read while
    // the utility is still emitting it.
    connect(this, SIGNAL(cSpectraSavePlot(std::string, std::string, std::string, bool)), utility,
            SLOT(savePlot(std::string, std::string, std::string, bool)), Qt::DirectConnection);
    connect(this, SIGNAL(saveColor(std::string, int, bool)), utility,
            SLOT(on_saveColor(std::string, int, bool)), Qt::DirectConnection);
    connect(utility, SIGNAL(onTSSpectrumRecieved(double&, int&)), this,
            SLOT(plotTimeSeries(double&, int&)), Qt::DirectConnection);
}

void timeseriesPlotWidget::setTimeStep(int seconds) {
    timeStep = seconds;
}

void timeseriesPlotWidget::setSeriesName(std::string name) {
    seriesName = std::move(name);
}

void timeseriesPlotWidget::setSaveFolder(std::string folder) {
    saveFolder = std::move(folder);
}

void timeseriesPlotWidget::setSaveSpectra(bool save) {
    saveSpectra = save;
}

void timeseriesPlotWidget::setSaveColour(bool save) {
    saveColour = save;
}

void timeseriesPlotWidget::setFileType(int type) {
    fileType = type;
}

void timeseriesPlotWidget::setTotalSamples(int samples) {
    totalSamples = samples;
}

void timeseriesPlotWidget::clearSeries() {
    times.clear();
    metrics.clear();
    maxMetric = 0.0;
    lastIndex = -1;
}

XCustomPlot* timeseriesPlotWidget::plot() const {
    return ui->timeSeriesPlot;
}

void timeseriesPlotWidget::setupPlot() {
    XCustomPlot* plot = ui->timeSeriesPlot;
    kelo::ui::applyDarkScheme(plot);
    QCPGraph* graph = plot->addGraph();
    graph->setPen(QPen(Qt::white, 2));
    graph->setBrush(QColor(0, 0, 255, 20));
    plot->xAxis->setLabel("Time(s)");
    plot->yAxis->setLabel("Metric");
    plot->xAxis->setRange(0, 1);
    plot->yAxis->setRange(0, 1);
    plot->yAxis->ticker()->setTickCount(3);
}

void timeseriesPlotWidget::plotTimeSeries(double& area, int& samplesDone) {
    const int time = (samplesDone - 1) * timeStep;
    emit setTimeSeriesMetric(time, area);
    appendSample(time, area);
    applyScaling();
    redraw();

    const std::string folder = prepareSeriesFolder();
    if (saveSpectra && !saveSampleFiles(folder, samplesDone - 1)) return;
    if (samplesDone == totalSamples) {
        utility->saveTimeSeries(folder + "/" + seriesName, times, metrics);
        emit timeSeriesFinishedEnableUI();
    }
}

void timeseriesPlotWidget::appendSample(double time, double metric) {
    metrics.append(metric);
    times.append(time);
    maxMetric = *std::max_element(metrics.cbegin(), metrics.cend());
    lastIndex = static_cast<int>(times.size()) - 1;
}

void timeseriesPlotWidget::applyScaling() {
    scaling.applyRanges(ui->timeSeriesPlot->xAxis, ui->timeSeriesPlot->yAxis, xMin, lastIndex, yMin,
                        maxMetric);
}

void timeseriesPlotWidget::redraw() {
    ui->timeSeriesPlot->graph(0)->setData(times, metrics);
    ui->timeSeriesPlot->replot();
}

std::string timeseriesPlotWidget::prepareSeriesFolder() const {
    const std::string folder = saveFolder + "/" + seriesName;
    std::error_code error;
    if (std::filesystem::create_directories(folder, error))
        std::cout << "Successfully created directory: " << folder << "\n";
    return folder;
}

bool timeseriesPlotWidget::saveSampleFiles(const std::string& folder, int sampleIndex) {
    if (seriesName.empty()) {
        QMessageBox::warning(this, "Warning", "Please enter the default Time Series filename",
                             QMessageBox::Ok);
        return false;
    }
    const std::string base = folder + "/" + seriesName;
    emit cSpectraSavePlot(base + "_" + std::to_string(sampleIndex), "nm", "counts", csvFiles());
    if (saveColour) emit saveColor(base + "_Color", sampleIndex, csvFiles());
    return true;
}

void timeseriesPlotWidget::setManualScale(double xmin, double xmax, double ymin, double ymax) {
    scaling.useManualScale(xmin, xmax, ymin, ymax);
    std::cout << "manualX:" << xmax << "," << xmin << "\n";
    std::cout << "manualY:" << ymax << "," << ymin << "\n";
    std::cout << "timeData:" << times.size() << ","
              << "metricData:" << metrics.size() << "\n";
    kelo::ui::showScaleMode(ScaleMode::Manual, ui->tbAutoScaleY, ui->tbAutoScaleXY,
                            ui->tbManualScale);
    applyScaling();
    redraw();
}

void timeseriesPlotWidget::on_tbAutoScaleY_clicked(bool checked) {
    if (!checked) {
        setManualScale(kelo::ui::kKeepXMin, kelo::ui::kKeepXMax, yMin, maxMetric);
        return;
    }
    scaling.useAutoScaleY();
    kelo::ui::showScaleMode(ScaleMode::AutoY, ui->tbAutoScaleY, ui->tbAutoScaleXY,
                            ui->tbManualScale);
    applyScaling();
    redraw();
}

void timeseriesPlotWidget::on_tbAutoScaleXY_clicked() {
    scaling.useAutoScaleXY();
    applyScaling();
    redraw();
    kelo::ui::handOverToAutoScaleY(ui->tbAutoScaleY);
}

void timeseriesPlotWidget::on_tbManualScale_clicked() {
    limitsDialog->setLimits(static_cast<int>(xMin), lastIndex, yMin, maxMetric);
    // Modal to the plot, without blocking the acquisition that feeds it.
    limitsDialog->open();
}
