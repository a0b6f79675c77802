// getSpectraC on a worker thread while the test thread acts as the user
// interface: dark, trigger, frame rate, settings changed under the loop.
#include <QSignalSpy>

#include "AcquisitionFixture.h"
#include "simcam/SimulatorControl.h"

namespace kelo::acquisitiontest {
namespace {

using Brevanta::KelSpectro;
using Event = SignalLog::Event;

class LiveLoop : public AcquisitionTest {};

TEST_F(LiveLoop, PublishesSpectraUntilTheCameraStops) {
    std::unique_ptr<KelSpectro> spectro = openController();
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 5; }));
    EXPECT_TRUE(live.stop());
    EXPECT_FALSE(spectro->isGrabbing());
    // frameId counts every frame since the loop started, before each spectrum.
    const std::vector<Event> events = log.events();
    int lastId = 0;
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        if (events[i].kind != Event::FrameId) continue;
        EXPECT_EQ(events[i + 1].kind, Event::Spectrum);
        EXPECT_GT(events[i].value, lastId);
        lastId = static_cast<int>(events[i].value);
    }
    EXPECT_EQ(spectro->getErrorCode(), 0);
}

TEST_F(LiveLoop, ASecondAcquisitionIsRefusedWhileTheLoopRuns) {
    std::unique_ptr<KelSpectro> spectro = openController();
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 1; }));
    std::vector<double> spectrum;
    bool saturated = false;
    EXPECT_FALSE(spectro->getSpectra(spectrum, saturated));
    EXPECT_FALSE(spectro->recordInterfero(2, 1));
    EXPECT_FALSE(spectro->getSpectraC());
    EXPECT_FALSE(spectro->initDevice());
    EXPECT_TRUE(live.stop());
}

TEST_F(LiveLoop, ADarkRequestTakesOneWholeAverageAndPublishesNoSpectrumForIt) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(4);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 2; }));
    spectro->setCollectDark(true);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Dark) == 1; }));
    const int spectraAtDark = log.count(Event::Spectrum);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= spectraAtDark + 2; }));
    live.stop();

    // Frame ids around the dark: the dark's average used four frames that
    // no spectrum reports.
    const std::vector<Event> events = log.events();
    EXPECT_EQ(log.count(Event::Dark), 1);
    double idBefore = -1, idAfter = -1;
    int progressSinceDark = 0;
    bool darkSeen = false;
    for (const Event& event : events) {
        if (event.kind == Event::Dark) darkSeen = true;
        if (event.kind == Event::Progress && darkSeen && idAfter < 0) ++progressSinceDark;
        if (event.kind != Event::FrameId) continue;
        if (!darkSeen) idBefore = event.value;
        if (darkSeen && idAfter < 0) idAfter = event.value;
    }
    ASSERT_GE(idBefore, 0);
    EXPECT_EQ(idAfter - idBefore, 8.0);
    EXPECT_EQ(progressSinceDark, 4);  // the next average, whole
}

TEST_F(LiveLoop, AveragesChangedDuringAnAverageApplyFromTheNextOne) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(4);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    for (int n : {2, 4, 1, 3, 4}) {
        const int spectra = log.count(Event::Spectrum);
        ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= spectra + 2; }));
        spectro->setAverages(n);
    }
    live.stop();
    // Each average reports 100 / n, 200 / n, ..., 100 for one n.
    std::vector<double> run;
    for (const Event& event : log.events()) {
        if (event.kind != Event::Progress) continue;
        run.push_back(event.value);
        if (event.value < 100.0) continue;
        const std::size_t n = run.size();
        for (std::size_t k = 1; k <= n; ++k)
            EXPECT_DOUBLE_EQ(run[k - 1], 100.0 / static_cast<double>(n) * static_cast<double>(k));
        run.clear();
    }
}

TEST_F(LiveLoop, TheFrameRateIsReportedOnEveryNinthSpectrum) {
    std::unique_ptr<KelSpectro> spectro = openController();
    // About 20 frames per second; the camera, not the solver, sets the pace.
    spectro->setExposureTime(50000.0);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Fps) >= 2; }));
    live.stop();
    int spectraSinceRate = 0;
    std::vector<int> rates;
    for (const Event& event : log.events()) {
        if (event.kind == Event::Spectrum) ++spectraSinceRate;
        if (event.kind != Event::Fps) continue;
        // The rate comes before the ninth spectrum's frameId and spectrum.
        EXPECT_EQ(spectraSinceRate, rates.empty() ? 8 : 9);
        spectraSinceRate = 0;
        rates.push_back(static_cast<int>(event.value));
    }
    ASSERT_GE(rates.size(), 2u);
    // The camera sets the pace, not the solver (which alone would run at
    // several times the rate). On a busy machine the rate may be much lower,
    // and a sweep delayed past the next frame finds it waiting, so one rate
    // of the nine can exceed the camera's.
    for (int rate : rates) {
        EXPECT_LE(rate, 30);
        EXPECT_GE(rate, 1);
    }
}

TEST_F(LiveLoop, HardwareTriggerGivesSpectraAndClearingTheWaitEndsTheLoop) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(2);
    spectro->setTriggerMode(1);
    simcam::setTriggerRate(40.0);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 3; }));
    simcam::setTriggerRate(0.0);
    spectro->setWaitForTrigger(false);
    // The loop notices within one trigger time-out of its current wait.
    ASSERT_TRUE(live.waitForEnd(std::chrono::seconds(20)));
    EXPECT_FALSE(spectro->isGrabbing());
    EXPECT_EQ(spectro->getErrorCode(), 0);
}

TEST_F(LiveLoop, ACancelArrivingWhileNoWaitRunsStillEndsTheHardwareLoop) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(2);
    spectro->setTriggerMode(1);
    simcam::setTriggerRate(40.0);
    // Cleared on the worker between the triggered frame and its spectrum,
    // with triggers still arriving: the next sweep must not wait again.
    std::atomic<bool> cancelled{false};
    QObject::connect(
        spectro.get(), &KelSpectro::frameId, spectro.get(),
        [&](int) {
            if (!cancelled.exchange(true)) spectro->setWaitForTrigger(false);
        },
        Qt::DirectConnection);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return cancelled.load(); }));
    EXPECT_TRUE(live.waitForEnd(std::chrono::seconds(10)));
}

TEST_F(LiveLoop, AnErrorFromTheCameraEndsTheLoopWithErrorCode10) {
    std::unique_ptr<KelSpectro> spectro = openController();
    simcam::unplug(serial);
    LiveRun live(*spectro);
    ASSERT_TRUE(live.waitForEnd(std::chrono::seconds(20)));
    EXPECT_FALSE(live.result());
    EXPECT_EQ(spectro->getErrorCode(), 10);
}

// Also the program of the ThreadSanitizer build: the user interface changes
// everything it may while the loop runs.
TEST_F(LiveLoop, SettingsChangedFromAnotherThreadDuringTheLoop) {
    std::unique_ptr<KelSpectro> spectro = openController();
    const std::size_t restricted = spectro->getWavelengths().size();
    spectro->setRestrictedRange(false);
    const std::size_t full = spectro->getWavelengths().size();
    spectro->setRestrictedRange(true);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    for (int i = 0; i < 24; ++i) {
        const int spectra = log.count(Event::Spectrum);
        ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) > spectra; }));
        spectro->setExposureTime(i % 2 ? 1500.0 : 2500.0);
        spectro->setAverages(1 + i % 3);
        spectro->setRestrictedRange(i % 2 == 0);
        spectro->setCollectDark(i % 4 == 0);
        spectro->setDarkSubtraction(i % 3 == 0);
        if (i % 5 == 0) spectro->clearDark();
        spectro->getWavelengths();
    }
    EXPECT_TRUE(live.stop());
    EXPECT_EQ(spectro->getErrorCode(), 0);
    for (const Event& event : log.events()) {
        if (event.kind == Event::Spectrum) {
            EXPECT_TRUE(event.size == restricted || event.size == full) << event.size;
        }
    }
}

}  // namespace
}  // namespace kelo::acquisitiontest
