#include "Interruptions.h"

#include <algorithm>
#include <optional>
#include <string>

#include "Protocol.h"
#include "SavedFiles.h"
#include "device/KelDevice.h"

namespace kelo::soak {

namespace {

using Brevanta::KelDevice;
using Brevanta::KelSpectro;

// How long the armed trigger waits before the operator cancels it.
constexpr int kArmedMinMs = 50;
constexpr int kArmedMaxMs = 400;
// The recording dialog's numbers: samples and frames per sample.
constexpr int kSamplesMin = 10;
constexpr int kSamplesMax = 40;
constexpr int kSkipMax = 3;

int uniform(std::mt19937_64& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, std::max(low, high))(random);
}

bool coin(std::mt19937_64& random) {
    return std::bernoulli_distribution(0.5)(random);
}

std::size_t savedFilesIn(const std::filesystem::path& folder) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.is_regular_file() && entry.path().extension() != ".part";
    return files;
}

// The live loop after the cancel: ended by itself without an error.
void checkCancelledLoop(InstrumentSession& session, EventChannel& events, bool ended) {
    if (!ended) {
        events.fault(fault::kWrongEnd,
                     "the live loop went on 20 s after its trigger wait was cancelled");
        session.stopLive(Clock::now() + kGiveUp);
        return;
    }
    if (session.liveEndCode() != KelSpectro::kNoError)
        events.fault(fault::kWrongEnd, "the cancelled trigger wait ended the live loop with code " +
                                           std::to_string(session.liveEndCode()) + ": " +
                                           session.controller().getErrorText());
}

}  // namespace

void cancelTriggerWait(InstrumentSession& session, EventChannel& events, std::mt19937_64& random) {
    KelSpectro& controller = session.controller();
    controller.setTriggerMode(KelDevice::kHardwareTrigger);
    session.startLive();
    const bool armed = processEventsUntil([&controller] { return controller.isGrabbing(); },
                                          Clock::now() + kGiveUp);
    if (armed) {
        processEventsUntil(Clock::now() +
                           std::chrono::milliseconds(uniform(random, kArmedMinMs, kArmedMaxMs)));
    } else {
        events.fault(fault::kWrongEnd, "the live loop did not arm the trigger within 20 s");
    }
    bool ended = false;
    {
        TimedOperation cancel(events, op::kTriggerCancel);
        controller.setWaitForTrigger(false);
        ended = session.waitForLiveEnd(Clock::now() + kGiveUp);
    }
    checkCancelledLoop(session, events, ended);
    // Hardware trigger off, as the window leaves it after a cancel.
    controller.setTriggerMode(KelDevice::kSoftwareTrigger);
    events.count(counted::kTriggerCancelled);
}

void abortRecording(InstrumentSession& session, EventChannel& events, SaveChecks& saves,
                    const std::filesystem::path& folder, std::mt19937_64& random) {
    KelSpectro& controller = session.controller();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const int samples = uniform(random, kSamplesMin, kSamplesMax);
    const int skip = uniform(random, 1, kSkipMax);
    const bool csv = coin(random);
    const bool duringRecording = coin(random);
    // A frame number of the recording, or an index of its post-processing.
    int abortAt = duringRecording ? uniform(random, 1, samples * skip - 1) : -1;

    std::optional<TimedOperation> aborting;
    const auto requestAbort = [&] {
        aborting.emplace(events, op::kRecordingAbort);
        // The dialog's Abort button.
        controller.setStopRecording(true);
    };
    std::size_t saved = 0;
    const QMetaObject::Connection onFrame = QObject::connect(
        &controller, &KelSpectro::recordedfps, &controller,
        [&](double, int frameId, int) {
            if (!aborting && frameId == abortAt && duringRecording) requestAbort();
        },
        Qt::DirectConnection);
    const QMetaObject::Connection onSpectrum = QObject::connect(
        &controller, &KelSpectro::saveSpectrum, &controller,
        [&](const std::vector<double>& spectrum, int index, bool saturated) {
            double fps = 0.0;
            try {
                fps = controller.getResultingFrameRate();
            } catch (...) {
                // A camera without a rate: the file is written all the same.
            }
            const std::string base = (folder / ("Rec_" + std::to_string(index + 1))).string();
            saves.saveRecorded(base, spectrum, csv, fps, saturated);
            ++saved;
            if (!aborting && index == abortAt && !duringRecording) requestAbort();
        },
        Qt::DirectConnection);

    controller.recordInterfero(samples, skip);
    if (aborting) aborting->finish();
    if (!duringRecording)
        abortAt = uniform(random, 0, static_cast<int>(controller.getRecordedCount()) - 1);
    controller.processRecordedInterfero();
    if (aborting) aborting->finish();
    QObject::disconnect(onFrame);
    QObject::disconnect(onSpectrum);

    const std::size_t files = savedFilesIn(folder);
    if (files != saved)
        events.fault(fault::kLostFile, std::to_string(saved) + " recorded spectra saved, " +
                                           std::to_string(files) + " files in " +
                                           folder.filename().string());
    const std::string temporary = temporaryFileIn(folder);
    if (!temporary.empty())
        events.fault(fault::kHalfWritten, temporary + " left by the recording's saves");
    if (aborting) events.count(counted::kRecordingAborted);
}

}  // namespace kelo::soak
