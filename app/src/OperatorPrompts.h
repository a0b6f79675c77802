// What the window asks the operator in dialogs of its own making, and how it
// hands the manual to the desktop. The window asks through this interface so
// that tests and scripted runs can answer in its place.
#pragma once

#include <QString>
#include <memory>

class QUrl;
class QWidget;

namespace kelo::app {

class OperatorPrompts {
public:
    virtual ~OperatorPrompts() = default;
    // "Browse" (true) or "Cancel" (false, the program ends) for the missing
    // calibration files of `deviceId`.
    virtual bool offerCalibrationBrowse(QWidget* parent, const QString& deviceId) = 0;
    // An existing folder the operator picked, starting at `startFolder`;
    // empty when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& startFolder) = 0;
    // A file name to save under; empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& startFolder, const QString& filter) = 0;
    virtual void warn(QWidget* parent, const QString& title, const QString& text) = 0;
    // Opens `document` with the desktop's program for it; false when none did.
    virtual bool openDocument(const QUrl& document) = 0;
};

// The message boxes, the folder and file dialogs and the desktop.
std::unique_ptr<OperatorPrompts> dialogPrompts();

}  // namespace kelo::app
