#include "ui/spectrumPlotWidget.h"

#include <qcustomplot.h>

#include <algorithm>

#include "PlotScheme.h"
#include "SpectrumSaturationBands.h"
#include "spectra/cSpectraUtility.h"
#include "ui/Dialog.h"
#include "ui/PeakSearch.h"
#include "ui/PlotScaling.h"
#include "ui/XCustomPlot.h"
#include "ui_spectrumPlotWidget.h"

namespace {

// About 30 redraws per second at most, however fast spectra arrive.
constexpr int kRedrawIntervalMs = 33;
// The colour band picture covers the visible range only.
constexpr double kColourBandFirstNm = 400.0;
constexpr double kColourBandLastNm = 700.0;
constexpr double kLabelLift = 1.05;
// Enough digits that neighbouring ticks never share a label: ticks at 2500
// and 3000 counts, or at 0.75 and 1.25, must not both read "3" or "1".
constexpr int kCountsPrecision = 1;
constexpr int kReflectancePrecision = 2;

}  // namespace

spectrumPlotWidget::spectrumPlotWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui::spectrumPlotWidget), limitsDialog(new Dialog(this)) {
    ui->setupUi(this);
    connect(limitsDialog, &Dialog::setManualScale, this, &spectrumPlotWidget::setManualScale);
    ui->spectraPlot->addGraph();
    background = new QCPItemPixmap(ui->spectraPlot);
    saturationBands = std::make_unique<SpectrumSaturationBands>(ui->spectraPlot);
    ui->lblFwhm->hide();
    redrawTimer.setSingleShot(true);
    redrawTimer.setInterval(kRedrawIntervalMs);
    connect(&redrawTimer, &QTimer::timeout, this, &spectrumPlotWidget::redraw);
}

spectrumPlotWidget::~spectrumPlotWidget() {
    delete ui;
}

void spectrumPlotWidget::setUtility(cSpectraUtility* source) {
    utility = source;
}

void spectrumPlotWidget::setupPlot() {
    XCustomPlot* plot = ui->spectraPlot;
    kelo::ui::applyDarkScheme(plot);
    plot->graph(0)->setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    plot->graph(0)->setBrush(QColor(0, 0, 255, 20));
    plot->xAxis->setLabel("Wavelength(nm)");
    plot->yAxis->setLabel("Intensity(counts)");
    plot->yAxis->setRange(0, 1);
    plot->xAxis->setRange(400, 800);
    plot->yAxis->setNumberFormat("ebc");
    plot->yAxis->setNumberPrecision(kCountsPrecision);
    background->setPixmap(QPixmap(":/images/images/colorSpectrum.png"));
    background->setScaled(true, Qt::IgnoreAspectRatio);
    background->setLayer("background");
    placeBackground();
}

void spectrumPlotWidget::setWavelengths(std::vector<double> wavelengths) {
    xValues = std::move(wavelengths);
    if (!xValues.empty()) ui->spectraPlot->xAxis->setRange(xValues.front(), xValues.back());
    xKeys = QVector<double>(xValues.begin(), xValues.end());
    redraw();
}

void spectrumPlotWidget::resetToScope() {
    setReflectanceAvailable(false);
    if (ui->pbReflectance->isChecked()) on_pbScope_clicked();
}

void spectrumPlotWidget::setPeakDisplay(bool peaks, bool fwhm) {
    ui->tbPeaks->setChecked(peaks);
    on_tbPeaks_clicked(peaks);
    ui->tbFwhm->setChecked(peaks && fwhm);
    on_tbFwhm_clicked(peaks && fwhm);
}

void spectrumPlotWidget::setPlotToolsEnabled(bool enabled) {
    const std::initializer_list<QAbstractButton*> tools{
        ui->pbScope, ui->tbAutoScaleXY, ui->tbAutoScaleY, ui->tbManualScale, ui->tbPeaks};
    for (QAbstractButton* tool : tools) tool->setEnabled(enabled);
}

void spectrumPlotWidget::setReflectanceAvailable(bool available) {
    ui->pbReflectance->setEnabled(available);
}

void spectrumPlotWidget::setSaturatedWavelengths(const std::vector<double>& nm) {
    saturationBands->show(nm);
    scheduleRedraw();
}

XCustomPlot* spectrumPlotWidget::plot() const {
    return ui->spectraPlot;
}

void spectrumPlotWidget::setManualScale(double xmin, double xmax, double ymin, double ymax) {
    scaling.useManualScale(xmin, xmax, ymin, ymax);
    kelo::ui::showScaleMode(kelo::ui::ScaleMode::Manual, ui->tbAutoScaleY, ui->tbAutoScaleXY,
                            ui->tbManualScale);
    applyScaling();
    redraw();
}

void spectrumPlotWidget::plotSpectrum(const std::vector<double>& spectraPlot) {
    if (spectraPlot.empty()) return;
    // Same length as the last one most of the time: no new buffer.
    yValues.resize(static_cast<int>(spectraPlot.size()));
    std::copy(spectraPlot.begin(), spectraPlot.end(), yValues.begin());
    const auto [lowest, highest] = std::minmax_element(spectraPlot.begin(), spectraPlot.end());
    minY = *lowest;
    // A flat or negative spectrum still needs a y range of some height.
    maxY = *highest > 0.0 ? *highest : 0.001;
    takeGridEnds();
    applyScaling();
    findPeaksAndWidth(spectraPlot);
    scheduleRedraw();
}

void spectrumPlotWidget::on_pbScope_clicked() {
    showView(true);
    setYAxisFormat("Intensity(counts)", "ebc", kCountsPrecision);
    scaling.autoScaleXY = true;
    plotSpectrum(utility->getCurrentSpectrum());
    emit scopeClicked();
}

void spectrumPlotWidget::on_pbReflectance_clicked() {
    showView(false);
    setYAxisFormat("R/T", "g", kReflectancePrecision);
    scaling.useManualScale(kColourBandFirstNm, kColourBandLastNm, 0.0, 1.2);
    // The view opens at these limits even before a reflectance arrives.
    applyRanges();
    placeBackground();
    scheduleRedraw();
    std::vector<double> reflectance;
    if (utility->computeReflectance(reflectance)) plotSpectrum(reflectance);
    emit RTClicked();
}

void spectrumPlotWidget::on_tbAutoScaleY_clicked(bool checked) {
    if (!checked) {
        setManualScale(kelo::ui::kKeepXMin, kelo::ui::kKeepXMax, minY, maxY);
        return;
    }
    scaling.useAutoScaleY();
    kelo::ui::showScaleMode(kelo::ui::ScaleMode::AutoY, ui->tbAutoScaleY, ui->tbAutoScaleXY,
                            ui->tbManualScale);
    applyScaling();
    redraw();
}

void spectrumPlotWidget::on_tbAutoScaleXY_clicked() {
    scaling.useAutoScaleXY();
    takeGridEnds();
    applyScaling();
    redraw();
    kelo::ui::handOverToAutoScaleY(ui->tbAutoScaleY);
}

void spectrumPlotWidget::on_tbManualScale_clicked() {
    limitsDialog->setLimits(xFirst, xLast, minY, maxY);
    // Modal to the plot, without blocking the acquisition that feeds it.
    limitsDialog->open();
}

void spectrumPlotWidget::on_tbPeaks_clicked(bool checked) {
    peaksOn = checked;
    ui->tbFwhm->setEnabled(checked);
    if (!checked) {
        ui->tbFwhm->setChecked(false);
        on_tbFwhm_clicked(false);
    }
    findPeaksInShownSpectrum();
    scheduleRedraw();
}

void spectrumPlotWidget::on_tbFwhm_clicked(bool checked) {
    fwhmOn = checked;
    ui->lblFwhm->setVisible(checked);
    findPeaksInShownSpectrum();
    scheduleRedraw();
}

void spectrumPlotWidget::showView(bool scope) {
    const char* spectrum = SIGNAL(pSpectrumReady(const std::vector<double>&));
    const char* reflectance = SIGNAL(reflectanceSpectrumReady(const std::vector<double>&));
    const char* plot = SLOT(plotSpectrum(const std::vector<double>&));
    // By signature, so that a connection made elsewhere the same way is
    // neither doubled nor left behind.
    connect(utility, scope ? spectrum : reflectance, this, plot, Qt::UniqueConnection);
    disconnect(utility, scope ? reflectance : spectrum, this, plot);
    ui->pbScope->setChecked(scope);
    ui->pbReflectance->setChecked(!scope);
}

void spectrumPlotWidget::setYAxisFormat(const QString& label, const char* format, int precision) {
    QCPAxis* axis = ui->spectraPlot->yAxis;
    axis->setLabel(label);
    axis->setNumberFormat(format);
    axis->setNumberPrecision(precision);
}

void spectrumPlotWidget::takeGridEnds() {
    if (xValues.empty()) return;
    xFirst = static_cast<int>(xValues.front());
    xLast = static_cast<int>(xValues.back());
}

void spectrumPlotWidget::applyScaling() {
    const int points = drawablePoints();
    ui->spectraPlot->graph(0)->setData(xKeys.mid(0, points), yValues.mid(0, points));
    applyRanges();
    placeBackground();
}

void spectrumPlotWidget::applyRanges() {
    scaling.applyRanges(ui->spectraPlot->xAxis, ui->spectraPlot->yAxis, xFirst, xLast, minY, maxY);
}

void spectrumPlotWidget::placeBackground() {
    const QCPRange y = ui->spectraPlot->yAxis->range();
    background->topLeft->setCoords(kColourBandFirstNm, y.upper);
    background->bottomRight->setCoords(kColourBandLastNm, y.lower);
}

int spectrumPlotWidget::drawablePoints() const {
    // The grid may change while spectra of the old length still arrive.
    return std::min(xKeys.size(), yValues.size());
}

void spectrumPlotWidget::findPeaksInShownSpectrum() {
    findPeaksAndWidth(std::vector<double>(yValues.begin(), yValues.end()));
}

void spectrumPlotWidget::findPeaksAndWidth(const std::vector<double>& values) {
    peakIndices.clear();
    if (!peaksOn) return;
    for (int i : kelo::ui::findPeaks(values, threshold, minDistance, thresholdMode))
        if (i < drawablePoints()) peakIndices.push_back(i);
    if (fwhmOn) ui->lblFwhm->setText(QString::number(measuredWidth(), 'g', 6));
}

double spectrumPlotWidget::measuredWidth() const {
    double target = peakForFwhm;
    if (target == 0.0) {
        if (peakIndices.empty()) return 0.0;
        const int highest =
            *std::max_element(peakIndices.begin(), peakIndices.end(),
                              [this](int a, int b) { return yValues[a] < yValues[b]; });
        target = xKeys[highest];
    }
    return kelo::ui::fullWidthHalfMax(utility->getCurrentSpectrum(),
                                      utility->getSpectrumWavelengths(), target);
}

void spectrumPlotWidget::scheduleRedraw() {
    if (!redrawTimer.isActive()) redrawTimer.start();
}

void spectrumPlotWidget::redraw() {
    redrawTimer.stop();
    const std::vector<QCPItemText*> labels = addPeakLabels();
    ui->spectraPlot->replot();
    // The replot has drawn them; the next one draws those of its spectrum.
    for (QCPItemText* label : labels) ui->spectraPlot->removeItem(label);
}

std::vector<QCPItemText*> spectrumPlotWidget::addPeakLabels() {
    std::vector<QCPItemText*> labels;
    for (int i : peakIndices) {
        if (i >= drawablePoints()) continue;
        auto* label = new QCPItemText(ui->spectraPlot);
        label->setColor(Qt::white);
        label->setFont(QFont("Arial", 12));
        label->setText(QString::number(xKeys[i], 'g', 6));
        label->position->setCoords(xKeys[i], kLabelLift * yValues[i]);
        labels.push_back(label);
    }
    return labels;
}
