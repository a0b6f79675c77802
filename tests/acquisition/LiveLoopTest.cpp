// getSpectraC on a worker thread while the test thread acts as the user
// interface: dark, trigger, frame rate, settings changed under the loop.
#include <QSignalSpy>
#include <QThread>
#include <algorithm>

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
    EXPECT_EQ(live.endedCode(), KelSpectro::kNoError);
    EXPECT_FALSE(spectro->isGrabbing());
    EXPECT_FALSE(spectro->isAcquiring());
    // frameId counts every frame since the loop started, before each
    // spectrum; the next average's progress comes from the gathering thread
    // and may fall between them.
    std::vector<Event> events = log.events();
    events.erase(std::remove_if(events.begin(), events.end(),
                                [](const Event& event) { return event.kind == Event::Progress; }),
                 events.end());
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
    ASSERT_TRUE(spectro->recordInterfero(2, 1));
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 1; }));
    EXPECT_TRUE(spectro->isAcquiring());
    QSignalSpy ended(spectro.get(), &KelSpectro::acquisitionEnded);
    QSignalSpy saved(spectro.get(), &KelSpectro::saveSpectrum);
    std::vector<double> spectrum;
    bool saturated = false;
    EXPECT_FALSE(spectro->getSpectra(spectrum, saturated));
    EXPECT_FALSE(spectro->recordInterfero(2, 1));
    spectro->processRecordedInterfero();
    EXPECT_EQ(saved.count(), 0);
    EXPECT_EQ(spectro->getRecordedCount(), 2u);  // the refused recording kept them
    EXPECT_FALSE(spectro->getSpectraC());
    EXPECT_FALSE(spectro->initDevice());
    // The refusals are told apart from the end of the running loop.
    ASSERT_EQ(ended.count(), 2);
    EXPECT_EQ(ended.at(0).at(0).toInt(), KelSpectro::kErrorBusy);
    EXPECT_EQ(ended.at(1).at(0).toInt(), KelSpectro::kErrorBusy);
    EXPECT_TRUE(live.stop());
    EXPECT_EQ(live.endedCode(), KelSpectro::kNoError);
}

// The stop may come before the loop has started grabbing, or while it
// starts: either way the loop ends, and the next prepared loop runs again.
TEST_F(LiveLoop, AStopIsNeverLostHoweverEarlyItComes) {
    std::unique_ptr<KelSpectro> spectro = openController();
    const auto runLoop = [&](bool stopBeforeStart) {
        std::unique_ptr<QThread> worker(QThread::create([&] { spectro->getSpectraC(); }));
        spectro->prepareLive();
        if (stopBeforeStart) spectro->stopGrabbing();
        worker->start();
        if (!stopBeforeStart) spectro->stopGrabbing();
        return worker->wait(5000);
    };
    EXPECT_TRUE(runLoop(true));
    for (int run = 0; run < 20; ++run) ASSERT_TRUE(runLoop(false)) << "run " << run;

    // A prepared loop has the next turn: nothing else starts before it ran.
    spectro->prepareLive();
    EXPECT_TRUE(spectro->isAcquiring());
    std::vector<double> spectrum;
    bool saturated = false;
    EXPECT_FALSE(spectro->getSpectra(spectrum, saturated));
    spectro->stopGrabbing();
    EXPECT_FALSE(spectro->getSpectraC());
    EXPECT_FALSE(spectro->isAcquiring());
    EXPECT_FALSE(spectro->isGrabbing());

    SignalLog log(*spectro);
    LiveRun live(*spectro);
    EXPECT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 2; }));
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
    bool darkSeen = false;
    for (const Event& event : events) {
        if (event.kind == Event::Dark) darkSeen = true;
        if (event.kind != Event::FrameId) continue;
        if (!darkSeen) idBefore = event.value;
        if (darkSeen && idAfter < 0) idAfter = event.value;
    }
    ASSERT_GE(idBefore, 0);
    EXPECT_EQ(idAfter - idBefore, 8.0);
    // Every whole average became a spectrum or the dark, the last ones
    // finished before the stop included.
    const std::vector<double> progress = log.values(Event::Progress);
    const int published = log.count(Event::Spectrum) + 1;
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 100.0), published);
    EXPECT_EQ(log.values(Event::FrameId).back(), 4.0 * published);
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

TEST_F(LiveLoop, AStopDuringATriggerWaitBeforeTheFirstPulseEndsTheLoop) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setTriggerMode(1);
    LiveRun live(*spectro);
    // Armed: the camera waits for a pulse that never comes.
    ASSERT_TRUE(waitUntil([&] { return spectro->isGrabbing(); }));
    spectro->stopGrabbing();
    ASSERT_TRUE(live.waitForEnd(std::chrono::seconds(5)));
    EXPECT_EQ(live.endedCode(), KelSpectro::kNoError);
    EXPECT_EQ(spectro->getTriggerMode(), 1);
}

TEST_F(LiveLoop, FramesThatStopComingEndTheLoopWithATimeOutError) {
    std::unique_ptr<KelSpectro> spectro = openController();
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 1; }));
    simcam::dropFrames(serial, 1000000);
    // Exposure, frame period and one second.
    ASSERT_TRUE(live.waitForEnd(std::chrono::seconds(10)));
    EXPECT_FALSE(live.result());
    EXPECT_EQ(live.endedCode(), KelSpectro::kErrorRaised);
    EXPECT_EQ(spectro->getErrorCode(), KelSpectro::kErrorRaised);
    EXPECT_NE(spectro->getErrorText().find("no frame from the camera within 10"), std::string::npos)
        << spectro->getErrorText();
}

TEST_F(LiveLoop, AnUnpluggedCameraEndsTheLoopWithAnError) {
    for (bool duringTheLoop : {false, true}) {
        std::unique_ptr<KelSpectro> spectro = openController();
        SignalLog log(*spectro);
        if (!duringTheLoop) simcam::unplug(serial);
        LiveRun live(*spectro);
        if (duringTheLoop) {
            ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 1; }));
            simcam::unplug(serial);
        }
        ASSERT_TRUE(live.waitForEnd(std::chrono::seconds(10)));
        EXPECT_FALSE(live.result());
        EXPECT_EQ(live.endedCode(), KelSpectro::kErrorRaised);
        EXPECT_FALSE(spectro->getErrorText().empty());
    }
}

// The application's teardown: the controller released while the loop runs
// stops it and waits for it. Released by the worker instead, after the loop
// ended by itself, it goes there.
TEST_F(LiveLoop, TheControllerCanBeReleasedWhileLiveOnEitherThread) {
    for (bool workerReleasesLast : {false, true}) {
        std::shared_ptr<KelSpectro> spectro = openController();
        KelSpectro* const controller = spectro.get();
        std::shared_ptr<KelSpectro> workerCopy = workerReleasesLast ? spectro : nullptr;
        QThread worker;
        controller->moveToThread(&worker);
        std::atomic<int> spectra{0};
        QObject::connect(
            controller, &KelSpectro::spectrumReady, controller,
            [&spectra](const std::vector<double>&, bool) { ++spectra; }, Qt::DirectConnection);
        std::atomic<bool> slotOver{false};  // the last thing the slot does, as in LiveRun
        // Tied to the thread, not to the controller that goes while it runs.
        QObject::connect(
            &worker, &QThread::started, &worker,
            [&worker, &workerCopy, &slotOver, controller] {
                controller->getSpectraC();
                workerCopy.reset();
                worker.quit();
                slotOver.store(true, std::memory_order_release);
            },
            Qt::DirectConnection);
        controller->prepareLive();
        worker.start();
        ASSERT_TRUE(waitUntil([&] { return spectra >= 2; }));
        spectro.reset();
        if (workerReleasesLast) simcam::unplug(serial);
        EXPECT_TRUE(worker.wait(10000));
        EXPECT_TRUE(slotOver.load(std::memory_order_acquire));
    }
}

// Also the program of the ThreadSanitizer build: the user interface changes
// everything it may while the loop runs, and is told of the spectra queued,
// as the window is. The spectra themselves are read where they are emitted:
// the copy a queued signal carries is handed over inside Qt, which the
// sanitizer cannot see.
TEST_F(LiveLoop, SettingsChangedFromAnotherThreadDuringTheLoop) {
    std::unique_ptr<KelSpectro> spectro = openController();
    const std::size_t restricted = spectro->getWavelengths().size();
    spectro->setRestrictedRange(false);
    const std::size_t full = spectro->getWavelengths().size();
    spectro->setRestrictedRange(true);
    SignalLog log(*spectro);
    QObject receiver;
    int queued = 0;
    QObject::connect(spectro.get(), &KelSpectro::spectrumReady, &receiver, [&] {
        EXPECT_EQ(QThread::currentThread(), receiver.thread());
        ++queued;
    });
    LiveRun live(*spectro);
    for (int i = 0; i < 24; ++i) {
        const int spectra = queued;
        ASSERT_TRUE(waitUntil([&] { return queued > spectra; }));
        spectro->setExposureTime(i % 2 ? 1500.0 : 2500.0);
        spectro->setAverages(1 + i % 3);
        spectro->setRestrictedRange(i % 2 == 0);
        spectro->setCollectDark(i % 4 == 0);
        spectro->setDarkSubtraction(i % 3 == 0);
        if (i % 5 == 0) spectro->clearDark();
        spectro->getWavelengths();
        spectro->getSaturatedWavelengths();
    }
    EXPECT_TRUE(live.stop());
    EXPECT_EQ(spectro->getErrorCode(), 0);
    for (const Event& event : log.events()) {
        if (event.kind == Event::Spectrum) {
            EXPECT_TRUE(event.size == restricted || event.size == full) << event.size;
        }
    }
}

// The pipeline: the worker gathers the next average while the loop's solve
// thread solves the previous one and publishes it.

double squaredDistance(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum;
}

TEST_F(LiveLoop, PipelinePublishesTheAveragesInTheirOrderWithTheirFrameIds) {
    std::unique_ptr<KelSpectro> spectro = openController("halogen");
    spectro->setAverages(2);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 4; }));
    ASSERT_TRUE(simcam::setScene("fluorescent"));
    const int atSwitch = log.count(Event::Spectrum);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= atSwitch + 6; }));
    EXPECT_TRUE(live.stop());

    // Every average is published, the last one finished before the stop
    // included, each with the frames added up to its end.
    const std::vector<double> ids = log.values(Event::FrameId);
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(log.count(Event::Spectrum)));
    for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], 2.0 * (i + 1)) << i;
    // The scene changes once: no spectrum of the lamp after one of the tube.
    const std::vector<std::vector<double>> spectra = log.spectra();
    const std::vector<double>& lamp = spectra.front();
    const std::vector<double>& tube = spectra.back();
    ASSERT_GT(squaredDistance(lamp, tube), 0.0);
    const auto ofTheLamp = [&](const std::vector<double>& spectrum) {
        return squaredDistance(spectrum, lamp) < squaredDistance(spectrum, tube);
    };
    std::size_t firstOfTheTube = 0;
    while (firstOfTheTube < spectra.size() && ofTheLamp(spectra[firstOfTheTube])) ++firstOfTheTube;
    EXPECT_GE(firstOfTheTube, 4u);
    for (std::size_t i = firstOfTheTube; i < spectra.size(); ++i)
        EXPECT_FALSE(ofTheLamp(spectra[i])) << i;
    EXPECT_EQ(log.events().back().kind, Event::Ended);
}

// The stop comes while the solve thread publishes the second spectrum and
// the third average already waits for it: both are still published, then
// the loop ends, and nothing comes after acquisitionEnded.
TEST_F(LiveLoop, PipelineStopPublishesTheAveragesAlreadyFinishedAndNothingAfterTheEnd) {
    std::unique_ptr<KelSpectro> spectro = openController();
    SignalLog log(*spectro);
    std::atomic<int> finished{0};
    std::atomic<bool> thirdFinished{false};
    QObject::connect(
        spectro.get(), &KelSpectro::avgProgress, spectro.get(),
        [&](double progress) { finished += progress >= 100.0; }, Qt::DirectConnection);
    QObject::connect(
        spectro.get(), &KelSpectro::frameId, spectro.get(),
        [&](int id) {
            if (id != 2) return;
            thirdFinished = waitUntil([&] { return finished >= 3; });
            spectro->stopGrabbing();
        },
        Qt::DirectConnection);
    LiveRun live(*spectro);
    ASSERT_TRUE(live.waitForEnd(std::chrono::seconds(20)));
    EXPECT_TRUE(thirdFinished);
    EXPECT_TRUE(live.result());
    EXPECT_EQ(live.endedCode(), KelSpectro::kNoError);
    EXPECT_EQ(log.values(Event::FrameId), (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(log.count(Event::Spectrum), 3);
    EXPECT_EQ(log.count(Event::Ended), 1);
    EXPECT_EQ(log.events().back().kind, Event::Ended);
}

// A dark requested while spectra are being solved is stored in its turn:
// the spectra before it show the scene, those after it the scene less its
// own dark, which is nothing.
TEST_F(LiveLoop, PipelineStoresTheDarkInTurnAndSubtractsItFromTheSpectraAfterIt) {
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(2);
    spectro->setDarkSubtraction(true);
    SignalLog log(*spectro);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= 3; }));
    spectro->setCollectDark(true);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Dark) >= 1; }));
    const int atDark = log.count(Event::Spectrum);
    ASSERT_TRUE(waitUntil([&] { return log.count(Event::Spectrum) >= atDark + 3; }));
    EXPECT_TRUE(live.stop());

    EXPECT_EQ(log.count(Event::Dark), 1);
    const std::vector<std::vector<double>> spectra = log.spectra();
    const double scene = largest(spectra.front());
    ASSERT_GT(scene, 0.0);
    std::size_t index = 0;
    bool darkSeen = false;
    for (const Event& event : log.events()) {
        darkSeen = darkSeen || event.kind == Event::Dark;
        if (event.kind != Event::Spectrum) continue;
        const double top = largest(spectra[index++]);
        if (darkSeen)
            EXPECT_LT(top, 1e-6 * scene) << index;
        else
            EXPECT_NEAR(top, scene, 1e-9 * scene) << index;
    }
    // The dark's average took two frames that no spectrum reports.
    const std::vector<double> ids = log.values(Event::FrameId);
    int darkGaps = 0;
    for (std::size_t i = 1; i < ids.size(); ++i) {
        const double gap = ids[i] - ids[i - 1];
        darkGaps += gap == 4.0;
        EXPECT_TRUE(gap == 2.0 || gap == 4.0) << i;
    }
    EXPECT_EQ(darkGaps, 1);
}

}  // namespace
}  // namespace kelo::acquisitiontest
