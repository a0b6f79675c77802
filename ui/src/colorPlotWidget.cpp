#include "ui/colorPlotWidget.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "PlotScheme.h"
#include "spectra/cSpectraUtility.h"
#include "ui/XCustomPlot.h"
#include "ui_colorPlotWidget.h"

namespace {

constexpr int kCriTab = 2;

// x, y, z of the chromaticity; before the colour data are loaded the values
// are no tristimulus values, so they are shown as they came. A black sample
// has no chromaticity: 0, not a division by zero.
std::array<double, 3> chromaticity(double X, double Y, double Z, bool specInitialized) {
    if (!specInitialized) return {X, Y, Z};
    const double sum = X + Y + Z;
    if (sum == 0.0) return {0.0, 0.0, 0.0};
    return {X / sum, Y / sum, Z / sum};
}

QString threeDigits(double value) {
    return QString::number(value, 'G', 3);
}

QString oneDecimal(double value) {
    return QString::number(value, 'f', 1);
}

}  // namespace

colorPlotWidget::colorPlotWidget(QWidget* parent) : QWidget(parent), ui(new Ui::colorPlotWidget) {
    ui->setupUi(this);
    qcpLab = ui->qcpLab;
    qcpCIE = ui->qcpCIE;
    setupChart(qcpCIE, "x", "y", 0.0, 0.9, ":/images/images/xyYChart_01.png");
    setupChart(qcpLab, "a*", "b*", -140.0, 140.0, ":/images/images/CIELABChart-02.png");
    ui->comboBoxColorMatch->setEnabled(false);
    ui->comboBoxRGB->setEnabled(false);
    ui->tabWidgetColor->setCurrentIndex(LabChart);
    ui->comboBoxIlluminant->setCurrentIndex(0);
    ui->comboBoxCMF->setCurrentIndex(0);
    ui->tabWidgetColor->removeTab(kCriTab);
}

colorPlotWidget::~colorPlotWidget() {
    delete ui;
}

void colorPlotWidget::setUtility(cSpectraUtility* spectraUtility) {
    utility = spectraUtility;
    connect(utility, &cSpectraUtility::CIELABRGBReady, this, &colorPlotWidget::onCIELABRGBReady);
}

void colorPlotWidget::setupChart(XCustomPlot* plot, const QString& xLabel, const QString& yLabel,
                                 double lower, double upper, const QString& image) {
    kelo::ui::applyDarkScheme(plot);
    QCPGraph* graph = plot->addGraph();
    graph->setLineStyle(QCPGraph::lsNone);
    graph->setPen(QPen(Qt::white, 2));
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCrossCircle, 6));
    plot->xAxis->setLabel(xLabel);
    plot->yAxis->setLabel(yLabel);
    plot->xAxis->setRange(lower, upper);
    plot->yAxis->setRange(lower, upper);

    // The chart picture spans the chart's own coordinates, so the points
    // land on the colours they stand for.
    auto* picture = new QCPItemPixmap(plot);
    picture->setPixmap(QPixmap(image));
    picture->setScaled(true, Qt::IgnoreAspectRatio);
    picture->topLeft->setCoords(lower, upper);
    picture->bottomRight->setCoords(upper, lower);
    picture->setLayer("background");

    plot->yAxis->setScaleRatio(plot->xAxis, 1.0);
    const auto rangeChanged = qOverload<const QCPRange&>(&QCPAxis::rangeChanged);
    connect(plot->xAxis, rangeChanged, this, &colorPlotWidget::adjustTicks);
    connect(plot->yAxis, rangeChanged, this, &colorPlotWidget::adjustTicks);
    connect(plot, &XCustomPlot::Resized, this, &colorPlotWidget::adjustTicks);
}

void colorPlotWidget::adjustTicks() {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setHeightForWidth(true);
    policy.setWidthForHeight(true);
    qcpLab->setSizePolicy(policy);
    qcpLab->replot();
}

void colorPlotWidget::onCIELABRGBReady(tCIELABRGB colori, bool specInitialized,
                                       std::string pantoneColor, int& minDist) {
    xSeries.clear();
    ySeries.clear();
    aSeries.clear();
    bSeries.clear();
    X = colori.X;
    Y = colori.Y;
    Z = colori.Z;
    R = colori.R;
    G = colori.G;
    B = colori.B;
    L = colori.L;
    a = colori.a;
    b = colori.b;

    showLabAndRgb();
    const auto [x, y, z] = chromaticity(X, Y, Z, specInitialized);
    ui->labelX->setText(threeDigits(x));
    ui->labelY->setText(threeDigits(y));
    ui->labelZ->setText(threeDigits(z));
    showSwatch();
    ui->labelPantone->setText(QString::fromStdString(pantoneColor));
    ui->labelDE->setText(QString::number(minDist));
    plotOnCurrentChart(x, y);
}

void colorPlotWidget::showLabAndRgb() {
    ui->labelL->setText(oneDecimal(L));
    ui->labela->setText(oneDecimal(a));
    ui->labelb->setText(oneDecimal(b));
    ui->labelRed->setText(threeDigits(R));
    ui->labelGreen->setText(threeDigits(G));
    ui->labelBlue->setText(threeDigits(B));
}

void colorPlotWidget::showSwatch() {
    // Dark colours get white text so the values stay readable.
    const QString text = L < 50.0 ? "white" : "black";
    ui->colorframe->setStyleSheet(QString("background-color: rgb(%1, %2, %3);color:%4")
                                      .arg(std::lround(R))
                                      .arg(std::lround(G))
                                      .arg(std::lround(B))
                                      .arg(text));
}

void colorPlotWidget::plotOnCurrentChart(double x, double y) {
    if (currentChart == LabChart) {
        aSeries.append(a);
        bSeries.append(b);
        qcpLab->graph(0)->setData(aSeries, bSeries);
        ui->pgBarLab->setValue(static_cast<int>(std::clamp(L, 0.0, 100.0)));
        qcpLab->replot();
    } else if (currentChart == XyChart) {
        xSeries.append(x);
        ySeries.append(y);
        qcpCIE->graph(0)->setData(xSeries, ySeries);
        qcpCIE->replot();
    }
}

void colorPlotWidget::on_tabWidgetColor_tabBarClicked(int index) {
    if (index == LabChart)
        currentChart = LabChart;
    else if (index == XyChart)
        currentChart = XyChart;
    else
        currentChart = NoChart;
}

void colorPlotWidget::on_comboBoxCMF_currentIndexChanged(int index) {
    if (utility != nullptr) utility->setObserver(index == 0);
}

void colorPlotWidget::on_comboBoxIlluminant_currentIndexChanged(int index) {
    if (utility != nullptr) utility->setIlluminant(index == 0);
}

void colorPlotWidget::on_comboBoxColorMatch_currentIndexChanged(int index) {
    if (utility != nullptr && (index == 0 || index == 1)) utility->setColourMatchMethod(index);
}

void colorPlotWidget::reset() {
    const QString blank(" ");
    ui->colorframe->setStyleSheet(blank);
    for (QLabel* label :
         {ui->labelL, ui->labela, ui->labelb, ui->labelRed, ui->labelGreen, ui->labelBlue,
          ui->labelX, ui->labelY, ui->labelZ, ui->labelPantone, ui->labelDE})
        label->setText(blank);
}
