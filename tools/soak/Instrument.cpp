#include "Instrument.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "InstrumentSession.h"
#include "Interruptions.h"
#include "Protocol.h"
#include "SaveChecks.h"
#include "SettingsChanges.h"
#include "SoakFailure.h"
#include "WriteFailures.h"
#include "sim/SyntheticUnit.h"
#include "simcam/SimulatorControl.h"

namespace kelo::soak {

namespace {

using Brevanta::KelSpectro;
using std::chrono::milliseconds;

constexpr const char* kUnitId = "K3S00042";
constexpr const char* kSerialNumber = "40012345";
constexpr const char* kScene = "halogen";
constexpr milliseconds kSettingsInterval{100};
// The first live period ends with Stop; the second, with the saves, with
// the unplug.
constexpr int kFirstLiveMinMs = 800;
constexpr int kFirstLiveMaxMs = 1200;
constexpr int kSecondLiveMinMs = 2000;
constexpr int kSecondLiveMaxMs = 3000;
// Every third cycle cancels a trigger wait; the others abort a recording.
constexpr int kTriggerCycleEvery = 3;

void prepareUnit(const std::filesystem::path& workDir) {
    const std::string id = kUnitId;
    if (std::filesystem::exists(workDir / "cal" / id / (id + "-cfgSys.bin"))) return;
    sim::SyntheticUnitOptions unit;
    unit.id = id;
    unit.root = workDir;
    std::ostringstream log;
    const std::string failure = sim::writeSyntheticUnit(unit, log);
    if (!failure.empty()) throw SoakFailure("unit " + id + ": " + failure);
}

void plugCamera(const SoakOptions& options) {
    simcam::SimulatorSettings settings;
    settings.cameras = {{kSerialNumber, kUnitId}};
    settings.scene = kScene;
    settings.noise = true;
    settings.seed = options.seed;
    settings.root = options.workDir;
    simcam::configure(settings);
}

std::int64_t residentKibibytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t sizePages = 0;
    std::int64_t residentPages = 0;
    statm >> sizePages >> residentPages;
    return residentPages * (::sysconf(_SC_PAGESIZE) / 1024);
}

int uniform(std::mt19937_64& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

// One cycle of the soak on a plugged-in camera.
class SoakCycle {
public:
    SoakCycle(const SoakOptions& options, EventChannel& events, WriteFailures& failures,
              InstrumentSession& session, int number)
        : options(options), events(events), failures(failures), session(session), number(number) {
        std::seed_seq seeds{static_cast<std::uint32_t>(options.seed),
                            static_cast<std::uint32_t>(options.seed >> 32),
                            static_cast<std::uint32_t>(number)};
        random.seed(seeds);
    }

    void run() {
        events.cycle(number);
        if (setUp()) {
            SaveChecks saves(session.spectra(), events, failures);
            SettingsChanges changes(session.spectra(), session.controller(), events);
            live(changes, uniform(random, kFirstLiveMinMs, kFirstLiveMaxMs), nullptr);
            stop();
            interrupt(saves);
            live(changes, uniform(random, kSecondLiveMinMs, kSecondLiveMaxMs), &saves);
        }
        unplug();
        events.rss(residentKibibytes());
    }

private:
    bool setUp() {
        std::string failure;
        bool ready = false;
        {
            TimedOperation setUp(events, op::kSetUp);
            ready = session.setUp(failure);
        }
        if (!ready) events.fault(fault::kSetUpFailed, failure);
        return ready;
    }

    // Live for `durationMs` with a settings change every 100 ms; with
    // `saves`, the three kinds of save at a quarter, half and three quarters
    // of it.
    void live(SettingsChanges& changes, int durationMs, SaveChecks* saves) {
        const int spectraBefore = session.processedSpectra();
        session.startLive();
        if (!processEventsUntil(
                [&] { return session.processedSpectra() > spectraBefore || !session.isLive(); },
                Clock::now() + kGiveUp))
            events.fault(fault::kNoSpectrum, "no spectrum 20 s after Play");
        const int ticks = durationMs / static_cast<int>(kSettingsInterval.count());
        const Clock::time_point start = Clock::now();
        for (int tick = 1; tick <= ticks && session.isLive(); ++tick) {
            processEventsUntil(start + tick * kSettingsInterval);
            changes.changeOne(random);
            if (saves != nullptr) save(*saves, tick, ticks);
        }
        if (!session.isLive())
            events.fault(fault::kWrongEnd, "the live loop ended by itself with code " +
                                               std::to_string(session.liveEndCode()) + ": " +
                                               session.controller().getErrorText());
    }

    void save(SaveChecks& saves, int tick, int ticks) {
        const bool csv = std::bernoulli_distribution(0.5)(random);
        if (tick == ticks / 4) {
            const std::filesystem::path quick =
                options.workDir / "saves" / ("Default_" + std::to_string(number));
            std::filesystem::create_directories(quick.parent_path());
            saves.savePlot(quick.string(), csv);
        } else if (tick == ticks / 2) {
            saves.readOnlySaves(csv);
        } else if (tick == 3 * ticks / 4) {
            saves.fullSaves(csv);
        }
    }

    void stop() {
        if (!session.isLive()) return;
        bool ended = false;
        {
            TimedOperation stop(events, op::kStop);
            ended = session.stopLive(Clock::now() + kGiveUp);
        }
        if (!ended) events.fault(fault::kWrongEnd, "the live loop went on 20 s after Stop");
    }

    void interrupt(SaveChecks& saves) {
        if (session.isLive()) return;  // a stop that did not end it was reported
        if (number % kTriggerCycleEvery == 0) {
            cancelTriggerWait(session, events, random);
        } else {
            abortRecording(session, events, saves, options.workDir / "recordings", random);
        }
    }

    void unplug() {
        const bool wasLive = session.isLive();
        simcam::unplug(kSerialNumber);
        events.count(counted::kUnplug);
        if (wasLive) checkLoopEnd();
        {
            TimedOperation tearDown(events, op::kTearDown);
            session.tearDown();
        }
        simcam::plugIn(kSerialNumber);
    }

    // After the unplug the loop ends by itself, with the error code.
    void checkLoopEnd() {
        bool ended = false;
        {
            TimedOperation loopEnd(events, op::kLoopEnd);
            ended = session.waitForLiveEnd(Clock::now() + kGiveUp);
        }
        if (!ended) {
            events.fault(fault::kWrongEnd,
                         "the live loop went on 20 s after the camera was unplugged");
        } else if (session.liveEndCode() != KelSpectro::kErrorRaised) {
            events.fault(fault::kWrongEnd, "the live loop ended with code " +
                                               std::to_string(session.liveEndCode()) +
                                               " after the camera was unplugged, not 10");
        }
    }

    const SoakOptions& options;
    EventChannel& events;
    WriteFailures& failures;
    InstrumentSession& session;
    const int number;
    std::mt19937_64 random;
};

}  // namespace

int runInstrument(const SoakOptions& options, EventChannel& events) {
    try {
        std::filesystem::current_path(options.workDir);
        prepareUnit(options.workDir);
        plugCamera(options);
        const std::unique_ptr<WriteFailures> failures =
            makeWriteFailures(options.workDir, options.method);
        events.method(failures->description());
        InstrumentSession session;
        for (int cycle = options.firstCycle; cycle < options.cycles; ++cycle)
            SoakCycle(options, events, *failures, session, cycle).run();
        events.done();
        return 0;
    } catch (const SoakFailure& failure) {
        std::cerr << "kelo_soak: " << failure.what() << "\n";
        return kExitSoakFailure;
    } catch (const std::filesystem::filesystem_error& failure) {
        std::cerr << "kelo_soak: " << failure.what() << "\n";
        return kExitSoakFailure;
    }
}

}  // namespace kelo::soak
