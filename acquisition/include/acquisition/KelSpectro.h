// The acquisition controller: owns the spectral processor, drives one camera
// device and publishes every result by signals.
//
// Threads: the live loop getSpectraC runs on the controller's worker thread,
// which gathers and averages frames, and on a solve thread that the loop
// starts and joins before it returns: it solves each average while the
// worker gathers the next, stores a requested dark in its turn, and emits
// fpsReady, frameId, spectrumReady and darkImageCollected; avgProgress and
// acquisitionEnded come from the worker. Connect to them directly or from
// an object of another thread (queued). Everything else (settings, single
// acquisitions, recording) is called from the user-interface thread, also
// while the live loop runs. Flags polled across the threads are atomics;
// the processor serialises its frame operations and its solves, each with
// its mode switches and dark operations, under mutexes of its own.
// Only one acquisition (getSpectra, getSpectraC, recordInterfero,
// processRecordedInterfero) runs at a time: a second one is refused with
// false at once.
//
// Stopping: one stop request (stopGrabbing, setWaitForTrigger(false),
// setStopRecording(true)) ends whatever acquisition runs or is about to
// start: the live loop, a wait for a hardware trigger, an average, a
// recording. It stays set until the next acquisition starts: getSpectra,
// recordInterfero and processRecordedInterfero clear it when they are
// called; the live loop, which starts on another thread, is cleared for by
// prepareLive on the controlling thread before that thread starts.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "acquisition/StageTimes.h"
#include "device/Frame.h"
#include "engine/FitDiagnostics.h"

class SpectralProcessor;

namespace kelo::acquisition {
class AcquisitionGate;
class AcquisitionGuard;
class FrameRateWindow;
class SolveStage;
struct FinishedAverage;
}  // namespace kelo::acquisition

namespace Brevanta {

class KelDevice;
enum class CameraFeature;

class KelSpectro : public QObject {
    Q_OBJECT
public:
    // No processor and no device: a QObject base that acquires nothing.
    KelSpectro();
    // `device` is not owned and may be null.
    KelSpectro(const std::string& deviceId, KelDevice* device);
    // Stops any acquisition and waits for it to return. Never destroy the
    // controller from inside a slot that one of its acquisitions calls.
    ~KelSpectro() override;
    KelSpectro(const KelSpectro&) = delete;
    KelSpectro& operator=(const KelSpectro&) = delete;

    // Opens and configures the camera from the unit's configuration named by
    // the camera's user-defined name and initialises the processor. False
    // without device or processor (errorCode 3), for an unreadable or refused
    // configuration (nothing is opened or sized for it), or when the
    // processor cannot process frames (the loops get no buffers).
    bool initDevice();
    // Writes gain, exposure time and save folder to the unit's user file.
    bool saveUserConfig();

    // Device forwards; without a device they do nothing and return false,
    // "" or 0.
    bool isConnected();
    bool isGrabbing();
    // Requests the stop (see above) and stops the camera's grab, which ends
    // a frame wait at once.
    void stopGrabbing();
    // Clears a past stop request. Call it on the controlling thread before
    // starting the thread that runs getSpectraC: every stop from then on
    // ends that loop, even one that arrives before the loop has started, and
    // no other acquisition is admitted until that loop has run.
    void prepareLive();
    // True while an acquisition runs or a prepared live loop is yet to run.
    bool isAcquiring() const;
    void closeDevice();
    std::string getUserDefinedName();
    // The features the camera opened last cannot serve, each with the first
    // node it lacks; empty without a device.
    std::map<CameraFeature, std::string> missingFeatures() const;
    double getExposureTime();
    double getGain();
    int getTriggerMode();
    double getGrabExposureTime();
    double getResultingFrameRate();

    int getAverages() const;
    // The operator's save folder, from the user file; written back at exit.
    std::string getSaveDir() const;
    void setSaveDir(const std::string& folder);
    std::vector<double> getWavelengths() const;
    int getRestrictedPointCount() const;
    // Where the cells that saturated in the last solved spectrum respond
    // most, in nm, ascending and without repeats; empty when none saturated.
    std::vector<double> getSaturatedWavelengths() const;
    std::size_t getRecordedCount() const;
    bool getDarkSubtraction() const;
    bool getGaussBlurMode() const;
    bool getVisNirMode() const;
    // Error codes: none, no device or processor at initDevice, an acquisition
    // failed with an error.
    static constexpr int kNoError = 0;
    static constexpr int kErrorNoDevice = 3;
    static constexpr int kErrorRaised = 10;
    // Only in acquisitionEnded: the acquisition was refused because another
    // one runs.
    static constexpr int kErrorBusy = 11;
    int getErrorCode() const;
    // Why the last live loop ended with an error, or the last single
    // acquisition got no frame, for the operator; empty when it ended by a
    // stop or by itself.
    std::string getErrorText() const;
    // How the fit of the last solved spectrum went.
    kelo::engine::FitDiagnostics getFitDiagnostics() const;
    // Where the live loop spent its time since it last started.
    const kelo::acquisition::StageTimes& getStageTimes() const;

    // Microseconds. Restarts the frame-rate window.
    void setExposureTime(double microseconds);
    // Frames per spectrum, at least 1; an average under way keeps its count.
    // Restarts the frame-rate window.
    void setAverages(int n);
    void setGain(double value);
    void setTriggerMode(int mode);
    void setFlashMode(int mode);
    void setExposureAutoContinuous();
    void setExposureAutoOff();
    // False requests the stop, which cancels a wait for a hardware trigger;
    // true alone changes nothing (every wait arms itself).
    void setWaitForTrigger(bool wait);
    // The next completed average becomes the dark.
    void setCollectDark(bool collect);
    // True requests the stop; false changes nothing (a recording clears a
    // past stop when it starts).
    void setStopRecording(bool stop);
    // The operator's choice; the dark is subtracted while it is on and a dark
    // is stored.
    void setDarkSubtraction(bool on);
    void setBlurEveryFrame(bool on);
    void setRestrictedRange(bool on);
    void clearDark();

signals:
    void spectrumReady(std::vector<double> spectrum, bool SaturatedFlag);
    // Before each spectrum of the live loop: the frames added since the loop
    // started, up to the end of that spectrum's average.
    void frameId(int imgNum);
    // Spectra per second as they are published. The live loop sends it
    // before every ninth spectrum: nine spectra over the time they took,
    // each from the start of the previous spectrum's average to the start of
    // this one's (from this one's start to its publication for the first
    // spectrum and the first after an average that published none).
    void fpsReady(int fps);
    void avgProgress(double avg);
    void darkImageCollected();
    void recordedfps(double fps, int frameId, int captureId);
    void saveSpectrum(std::vector<double> spec, int index, bool bFlagSaturation);
    // Sent once whenever getSpectraC or recordInterfero returns, from the
    // thread that ran it: kNoError when it was stopped or ended by itself,
    // kErrorRaised when an error ended it (getErrorText says which), or
    // kErrorBusy when it was refused.
    void acquisitionEnded(int errorCode);

public slots:
    // One averaged spectrum on the calling thread, processing its events
    // between frames.
    bool getSpectra(std::vector<double>& spectrum, bool& flagSaturated);
    // The live loop: spectra until the camera stops grabbing. Averages that
    // were finished when the stop came are still published, each in its
    // order, before acquisitionEnded.
    bool getSpectraC();
    // Grabs numOfSamples groups of skipFrame frames and keeps the cell values
    // of the first frame of each group.
    bool recordInterfero(int numOfSamples, int skipFrame);
    // Solves every kept sample and emits saveSpectrum for each.
    void processRecordedInterfero();
    void setDevExposureTimeMin(double min);
    void setDevExposureTimeMax(double max);

private:
    // How a frame step of an average ended.
    enum class FrameStep { Added, NotConverted, NoFrame };

    // Stops the camera's grab without letting an SDK error out.
    void stopGrabQuietly();
    // Starts the grab in `mode` unless a stop was requested; the check and the
    // start are one step against a stop from the other thread.
    bool startGrab(int mode);
    // Waits for a hardware-triggered frame in `frame` until one arrives or
    // the stop is requested; false also when the camera is gone. Events are
    // processed while waiting when `processEvents`.
    bool waitForTriggeredFrame(bool processEvents);
    // Converts `frame` and adds its cell values to cellSum; the frame is
    // number `k` of an average of `n`.
    bool accumulateFrame(std::uint32_t k, std::uint32_t n);
    // retrieveFrame and accumulate, for frames k = first..n of an average.
    FrameStep accumulateRetrievedFrames(std::uint32_t first, std::uint32_t n, int& total);
    // The hardware-triggered average of getSpectra; false when incomplete.
    bool triggeredAverage(std::uint32_t n);
    // mean = cellSum / n.
    void averageCells(std::uint32_t n, std::vector<double>& mean) const;
    // Stores the dark and emits darkImageCollected; when the processor
    // refuses it, the request is made again. True when stored.
    bool storeDark(const std::vector<double>& darkCells);
    // What the live loop's solve stage carries from one average to the next.
    struct LivePublication {
        std::int64_t startedNs = 0;  // when the average of the last spectrum started; 0: none
        // Frames of the last average, when its solve succeeded; 0: it failed,
        // or none was solved yet.
        std::uint32_t solvedAverages = 0;
    };
    // One sweep of the live loop on the worker: gathers an average and hands
    // it to the solve stage; `total` counts the frames added. False when the
    // loop must end: stopped, or failed (the error recorded).
    bool liveSweep(int& total, kelo::acquisition::SolveStage& solving);
    // On the solve stage: stores the average as the dark when it was
    // requested; otherwise, or when the processor refused the dark, solves
    // and publishes its spectrum.
    void publishAverage(const kelo::acquisition::FinishedAverage& average,
                        LivePublication& publication);
    // The frames of a hardware-triggered sweep: the triggered one, then the
    // rest of the average in free run.
    FrameStep triggeredFrames(std::uint32_t n, int& total);
    // After a frame step that got no frame: false, with the error recorded
    // unless a stop was requested.
    bool noFrame();
    // The error code 10 with its text; the text alone.
    void recordError(const std::string& text);
    void setErrorText(const std::string& text);
    // Why no frame came: the camera is gone, or none within the time-out.
    std::string missingFrameText();

    // Fields in the order of the instrument's controller; the comment says
    // which thread touches each.
    std::unique_ptr<SpectralProcessor> processor;  // guarded by its own mutex
    KelDevice* device = nullptr;                   // not owned
    std::string serialNumber;
    std::string cameraName;
    // The running acquisition's buffers: only the one acquisition admitted by
    // the gate touches them.
    Frame frame;
    std::uint32_t pixelCount = 0;
    std::uint32_t cellCount = 0;
    std::vector<double> cells;
    std::vector<double> cellSum;
    std::atomic<int> errorCode{kNoError};
    std::atomic<std::uint32_t> averages{1};
    std::unique_ptr<kelo::acquisition::FrameRateWindow> frameRate;  // fpsCount, fpsSum
    std::atomic<bool> darkRequested{false};
    bool gaussBlurMode = false;  // user-interface thread
    bool visNirMode = false;     // user-interface thread
    std::atomic<bool> blurEveryFrame{false};
    std::atomic<bool> saturated{false};  // of the last solved spectrum
    // The one stop request of every acquisition (the instrument's
    // stopRecording is part of it).
    std::atomic<bool> stopRequested{false};
    // Held while the stop request is tested or set together with a change of
    // the camera's grab, so that a stop never lands between them.
    std::mutex grabControl;
    mutable std::mutex recordedMutex;           // guards recorded
    std::vector<std::vector<double>> recorded;  // written by the recording only
    std::string saveDir;                        // user-interface thread

    std::unique_ptr<kelo::acquisition::AcquisitionGate> gate;
    // Set by prepareLive, cleared when getSpectraC starts: the live loop has
    // the next turn.
    std::atomic<bool> livePending{false};
    // Admitted by the gate, and not taking the turn of a prepared live loop.
    bool mayStart(const kelo::acquisition::AcquisitionGuard& guard) const;
    mutable std::mutex errorTextMutex;  // guards errorText
    std::string errorText;
    std::vector<double> liveSpectrum;  // the live loop's solve output: its solve stage only
    kelo::acquisition::StageTimes stageTimes;
};

}  // namespace Brevanta

Q_DECLARE_METATYPE(std::vector<double>)
