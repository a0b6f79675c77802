// The lower plot of the main window: the metric of every time-series sample
// over time. It also writes each sample's spectrum and colour files while
// the series runs and the series file after its last sample.
#pragma once

#include <QVector>
#include <QWidget>
#include <string>

#include "ui/PlotScaling.h"

class cSpectraUtility;
class Dialog;
class XCustomPlot;

namespace Ui {
class timeseriesPlotWidget;
}

class timeseriesPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit timeseriesPlotWidget(QWidget* parent = nullptr);
    ~timeseriesPlotWidget() override;

    // Connects the samples and file requests to `utility` (not owned).
    void setUtility(cSpectraUtility* utility);

    // The settings of the next series, handed over by the main window.
    void setTimeStep(int seconds);
    void setSeriesName(std::string name);
    void setSaveFolder(std::string folder);
    void setSaveSpectra(bool save);
    void setSaveColour(bool save);
    // 0 writes ".txt" files, anything else ".csv".
    void setFileType(int type);
    void setTotalSamples(int samples);
    void clearSeries();

    XCustomPlot* plot() const;

signals:
    void setTimeSeriesMetric(int time, double metric);
    void timeSeriesFinishedEnableUI();
    void saveColor(std::string outFilename, int fnum, bool csv);
    void cSpectraSavePlot(std::string outFilename, std::string wvlUnits, std::string specUnits,
                          bool CSV);

public slots:
    void setManualScale(double xmin, double xmax, double ymin, double ymax);
    // The utility's sample; both are read during its emission.
    void plotTimeSeries(double& area, int& samplesDone);
    void on_tbAutoScaleY_clicked(bool checked);
    void on_tbAutoScaleXY_clicked();
    void on_tbManualScale_clicked();

private:
    void setupPlot();
    void appendSample(double time, double metric);
    void applyScaling();
    void redraw();
    // The folder of this series' files, created when missing.
    std::string prepareSeriesFolder() const;
    // False when the files cannot be named; the operator has been warned.
    bool saveSampleFiles(const std::string& folder, int sampleIndex);
    bool csvFiles() const { return fileType != 0; }

    Ui::timeseriesPlotWidget* ui;
    cSpectraUtility* utility = nullptr;
    Dialog* limitsDialog;  // child of this widget

    QVector<double> metrics;
    QVector<double> times;
    int timeStep = 1;
    std::string seriesName;
    std::string saveFolder;
    bool saveSpectra = false;
    bool saveColour = false;
    int fileType = 0;
    int totalSamples = 0;

    kelo::ui::PlotScaling scaling;
    double xMin = 0.0;
    int lastIndex = -1;
    double yMin = 0.0;
    double maxMetric = 0.0;
};
