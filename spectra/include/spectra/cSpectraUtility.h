// The spectrum utility: between the acquisition controller and the user
// interface. It receives every solved spectrum, normalises it by the
// exposure time, takes time-series samples, collects bright and reference
// spectra, subtracts the reference, computes the reflectance against the
// bright spectrum and its colour, and writes the operator's files.
//
// The class derives from the controller for the instrument's interface; that
// base part is never initialised. All acquisition goes through the shared
// controller made by the controller factory (getSpectro).
//
// Threads: the user-interface thread only. Spectra of the live loop arrive
// queued; those of single acquisitions made here arrive directly, inside
// the acquisition call.
#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/KelSpectro.h"
#include "spectra/ColourEngine.h"

struct SpectrumFileHeader;

class cSpectraUtility : public Brevanta::KelSpectro {
    Q_OBJECT
public:
    cSpectraUtility();
    ~cSpectraUtility() override;

    // The controller of the first listed camera, made by the controller
    // factory and shared with the caller; null when there is none.
    std::shared_ptr<Brevanta::KelSpectro> getSpectro();
    // Initialises the controller from the unit's files, takes its wavelength
    // grid, loads the colour data and the white-lid curve and starts taking
    // its spectra. False when the controller could not be initialised.
    bool initSpectro();

    // Each takes the next spectrum that arrives; without a running
    // acquisition one spectrum is acquired at once. True.
    bool collectBright();
    bool collectReference();
    bool collectDark();
    // Forgets the bright and reference spectra and the controller's dark.
    void clearCollected();
    // Withdraws the collections asked for and not yet taken.
    void cancelCollections();

    // The reflectance of the current spectrum against the bright spectrum
    // into `out` (cleared first): 0..10, NaN as 0. False, `out` empty, without
    // a bright spectrum of the current spectrum's length (or, with white-lid
    // referencing, a white-lid curve of that length).
    bool computeReflectance(std::vector<double>& out);

    // The one way a new wavelength grid reaches the utility and its colour
    // engine. True.
    bool setWavelengths(std::vector<double> values);
    void setExposureNormalisation(bool on);
    std::string getVersionText() const;

    // 0 = match the chart by RGB, 1 = by L*a*b*; other values are ignored.
    void setColourMatchMethod(int method);
    void setObserver(bool cie1931);
    void setIlluminant(bool d65);

    // A series of `samples` samples (0: until stopped) every `intervalSeconds`
    // of the metric 0 (mean over start..end), 1 (value at start) or 2 (ratio
    // start / end). Wavelengths not on the grid keep the previous index.
    void startTimeSeries(int intervalSeconds, int samples, int startWavelength, int endWavelength,
                         int metric);
    void stopTimeSeries();
    // Writes a finished series to fileName + ".txt"; false, with a message
    // naming the file, when it could not be written.
    bool saveTimeSeries(std::string fileName, QVector<double> times, QVector<double> metrics);

    // Copies the folder `source` into `destination` (created, with missing
    // parents), recursively, never overwriting a file. False when the source
    // is not a folder, the destination has no last name, or a subfolder could
    // not be copied; a file that cannot be copied is reported on standard
    // error and skipped.
    bool copyDirectory(const std::string& source, const std::string& destination);

    // Read access for the plots and the main window.
    const std::vector<double>& getCurrentSpectrum() const { return currentSpectrum; }
    const std::vector<double>& getSpectrumWavelengths() const { return wavelengths; }
    const std::vector<double>& getReflectance() const { return reflectance; }
    bool isStdBrightLoaded() const { return stdBrightLoaded; }
    bool isTimeSeriesRunning() const { return tsRunning; }
    const ColourEngine& getColourEngine() const { return colourEngine; }

signals:
    void pSpectrumReady(std::vector<double> spectra);
    void reflectanceSpectrumReady(std::vector<double> spectra);
    void CIELABRGBReady(const tCIELABRGB& colori, bool specInitialized, std::string pantoneColor,
                        int& minDist);
    void spectraSaturated(bool flagSaturated);
    void plotSaved(bool success, std::string filename);
    void onTSSpectrumRecieved(double& area, int& samplesDone);
    void brightSpectraCollected();
    void refSpectraCollected();

public slots:
    void processSpectra(std::vector<double> spectra, bool flagSaturated);
    void setReferenceCorrection(bool value);
    void setBrightCorrection(bool value);
    void setWhiteLidReferencing(bool value);
    void setColorimetry(bool value);
    // Writes the current spectrum (and, in reflectance mode, the bright
    // spectrum and the reflectance) to outFilename + ".txt" or ".csv".
    void savePlot(std::string outFilename, std::string wvlUnits, std::string specUnits, bool CSV);
    // Writes one recorded spectrum.
    void saveSpectrum(std::string outFilename, std::vector<double> spectrum, bool CSV, double fps,
                      bool flagSaturated);
    // One acquisition for the time series.
    void callGetSpectra();
    // Appends the last colour to outFilename + ".txt" or ".csv", after a title
    // line when fnum is 0. Nothing without a bright spectrum.
    void on_saveColor(std::string outFilename, int fnum, bool csv);

private:
    bool loadStdBrightCorrection();
    // Acquires one spectrum now unless the controller is acquiring.
    void acquireUnlessAcquiring();
    void takeCollections();
    void subtractReference();
    void computeColour();
    void takeTimeSeriesSample();
    void emitResults(bool flagSaturated);
    // The spectrum file header of the current state.
    SpectrumFileHeader headerFor(const std::string& fullName) const;

    std::vector<double> wavelengths;
    std::vector<double> brightSpectrum;
    std::vector<double> stdBrightCorrection;
    std::vector<double> currentSpectrum;
    std::vector<double> referenceSpectrum;
    std::vector<double> reflectance;
    bool wavelengthsSet = false;
    bool brightCollected = false;
    bool referenceCollected = false;
    bool colourDataLoaded = false;
    bool stdBrightLoaded = false;
    bool spectrumSaturated = false;
    bool reflectanceReady = false;
    bool collectBrightPending = false;
    bool collectReferencePending = false;
    bool referenceCorrection = false;
    bool brightCorrection = false;
    bool colorimetry = true;
    bool whiteLidReferencing = false;
    bool exposureNormalisation = false;
    int colourMatchMethod = 0;
    ColourEngine::Triple xyz{};
    ColourEngine::Triple rgb{};
    ColourEngine::Triple lab{};
    tCIELABRGB colourRecord;
    ColourEngine colourEngine;
    std::shared_ptr<Brevanta::KelSpectro> controller;
    int tsInterval = 0;
    int tsSamples = 0;
    int tsStartIndex = 0;
    int tsEndIndex = 0;
    int tsCount = 0;
    int tsMetric = 0;
    double tsValue = 0.0;
    bool tsRunning = false;
    std::string versionText;
    QTimer* tsTimer = nullptr;  // child of this object
};
