// The operator picks an existing folder: the recording form, the save folder
// and the calibration folder all ask this way.
#pragma once

#include <QString>

class QWidget;

namespace kelo::ui {

// Runs a folder dialog (folders only, the name field read-only so that a
// folder cannot be typed into existence) opened at `startFolder`. The chosen
// folder's absolute path, or an empty text when the operator cancelled.
QString chooseFolder(QWidget* parent, const QString& startFolder = QString());

}  // namespace kelo::ui
