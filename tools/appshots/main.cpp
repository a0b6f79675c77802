// kelo_appshots OUTPUT_FOLDER: runs KeloViewApp's window on the simulated
// camera of the working folder (its unit's files in cal/, the colour data in
// data/), brings up each view the operator's manual shows and saves it as a
// PNG picture into OUTPUT_FOLDER (created when missing). The build runs it
// on the offscreen platform in a scratch working folder, since leaving the
// window writes the unit's user file. Exit status 0 when every picture was
// written; otherwise 1, with the reason on standard error.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "Shots.h"
#include "app/MainWindow.h"
#include "app/Theme.h"
#include "ui_mainwindow.h"

namespace {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

// What the window and Qt say along the way goes here, in the working
// folder, so that the build's output keeps to what matters.
constexpr const char* kLogFile = "kelo_appshots.log";

void logQtMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    std::fprintf(stdout, "%s\n", qPrintable(message));
}

// Far beyond a normal run of well under a minute: only a window stuck in
// something nobody foresaw gets here.
constexpr int kWholeRunMs = 180000;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelo_appshots OUTPUT_FOLDER\n");
        return kUsage;
    }
    if (std::freopen(kLogFile, "w", stdout) == nullptr) {
        std::fprintf(stderr, "kelo_appshots: could not write %s in the working folder\n", kLogFile);
        return kFailure;
    }
    qInstallMessageHandler(logQtMessage);
    QApplication application(argc, argv);
    kelo::app::applyTheme(application);
    const QString folder = QDir(QApplication::arguments().at(1)).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "kelo_appshots: could not create %s\n", qPrintable(folder));
        return kFailure;
    }

    MainWindow window;
    kelo::appshots::Shots shots(window, folder);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&shots] {
        std::fprintf(stderr, "kelo_appshots: %s: still not done after %d s; giving up\n",
                     shots.currentStep(), kWholeRunMs / 1000);
        std::fflush(stderr);
        // The window may be inside a wait of its own: no orderly way back.
        std::_Exit(kFailure);
    });
    watchdog.start(kWholeRunMs);

    try {
        shots.startWindow();
        shots.liveWindow();
        shots.settingsPanel();
        shots.reflectanceAndColour();
        shots.recordingDialog();
        shots.timeSeries();
        shots.deviceWaitBox();
        shots.toolIcons();
    } catch (const kelo::appshots::ShotFailed& failure) {
        std::fprintf(stderr, "kelo_appshots: %s (the window's messages are in %s)\n",
                     failure.what(), qPrintable(QDir::current().absoluteFilePath(kLogFile)));
        window.close();
        return kFailure;
    }
    // As the operator leaves: the user file of the working folder is written.
    window.form()->actionExit->trigger();
    return kSuccess;
}
