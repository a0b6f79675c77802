#include "ui/formRecording.h"

#include <QDir>
#include <QStandardPaths>
#include <iostream>

#include "ui/FolderDialog.h"
#include "ui_formRecording.h"

namespace {

// An empty folder leaves the name relative to the working directory; a
// folder picked in the dialog already ends in "/".
QString joinFolderAndName(const QString& folder, const QString& name) {
    if (folder.isEmpty() || folder.endsWith('/')) return folder + name;
    return folder + '/' + name;
}

}  // namespace

formRecording::formRecording(QWidget* parent) : QDialog(parent), ui(new Ui::formRecording) {
    ui->setupUi(this);
    showDocumentsFolder();
    frameCount = ui->spinBoxNumFrames->value();
    frameSkip = ui->spinBoxSkipFrames->value();
    ui->labelMessage->setText("Enter parameters and press start");
}

formRecording::~formRecording() {
    delete ui;
}

void formRecording::showDocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
        std::cout << "Error: no Documents folder for this user\n";
        ui->lineEditFolder->clear();
        return;
    }
    ui->lineEditFolder->setText(QDir::fromNativeSeparators(documents));
}

void formRecording::showFrameTotals() {
    // 2 000 000 samples every 10 000th frame exceed an int.
    ui->lcdNumberTotFrames->display(static_cast<double>(qint64{frameCount} * frameSkip));
    ui->lcdNumberCapFrames->display(frameCount);
}

void formRecording::on_spinBoxNumFrames_valueChanged(int arg1) {
    frameCount = arg1;
    showFrameTotals();
}

void formRecording::on_spinBoxSkipFrames_valueChanged(int arg1) {
    frameSkip = arg1;
    showFrameTotals();
}

void formRecording::on_toolButtonSelectFolder_clicked() {
    const QString folder = kelo::ui::chooseFolder(this);
    if (!folder.isEmpty()) ui->lineEditFolder->setText(folder + "/");
}

void formRecording::on_pushButtonStart_clicked() {
    showFrameTotals();
    recordingBasePath =
        joinFolderAndName(ui->lineEditFolder->text(), ui->lineEditRecName->text()).toStdString();
    csv = ui->comboBoxFileExt->currentIndex() != 0;
    ui->labelMessage->setText("Recording now");
    emit startRecording();
}

void formRecording::on_pushButtonAbort_clicked() {
    emit stopRecording();
}

void formRecording::updateDataUi(double fps, int frameId, int captureId) {
    ui->lcdNumberFrameRate->display(fps);
    ui->lcdNumberFID->display(frameId);
    ui->lcdNumberCaptureID->display(captureId);
    // 0 or -1 samples (the box allows both) have no end to measure against.
    const qint64 totalFrames = qint64{frameSkip} * frameCount;
    const qint64 progress = totalFrames > 0 ? qint64{frameId} * 100 / totalFrames : 0;
    ui->progressBar->setValue(static_cast<int>(progress));
}

void formRecording::setProgressBar(double arg) {
    ui->progressBar->setValue(static_cast<int>(arg));
}

void formRecording::setMessageLabel(QString str) {
    ui->labelMessage->setText(str);
}

void formRecording::enablePushButtonAbort(bool flag) {
    ui->pushButtonAbort->setEnabled(flag);
}
