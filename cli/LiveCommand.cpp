// kelo live: the live loop of the application against the first camera for
// a while, then how many spectra it published and how fast: the operator's
// throughput check and the benchmark of the whole live path. Where the loop
// spent its time goes to standard error.
#include <sys/resource.h>

#include <QThread>
#include <atomic>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>

#include "ArgumentList.h"
#include "CameraLimits.h"
#include "Commands.h"
#include "OutputLines.h"
#include "acquisition/KelSpectroFactory.h"

namespace kelo::cli {

namespace {

const char* const kSynopsis = "usage: kelo live [--seconds S] [--averages N] [--exposure-ms X]";

struct LiveRequest {
    double seconds = 5.0;
    int averages = 1;
    std::optional<double> exposureMs;  // the unit's user file when absent
};

constexpr NumberRange kSecondsRange{0.0, 86400.0, false};  // up to a day
std::optional<LiveRequest> parseRequest(const Words& words, std::string& error) {
    auto arguments =
        ArgumentList::parse(words, {"--seconds", "--averages", "--exposure-ms"}, {}, error);
    if (!arguments) return std::nullopt;
    if (!arguments->positional().empty()) {
        error = kSynopsis;
        return std::nullopt;
    }
    LiveRequest request;
    const auto seconds = arguments->number("--seconds", request.seconds, kSecondsRange, error);
    const auto averages = arguments->wholeNumber("--averages", 1, kAveragesRange, error);
    // Checked against the camera's limits once it is open.
    request.exposureMs = arguments->optionalNumber("--exposure-ms", error);
    if (!error.empty() || !seconds || !averages) return std::nullopt;
    request.seconds = *seconds;
    request.averages = static_cast<int>(*averages);
    return request;
}

// The controller of the first camera, initialised from its unit; null with
// the reason on standard error.
std::shared_ptr<Brevanta::KelSpectro> openFirstCamera() {
    KelSpectroFactory& factory = KelSpectroFactory::instance();
    std::vector<std::string> ids;
    if (!factory.init(ids)) {
        commandFailure("live", "no camera attached");
        return nullptr;
    }
    std::shared_ptr<Brevanta::KelSpectro> spectro = factory.createSpectro();
    if (spectro == nullptr || !spectro->initDevice()) {
        commandFailure("live", "the first camera cannot be used");
        return nullptr;
    }
    return spectro;
}

// CPU seconds the whole process has used so far (all threads).
double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void printStageTimes(const acquisition::StageTimes& times) {
    using acquisition::Stage;
    const std::pair<Stage, const char*> stages[] = {{Stage::WaitForFrame, "wait-for-frame"},
                                                    {Stage::CellValues, "cell-values"},
                                                    {Stage::Solve, "solve"},
                                                    {Stage::Signal, "signal"},
                                                    {Stage::HandOver, "hand-over"}};
    std::cerr << freshLine << std::fixed << std::setprecision(3);
    for (const auto& [stage, name] : stages)
        std::cerr << "stage-ms " << name << ": " << times.meanMilliseconds(stage) << " cpu "
                  << times.meanCpuMilliseconds(stage) << " (x" << times.count(stage) << ")\n";
}

}  // namespace

int runLive(const Words& words) {
    std::string error;
    const std::optional<LiveRequest> request = parseRequest(words, error);
    if (!request) return usageError("live", error);

    std::shared_ptr<Brevanta::KelSpectro> spectro = openFirstCamera();
    if (spectro == nullptr) return 1;
    if (request->exposureMs) {
        const std::string refused = settingsRefusal(firstCameraLimits(), request->exposureMs, {});
        if (!refused.empty()) {
            spectro->closeDevice();
            return usageError("live", refused);
        }
    }
    spectro->setAverages(request->averages);
    if (request->exposureMs) spectro->setExposureTime(*request->exposureMs * 1000.0);

    // Counted on the worker as the loop emits; nothing here runs an event loop.
    std::atomic<long> spectra{0};
    std::atomic<int> lastFps{0};
    QObject::connect(
        spectro.get(), &Brevanta::KelSpectro::spectrumReady, spectro.get(),
        [&spectra](const std::vector<double>&, bool) { ++spectra; }, Qt::DirectConnection);
    QObject::connect(
        spectro.get(), &Brevanta::KelSpectro::fpsReady, spectro.get(),
        [&lastFps](int fps) { lastFps = fps; }, Qt::DirectConnection);

    std::unique_ptr<QThread> worker(QThread::create([&spectro] { spectro->getSpectraC(); }));
    const auto start = std::chrono::steady_clock::now();
    const double cpuAtStart = processCpuSeconds();
    spectro->prepareLive();
    worker->start();
    // The loop ends early only when it fails (a camera unplugged, no frames).
    const auto runMs = static_cast<unsigned long>(std::ceil(request->seconds * 1000.0));
    worker->wait(runMs);
    const long published = spectra;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpuUsed = processCpuSeconds() - cpuAtStart;
    spectro->stopGrabbing();
    worker->wait();
    double cameraFps = 0.0;
    try {
        cameraFps = spectro->getResultingFrameRate();
    } catch (...) {
        // A camera that is gone has no rate; the error below says why.
    }
    spectro->closeDevice();

    std::cout << freshLine << std::fixed << std::setprecision(1) << "spectra: " << published << "\n"
              << "spectra-per-s: " << published / elapsed << "\n"
              << "fps-ready: " << lastFps << "\n"
              << "camera-fps: " << cameraFps << "\n";
    std::cout.flush();
    printStageTimes(spectro->getStageTimes());
    std::cerr << "process-cpu-percent: " << std::setprecision(1) << 100.0 * cpuUsed / elapsed
              << "\n";
    if (spectro->getErrorCode() != Brevanta::KelSpectro::kNoError)
        return commandFailure("live",
                              "the live loop ended with an error: " + spectro->getErrorText());
    return 0;
}

}  // namespace kelo::cli
