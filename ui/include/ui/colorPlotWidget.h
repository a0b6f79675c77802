// The colour panel: each colorimetry result of the utility as numbers, a
// swatch, the nearest chart entry and a point on the a*b* or the xy chart,
// and the illuminant, observer and chart-matching choices passed back to the
// utility.
#pragma once

#include <QString>
#include <QVector>
#include <QWidget>
#include <string>

#include "spectra/ColourEngine.h"

class cSpectraUtility;
class XCustomPlot;

namespace Ui {
class colorPlotWidget;
}

class colorPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit colorPlotWidget(QWidget* parent = nullptr);
    ~colorPlotWidget() override;

    // Stores `utility` (not owned) and shows its colour results.
    void setUtility(cSpectraUtility* utility);
    // Blanks the swatch and every value.
    void reset();

public slots:
    void adjustTicks();
    void onCIELABRGBReady(tCIELABRGB colori, bool specInitialized, std::string pantoneColor,
                          int& minDist);

private slots:
    void on_tabWidgetColor_tabBarClicked(int index);
    void on_comboBoxCMF_currentIndexChanged(int index);
    void on_comboBoxIlluminant_currentIndexChanged(int index);
    void on_comboBoxColorMatch_currentIndexChanged(int index);

private:
    enum Chart { LabChart = 0, XyChart = 1, NoChart = 2 };

    void setupChart(XCustomPlot* plot, const QString& xLabel, const QString& yLabel, double lower,
                    double upper, const QString& image);
    void showLabAndRgb();
    void showSwatch();
    // x and y are the chromaticity, or the raw X and Y before the colour data
    // are loaded.
    void plotOnCurrentChart(double x, double y);

    Ui::colorPlotWidget* ui;
    cSpectraUtility* utility = nullptr;
    XCustomPlot* qcpLab;
    XCustomPlot* qcpCIE;
    Chart currentChart = LabChart;

    QVector<double> xSeries, ySeries;
    QVector<double> aSeries, bSeries;
    double X = 0.0, Y = 0.0, Z = 0.0;
    double R = 0.0, G = 0.0, B = 0.0;
    double L = 0.0, a = 0.0, b = 0.0;
};
