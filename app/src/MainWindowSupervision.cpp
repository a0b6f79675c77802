// Device supervision, the teardown that comes before a new start-up, and the
// end of the program.
#include <QCloseEvent>
#include <QThread>
#include <QTimer>
#include <iostream>

#include "LiveSession.h"
#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "spectra/cSpectraUtility.h"
#include "ui/formRecording.h"
#include "ui_mainwindow.h"

void MainWindow::isDeviceConnected() {
    if (spectro != nullptr && spectro->isConnected()) return;
    std::cout << "device disconnected\n";
    deviceTimer->stop();
    // Rebuilt from the event loop, not from inside the timer that is torn down.
    QMetaObject::invokeMethod(this, &MainWindow::rebuildAfterDisconnection, Qt::QueuedConnection);
}

void MainWindow::rebuildAfterDisconnection() {
    tearDown();
    if (!initialise()) endWithoutSaving();
}

void MainWindow::tearDown() {
    if (liveSession != nullptr) {
        emit threadFinished();
        liveSession->stop(kelo::app::LiveSession::Trigger::Keep);
        // Nothing the worker uses may go before it has finished.
        workerThread->wait();
    }
    liveSession.reset();
    delete exposureTimer;
    delete deviceTimer;
    delete indicatorTimer;
    exposureTimer = nullptr;
    deviceTimer = nullptr;
    indicatorTimer = nullptr;
    delete workerThread;
    workerThread = nullptr;
    resetUi();
    spectro.reset();
    delete specUtil;
    specUtil = nullptr;
    delete recordingForm;
    recordingForm = nullptr;
    liveRunning = false;
}

void MainWindow::endWithoutSaving() {
    endingWithoutSave = true;
    // The last window closed ends the program's event loop with status 0.
    close();
}

void MainWindow::on_actionExit_triggered() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!endingWithoutSave && spectro != nullptr) {
        if (liveSession != nullptr) {
            if (liveRunning) stopLive();
            endHardwareTrigger();
        }
        if (calFilesFound) spectro->saveUserConfig();
        spectro->closeDevice();
    }
    // Saved and closed once; a second close has nothing left to do.
    endingWithoutSave = true;
    event->accept();
}
