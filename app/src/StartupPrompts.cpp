#include "StartupPrompts.h"

#include <QMessageBox>

#include "ui/FolderDialog.h"

namespace kelo::app {

namespace {

class DialogPrompts : public StartupPrompts {
public:
    bool offerCalibrationBrowse(QWidget* parent, const QString& deviceId) override {
        QMessageBox box(parent);
        box.setWindowTitle("Warning: Cal Files");
        box.setInformativeText("Cal files for Device ID : \n" + deviceId +
                               " not found.\n\nBrowse for the cal files folder.\n");
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setButtonText(QMessageBox::Yes, QObject::tr("Browse"));
        box.setButtonText(QMessageBox::No, QObject::tr("Cancel"));
        return box.exec() == QMessageBox::Yes;
    }

    QString chooseCalibrationFolder(QWidget* parent, const QString& startFolder) override {
        return kelo::ui::chooseFolder(parent, startFolder);
    }
};

}  // namespace

std::unique_ptr<StartupPrompts> dialogPrompts() {
    return std::make_unique<DialogPrompts>();
}

}  // namespace kelo::app
