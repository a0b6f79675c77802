#include "OperatorPrompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/FolderDialog.h"

namespace kelo::app {

namespace {

class DialogPrompts : public OperatorPrompts {
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

    QString chooseFolder(QWidget* parent, const QString& startFolder) override {
        return kelo::ui::chooseFolder(parent, startFolder);
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, startFolder, filter);
    }

    void warn(QWidget* parent, const QString& title, const QString& text) override {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    }

    bool openDocument(const QUrl& document) override {
        return QDesktopServices::openUrl(document);
    }
};

}  // namespace

std::unique_ptr<OperatorPrompts> dialogPrompts() {
    return std::make_unique<DialogPrompts>();
}

}  // namespace kelo::app
