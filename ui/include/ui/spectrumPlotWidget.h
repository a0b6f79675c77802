// The upper plot of the main window: the processed spectrum ("Scope") or
// the reflectance ("Reflectance") delivered by the spectrum utility, over a
// picture of the visible colour band, with three scaling modes, optional
// peak labels and a width read-out for one peak, and shading where the
// sensor saturates.
//
// Spectra may arrive hundreds of times per second: each one updates the data
// and ranges at once, but the plot is redrawn at most about 30 times per
// second, always with the latest spectrum.
#pragma once

#include <QTimer>
#include <QVector>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/PlotScaling.h"

class cSpectraUtility;
class Dialog;
class QCPItemPixmap;
class QCPItemText;
class XCustomPlot;
class SpectrumSaturationBands;

namespace Ui {
class spectrumPlotWidget;
}

class spectrumPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit spectrumPlotWidget(QWidget* parent = nullptr);
    ~spectrumPlotWidget() override;

    // Required before spectra are plotted or the view is switched.
    void setUtility(cSpectraUtility* source);
    void setupPlot();
    // The x of every point; the x axis then spans the grid.
    void setWavelengths(std::vector<double> wavelengths);
    // Back to the scope view with Reflectance unavailable, for when the
    // corrections are reset.
    void resetToScope();

    void setPeakThreshold(double value) { threshold = value; }
    // 'a' absolute, 'r' relative to the highest peak.
    void setThresholdMode(char mode) { thresholdMode = mode; }
    // 0 measures the highest peak.
    void setPeakForFwhm(double wavelength) { peakForFwhm = wavelength; }
    void setMinDistance(int samples) { minDistance = samples; }
    // Sets the Peaks and FWHM buttons and what they switch; FWHM needs peaks.
    void setPeakDisplay(bool peaks, bool fwhm);
    void setPlotToolsEnabled(bool enabled);
    void setReflectanceAvailable(bool available);
    // Shades the bands where saturated cells respond most; empty clears them.
    void setSaturatedWavelengths(const std::vector<double>& nm);

    XCustomPlot* plot() const;

signals:
    void scopeClicked();
    void RTClicked();

public slots:
    void setManualScale(double xmin, double xmax, double ymin, double ymax);
    void plotSpectrum(const std::vector<double>& spectraPlot);
    void on_pbScope_clicked();
    void on_pbReflectance_clicked();
    void on_tbAutoScaleY_clicked(bool checked);
    void on_tbAutoScaleXY_clicked();
    void on_tbManualScale_clicked();
    void on_tbPeaks_clicked(bool checked);
    void on_tbFwhm_clicked(bool checked);

private:
    // Takes spectra (scope) or reflectances from the utility, not both, and
    // shows which view is active.
    void showView(bool scope);
    void setYAxisFormat(const QString& label, const char* format, int precision);
    void takeGridEnds();
    // Hands the latest spectrum to the graph and scales the axes by the mode.
    void applyScaling();
    void applyRanges();
    // The colour band spans 400..700 nm and the full height.
    void placeBackground();
    int drawablePoints() const;
    // The peaks of `values`, the spectrum just taken, and its width read-out.
    void findPeaksAndWidth(const std::vector<double>& values);
    // The same for the spectrum on screen, after the peak settings changed.
    void findPeaksInShownSpectrum();
    // 0 when it cannot be measured.
    double measuredWidth() const;
    void scheduleRedraw();
    // Replots at once, with the peak labels of the latest spectrum shown for
    // this one redraw.
    void redraw();
    std::vector<QCPItemText*> addPeakLabels();

    Ui::spectrumPlotWidget* ui;
    cSpectraUtility* utility = nullptr;
    Dialog* limitsDialog;  // child of this widget
    std::vector<double> xValues;
    QVector<double> xKeys;
    QVector<double> yValues;
    bool peaksOn = false;
    bool fwhmOn = false;
    double threshold = 0.0;
    char thresholdMode = 'a';
    double peakForFwhm = 0.0;
    int minDistance = 0;
    kelo::ui::PlotScaling scaling;
    int xFirst = 0;
    int xLast = 0;
    double minY = 0.0;
    double maxY = 0.001;
    QCPItemPixmap* background;     // owned by the plot
    std::vector<int> peakIndices;  // of the latest spectrum, drawable ones only
    std::unique_ptr<SpectrumSaturationBands> saturationBands;
    QTimer redrawTimer;
};
