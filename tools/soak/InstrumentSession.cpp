#include "InstrumentSession.h"

#include "device/KelDevice.h"

namespace kelo::soak {

InstrumentSession::~InstrumentSession() {
    tearDown();
}

bool InstrumentSession::setUp(std::string& failure) {
    utility = std::make_unique<cSpectraUtility>();
    spectro = utility->getSpectro();
    if (spectro == nullptr) {
        failure = "no camera is listed";
        tearDown();
        return false;
    }
    if (!utility->initSpectro()) {
        failure = "the controller could not be initialised from the unit's files";
        tearDown();
        return false;
    }
    // The window's start-up states: one frame per spectrum, the lamp during
    // the exposure.
    spectro->setAverages(1);
    spectro->setFlashMode(Brevanta::KelDevice::kFlashDuringExposure);

    QObject::connect(utility.get(), &cSpectraUtility::pSpectrumReady, utility.get(),
                     [this](const std::vector<double>&) { ++processed; });
    QObject::connect(
        spectro.get(), &Brevanta::KelSpectro::acquisitionEnded, spectro.get(),
        [this](int code) { liveEnded = code; }, Qt::DirectConnection);

    worker = std::make_unique<QThread>();
    spectro->moveToThread(worker.get());
    Brevanta::KelSpectro* const loop = spectro.get();
    QThread* const thread = worker.get();
    // On the worker: the loop, then the thread's end, as the window's
    // threadFinished ends it.
    QObject::connect(
        thread, &QThread::started, loop,
        [loop, thread] {
            loop->getSpectraC();
            thread->quit();
        },
        Qt::DirectConnection);
    return true;
}

void InstrumentSession::tearDown() {
    if (worker != nullptr && worker->isRunning()) {
        spectro->stopGrabbing();
        // Nothing the worker uses may go before it has finished.
        worker->wait();
    }
    worker.reset();
    spectro.reset();
    utility.reset();
    processed = 0;
}

void InstrumentSession::startLive() {
    liveEnded = -1;
    spectro->prepareLive();
    worker->start();
}

bool InstrumentSession::isLive() const {
    return worker != nullptr && worker->isRunning();
}

bool InstrumentSession::stopLive(Clock::time_point deadline) {
    spectro->stopGrabbing();
    return waitForLiveEnd(deadline);
}

bool InstrumentSession::waitForLiveEnd(Clock::time_point deadline) {
    const bool ended = processEventsUntil([this] { return worker->isFinished(); }, deadline);
    if (ended) worker->wait();
    return ended;
}

}  // namespace kelo::soak
