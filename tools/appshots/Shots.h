// The pictures of the operator's manual, taken of the real window on the
// simulated camera as an operator would bring each view up: live, the
// settings panel and its save options, reflectance and colorimetry, the
// recording dialog, a time series, the box that waits for a camera, and
// the tools' icons.
#pragma once

#include <QString>
#include <stdexcept>

#include "Waiting.h"

class MainWindow;
class QAction;
class QPixmap;
class QWidget;

namespace Ui {
class MainWindow;
}

namespace kelo::appshots {

// A view that could not be brought up or saved; `what` says why.
class ShotFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Shots {
public:
    // Pictures go to `folder`, which must exist.
    Shots(MainWindow& window, QString folder);

    // Shows the window at the size of the pictures and runs its start-up.
    void startWindow();
    // Each leaves the window idle, with the spectrum plot in the scope view.
    void liveWindow();
    void settingsPanel();
    void reflectanceAndColour();
    void recordingDialog();
    void timeSeries();
    // Unplugs the camera and plugs it in again once the box is pictured.
    void deviceWaitBox();
    // Each tool's icon as the tool bars show it, and the maker's mark.
    void toolIcons();

    // What is being done, for a message when the run has to be abandoned.
    const char* currentStep() const { return step; }

private:
    void save(QWidget& widget, const QString& name);
    void saveIndicatorBar();
    // Writes `picture` as a PNG file to `path`, a regular file or nothing.
    void writePicture(const QPixmap& picture, const QString& path) const;
    // Waits for `count` more spectra from the window's spectrum utility.
    void waitForSpectra(int count);
    void showScene(const char* scene);
    void startLive();
    void stopLive();
    // Triggers a collection while idle, which takes its spectrum at once.
    void collectAtOnce(QAction* action);
    // Throws when the guard had to answer a question.
    void refuseUnexpectedPrompt();
    [[noreturn]] void fail(const QString& reason) const;

    MainWindow& window;
    Ui::MainWindow& ui;
    QString folder;
    PromptGuard guard;
    const char* step = "preparing";
};

}  // namespace kelo::appshots
