#include "LiveSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "acquisition/KelSpectro.h"
#include "device/KelDevice.h"

namespace kelo::app {

LiveSession::LiveSession(Brevanta::KelSpectro& controller, QThread& worker)
    : controller(controller), worker(worker) {}

bool LiveSession::start() {
    if (worker.isRunning()) return false;
    controller.prepareLive();
    worker.start();
    return true;
}

bool LiveSession::stop(Trigger trigger, std::chrono::milliseconds timeout) {
    controller.stopGrabbing();
    worker.quit();
    const bool finished = waitForThread(worker, timeout);
    if (trigger == Trigger::SwitchOff) controller.setTriggerMode(Brevanta::KelDevice::kSoftwareTrigger);
    return finished;
}

bool LiveSession::isRunning() const {
    return worker.isRunning();
}

bool waitForThread(QThread& thread, std::chrono::milliseconds timeout) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!thread.wait(10)) {
        if (elapsed.elapsed() >= timeout.count()) return false;
        QCoreApplication::processEvents();
    }
    return true;
}

}  // namespace kelo::app
