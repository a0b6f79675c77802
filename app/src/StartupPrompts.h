// The questions the start-up sequence asks the operator when the unit's
// calibration files are missing. The window asks through this interface so
// that tests and scripted runs can answer in its place.
#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace kelo::app {

class StartupPrompts {
public:
    virtual ~StartupPrompts() = default;
    // "Browse" (true) or "Cancel" (false, the program ends) for the missing
    // calibration files of `deviceId`.
    virtual bool offerCalibrationBrowse(QWidget* parent, const QString& deviceId) = 0;
    // The folder the operator picked, starting at `startFolder`; empty when
    // cancelled.
    virtual QString chooseCalibrationFolder(QWidget* parent, const QString& startFolder) = 0;
};

// The message box and the folder dialog.
std::unique_ptr<StartupPrompts> dialogPrompts();

}  // namespace kelo::app
