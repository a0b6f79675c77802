// The acquisition controller: owns the spectral processor, drives one camera
// device and publishes every result by signals.
//
// Threads: the live loop getSpectraC runs on the controller's worker thread;
// everything else (settings, single acquisitions, recording) is called from
// the user-interface thread, also while the live loop runs. Flags polled
// across the threads are atomics; the processor serialises its frame
// operations with its mode switches and dark operations under its own mutex.
// Only one acquisition (getSpectra, getSpectraC, recordInterfero) runs at a
// time: a second one is refused with false at once.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/StageTimes.h"
#include "device/Frame.h"

class SpectralProcessor;

namespace kelo::acquisition {
class FrameRateWindow;
}

namespace Brevanta {

class KelDevice;

class KelSpectro : public QObject {
    Q_OBJECT
public:
    // No processor and no device: a QObject base that acquires nothing.
    KelSpectro();
    // `device` is not owned and may be null.
    KelSpectro(const std::string& deviceId, KelDevice* device);
    ~KelSpectro() override;
    KelSpectro(const KelSpectro&) = delete;
    KelSpectro& operator=(const KelSpectro&) = delete;

    // Opens and configures the camera from the unit's configuration named by
    // the camera's user-defined name and initialises the processor. False
    // without device or processor (errorCode 3), for an unreadable
    // configuration, or when the processor cannot process frames.
    bool initDevice();
    // Writes gain, exposure time and save folder to the unit's user file.
    bool saveUserConfig();

    // Device forwards; without a device they do nothing and return false,
    // "" or 0.
    bool isConnected();
    bool isGrabbing();
    void stopGrabbing();
    void closeDevice();
    std::string getUserDefinedName();
    double getExposureTime();
    double getGain();
    int getTriggerMode();
    double getGrabExposureTime();
    double getResultingFrameRate();

    int getAverages() const;
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
    int getErrorCode() const;
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
    // False cancels a wait for a hardware trigger.
    void setWaitForTrigger(bool wait);
    // The next completed average becomes the dark.
    void setCollectDark(bool collect);
    void setStopRecording(bool stop);
    // Effective in the processor only while a dark is stored.
    void setDarkSubtraction(bool on);
    void setBlurEveryFrame(bool on);
    void setRestrictedRange(bool on);
    void clearDark();

signals:
    void spectrumReady(std::vector<double> spectrum, bool SaturatedFlag);
    void frameId(int imgNum);
    void fpsReady(int fps);
    void avgProgress(double avg);
    void darkImageCollected();
    void recordedfps(double fps, int frameId, int captureId);
    void saveSpectrum(std::vector<double> spec, int index, bool bFlagSaturation);

public slots:
    // One averaged spectrum on the calling thread, processing its events
    // between frames.
    bool getSpectra(std::vector<double>& spectrum, bool& flagSaturated);
    // The live loop: spectra until the camera stops grabbing.
    bool getSpectraC();
    // Grabs numOfSamples groups of skipFrame frames and keeps the cell values
    // of the first frame of each group.
    bool recordInterfero(int numOfSamples, int skipFrame);
    // Solves every kept sample and emits saveSpectrum for each.
    void processRecordedInterfero();
    void setDevExposureTimeMin(double min);
    void setDevExposureTimeMax(double max);

private:
    // Waits for a hardware-triggered frame in `frame` while waitForTrigger is
    // set; false when it was cleared or the camera is gone. Events are
    // processed while waiting when `processEvents`.
    bool waitForTriggeredFrame(bool processEvents);
    // Converts `frame` and adds its cell values to cellSum; the frame is
    // number `k` of an average of `n`.
    bool accumulateFrame(std::uint32_t k, std::uint32_t n);
    // retrieveFrame and accumulate, for frames k = first..n of an average.
    bool accumulateRetrievedFrames(std::uint32_t first, std::uint32_t n, int& total);
    // The hardware-triggered average of getSpectra; false when incomplete.
    bool triggeredAverage(std::uint32_t n);
    // cells = cellSum / n; a requested dark is stored. True when it was.
    bool finishAverage(std::uint32_t n);
    // One sweep of the live loop; `total` counts the frames added.
    void liveSweep(int& total, bool& ok);
    void stopGrabQuietly();

    // Fields in the order of the instrument's controller; the comment says
    // which thread touches each.
    std::unique_ptr<SpectralProcessor> processor;  // guarded by its own mutex
    KelDevice* device = nullptr;                   // not owned
    std::string serialNumber;
    std::string cameraName;
    // The running acquisition's buffers: only the one acquisition admitted by
    // acquisitionBusy touches them.
    Frame frame;
    std::uint32_t pixelCount = 0;
    std::uint32_t cellCount = 0;
    std::vector<double> cells;
    std::vector<double> cellSum;
    std::atomic<int> errorCode{kNoError};
    std::atomic<std::uint32_t> averages{1};
    std::unique_ptr<kelo::acquisition::FrameRateWindow> frameRate;  // fpsCount, fpsSum
    std::atomic<bool> darkSubtraction{false};
    std::atomic<bool> darkRequested{false};
    std::atomic<bool> waitForTrigger{false};
    bool gaussBlurMode = false;  // user-interface thread
    bool visNirMode = false;     // user-interface thread
    std::atomic<bool> blurEveryFrame{false};
    std::atomic<bool> saturated{false};  // of the last solved spectrum
    std::atomic<bool> stopRecording{false};
    std::vector<std::vector<double>> recorded;  // user-interface thread
    std::string saveDir;                        // user-interface thread

    std::atomic<bool> acquisitionBusy{false};
    std::vector<double> liveSpectrum;  // the running acquisition's solve output
    kelo::acquisition::StageTimes stageTimes;
};

}  // namespace Brevanta

Q_DECLARE_METATYPE(std::vector<double>)
