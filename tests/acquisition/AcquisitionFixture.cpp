#include "AcquisitionFixture.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "device/DeviceRegistry.h"
#include "simcam/SimulatorControl.h"

namespace kelo::acquisitiontest {

std::unique_ptr<kelo::test::SimulatedUnitFolder> AcquisitionTest::workDir;

void AcquisitionTest::SetUpTestSuite() {
    workDir = std::make_unique<kelo::test::SimulatedUnitFolder>(kUnitId);
}

void AcquisitionTest::TearDownTestSuite() {
    workDir.reset();
}

void AcquisitionTest::TearDown() {
    simcam::setTriggerRate(0.0);
}

std::filesystem::path AcquisitionTest::folder() {
    return workDir->path();
}

Brevanta::KelDevice* AcquisitionTest::attachCamera(const std::string& unitId,
                                                   const std::string& scene) {
    serial = workDir->plugCameras(1, scene, unitId).front();

    DeviceRegistry& registry = DeviceRegistry::instance();
    kelo::test::OutputCapture quiet;
    EXPECT_TRUE(registry.initialize());
    std::vector<std::string> ids;
    registry.getDeviceList(ids);
    EXPECT_EQ(ids, std::vector<std::string>{serial});
    return registry.createDevice(serial);
}

std::unique_ptr<Brevanta::KelSpectro> AcquisitionTest::openController(const std::string& scene) {
    Brevanta::KelDevice* device = attachCamera(kUnitId, scene);
    EXPECT_NE(device, nullptr);
    auto spectro = std::make_unique<Brevanta::KelSpectro>(serial, device);
    kelo::test::OutputCapture quiet;
    EXPECT_TRUE(spectro->initDevice());
    spectro->setExposureTime(kExposureUs);
    spectro->setAverages(1);
    return spectro;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

double largest(const std::vector<double>& values) {
    double top = 0.0;
    for (double v : values) top = std::max(top, std::fabs(v));
    return top;
}

SignalLog::SignalLog(Brevanta::KelSpectro& spectro) {
    using Brevanta::KelSpectro;
    const auto direct = Qt::DirectConnection;
    connections = {
        QObject::connect(
            &spectro, &KelSpectro::spectrumReady, &spectro,
            [this](const std::vector<double>& spectrum, bool) {
                std::lock_guard<std::mutex> lock(mutex);
                log.push_back({Event::Spectrum, 0.0, spectrum.size()});
                spectrumValues.push_back(spectrum);
            },
            direct),
        QObject::connect(
            &spectro, &KelSpectro::frameId, &spectro,
            [this](int id) {
                add({Event::FrameId, double(id), 0});
            },
            direct),
        QObject::connect(
            &spectro, &KelSpectro::fpsReady, &spectro,
            [this](int fps) {
                add({Event::Fps, double(fps), 0});
            },
            direct),
        QObject::connect(
            &spectro, &KelSpectro::avgProgress, &spectro,
            [this](double progress) {
                add({Event::Progress, progress, 0});
            },
            direct),
        QObject::connect(
            &spectro, &KelSpectro::darkImageCollected, &spectro,
            [this] {
                add({Event::Dark, 0.0, 0});
            },
            direct),
        QObject::connect(
            &spectro, &KelSpectro::acquisitionEnded, &spectro,
            [this](int code) {
                add({Event::Ended, double(code), 0});
            },
            direct),
    };
}

SignalLog::~SignalLog() {
    for (const QMetaObject::Connection& connection : connections) QObject::disconnect(connection);
}

void SignalLog::add(Event event) {
    std::lock_guard<std::mutex> lock(mutex);
    log.push_back(event);
}

std::vector<SignalLog::Event> SignalLog::events() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

int SignalLog::count(Event::Kind kind) const {
    std::lock_guard<std::mutex> lock(mutex);
    int n = 0;
    for (const Event& event : log) n += event.kind == kind;
    return n;
}

std::vector<double> SignalLog::values(Event::Kind kind) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<double> found;
    for (const Event& event : log)
        if (event.kind == kind) found.push_back(event.value);
    return found;
}

std::vector<std::vector<double>> SignalLog::spectra() const {
    std::lock_guard<std::mutex> lock(mutex);
    return spectrumValues;
}

LiveRun::LiveRun(Brevanta::KelSpectro& spectro) : spectro(spectro) {
    using Brevanta::KelSpectro;
    spectro.moveToThread(&thread);
    // On the worker: the loop, then the thread's quit. `done` comes last and
    // is read after the thread finished: the sanitizer cannot see Qt's own
    // hand-over, so this store tells it that the slot is over.
    QObject::connect(&thread, &QThread::started, &spectro, [this] {
        LiveRun& run = *this;
        run.loopResult = run.spectro.getSpectraC();
        run.thread.quit();
        run.done.store(true, std::memory_order_release);
    });
    endConnection = QObject::connect(
        &spectro, &KelSpectro::acquisitionEnded, &spectro, [this](int code) { ended = code; },
        Qt::DirectConnection);
    spectro.prepareLive();
    thread.start();
}

LiveRun::~LiveRun() {
    stop();
    QObject::disconnect(endConnection);
}

bool LiveRun::stop() {
    spectro.stopGrabbing();
    thread.wait();
    done.load(std::memory_order_acquire);
    return loopResult;
}

bool LiveRun::waitForEnd(std::chrono::milliseconds timeout) {
    if (!waitUntil([this] { return done.load(std::memory_order_acquire); }, timeout)) return false;
    thread.wait();
    return true;
}

}  // namespace kelo::acquisitiontest
