// Saving (quick save, the Save dialog, the save folder), the time-series
// tab, recording, and the Help and About boxes.
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <iostream>

#include "OperatorPrompts.h"
#include "acquisition/KelSpectro.h"
#include "app/MainWindow.h"
#include "spectra/cSpectraUtility.h"
#include "ui/XCustomPlot.h"
#include "ui/formRecording.h"
#include "ui/spectrumPlotWidget.h"
#include "ui/timeseriesPlotWidget.h"
#include "ui_mainwindow.h"

namespace {

constexpr int kTimeSeriesTab = 2;
constexpr int kPeakMetric = 1;
constexpr int kStatusMessageMs = 10000;
const std::string kWavelengthUnits = "nm";
const std::string kSpectrumUnits = "counts";
const char* const kManualPath = "docs/Brevanta_Kelo3_Spectrometer_SW_Manual.pdf";
const char* const kMakerSite = "https://www.brevanta.example";
const char* const kSupportAddress = "support@brevanta.example";

// A name from the Save dialog: the extension after the last '.' of the
// file's own name (a folder "run.2" is not cut), csv only for "csv".
struct SaveTarget {
    QString base;
    bool csv = false;
};

SaveTarget splitSaveName(const QString& chosen) {
    const int separator = std::max(chosen.lastIndexOf('/'), chosen.lastIndexOf('\\'));
    const int dot = chosen.lastIndexOf('.');
    if (dot <= separator) return {chosen, false};
    return {chosen.left(dot), chosen.mid(dot + 1) == "csv"};
}

// The boxes' look: the window icon, dark text on their light face, links.
void styleMessageBox(QMessageBox& box) {
    box.setWindowIcon(QIcon(":/icons/icons/BrevantaTransparentA.png"));
    QPalette palette = box.palette();
    palette.setColor(QPalette::WindowText, QColor(25, 25, 25));
    box.setPalette(palette);
    box.setTextFormat(Qt::RichText);
}

}  // namespace

void MainWindow::on_actionQuickSave_triggered() {
    quickSave();
}

void MainWindow::on_pBQuickSave_clicked() {
    quickSave();
}

void MainWindow::quickSave() {
    const int number = ui->spinBoxSFno->value();
    if (number > ui->spinBoxSFno->maximum() - 1) {
        statusBar()->showMessage("Quick save: the numbers of this scan name are used up; a new "
                                 "scan name or folder starts again at 0",
                                 kStatusMessageMs);
        return;
    }
    const QString name = ui->lineEditScanName->text();
    if (name.isEmpty()) {
        prompts->warn(this, "Warning", "Please type the default filename");
        return;
    }
    const QString folder = ui->lblSaveDir->toPlainText();
    const bool csv = ui->comboBoxFileExt->currentIndex() != 0;
    quickSavePending = true;
    emit cSpectraSavePlot((folder + "/" + name + "_" + QString::number(number)).toStdString(),
                          kWavelengthUnits, kSpectrumUnits, csv);
    if (ui->actionColor->isChecked())
        emit saveColor((folder + "/" + name + "_Color").toStdString(), number, csv);
}

void MainWindow::onPlotSaved(bool success, std::string filename) {
    if (!quickSavePending) return;
    quickSavePending = false;
    const int number = ui->spinBoxSFno->value();
    if (!success || number > ui->spinBoxSFno->maximum() - 1) return;
    ui->plainTextEditDir->appendPlainText(QString::fromStdString(filename));
    ui->spinBoxSFno->setValue(number + 1);
}

void MainWindow::on_lineEditScanName_textChanged(QString) {
    ui->spinBoxSFno->setValue(0);
}

void MainWindow::on_lblSaveDir_textChanged() {
    ui->spinBoxSFno->setValue(0);
    // The folder on screen is the one written to the user file at exit.
    if (spectro != nullptr) spectro->setSaveDir(ui->lblSaveDir->toPlainText().toStdString());
}

void MainWindow::on_actionSave_triggered() {
    const QString filter = ui->comboBoxFileExt->currentIndex() == 0
                               ? "txt(*.txt);;csv (*.csv)"
                               : "csv (*.csv);;txt (*.txt)";
    const QString chosen = prompts->saveFileName(this, tr("Save Spectra"), QDir::currentPath(), filter);
    if (chosen.isEmpty()) return;
    const SaveTarget target = splitSaveName(chosen);
    emit cSpectraSavePlot(target.base.toStdString(), kWavelengthUnits, kSpectrumUnits, target.csv);
    if (!ui->actionColor->isChecked()) return;
    // The colour lines go to a file of their own, which starts with its
    // title line.
    const QString colourBase = target.base + "_Color";
    const bool started = QFileInfo::exists(colourBase + (target.csv ? ".csv" : ".txt"));
    emit saveColor(colourBase.toStdString(), started ? 1 : 0, target.csv);
}

void MainWindow::on_pBBrowse_clicked() {
    const QString folder = prompts->chooseFolder(this, ui->lblSaveDir->toPlainText());
    if (folder.isEmpty()) return;
    ui->lblSaveDir->setPlainText(folder);
    std::cout << "changed saved directory:" << folder.toStdString() << "\n";
    ui->lblSaveDir->setFixedHeight(static_cast<int>(ui->lblSaveDir->document()->size().height()) +
                                   3);
}

void MainWindow::on_actionTimeSeries_triggered(bool checked) {
    QTabWidget* tabs = ui->tabWidgetControls;
    if (checked) {
        QIcon icon;
        icon.addFile(":/icons/icons/ControlTSOn.png", QSize(), QIcon::Normal, QIcon::On);
        icon.addFile(":/icons/icons/ControlTSOff.png", QSize(), QIcon::Normal, QIcon::Off);
        tabs->insertTab(kTimeSeriesTab, ui->tabTimeSeries, icon, QString());
        if (!ui->actionSettings->isChecked()) ui->actionSettings->trigger();
        tabs->setCurrentIndex(kTimeSeriesTab);
        timeSeriesPlot->show();
        spectrumPlot->plot()->xAxis->ticker()->setTickCount(3);
    } else {
        tabs->removeTab(tabs->indexOf(ui->tabTimeSeries));
        if (ui->actionSettings->isChecked()) ui->actionSettings->trigger();
        timeSeriesPlot->hide();
        spectrumPlot->plot()->xAxis->ticker()->setTickCount(5);
    }
}

void MainWindow::on_comboBoxMetric_currentIndexChanged(int index) {
    // The peak metric reads one wavelength.
    ui->spinBoxWvlEnd->setEnabled(index != kPeakMetric);
}

void MainWindow::on_pBStartTimeSeries_clicked() {
    const QString name = ui->lineEditTSName->text();
    if (name.isEmpty()) {
        prompts->warn(this, "Warning", "Please type the time series file name");
        return;
    }
    ui->pBStopTimeSeries->setEnabled(true);
    ui->actionPlay->setEnabled(false);
    ui->pBStartTimeSeries->setEnabled(false);
    const int timeStep = ui->spinBoxTimeStep->value();
    const int samples = ui->spinBoxSamples->value();
    const int start = ui->spinBoxWvlStart->value();
    const int end = ui->spinBoxWvlEnd->value();
    const int metric = ui->comboBoxMetric->currentIndex();
    // The series runs on the unit's whole grid; everything that reads the
    // grid is told.
    if (ui->actionColor->isChecked()) {
        spectro->setRestrictedRange(false);
        applyWavelengthGrid();
    }
    timeSeriesPlot->setTimeStep(timeStep);
    timeSeriesPlot->setSeriesName(name.toStdString());
    timeSeriesPlot->setSaveFolder(ui->lblSaveDir->toPlainText().toStdString());
    timeSeriesPlot->setSaveSpectra(ui->checkBoxSaveSpectrum->isChecked());
    timeSeriesPlot->setSaveColour(ui->actionColor->isChecked());
    timeSeriesPlot->setFileType(ui->comboBoxFileExt->currentIndex());
    timeSeriesPlot->setTotalSamples(samples);
    timeSeriesPlot->clearSeries();
    specUtil->startTimeSeries(timeStep, samples, start, end, metric);
}

void MainWindow::on_pBStopTimeSeries_clicked() {
    specUtil->stopTimeSeries();
    endTimeSeries();
}

void MainWindow::on_timeSeriesFinishedEnableUI() {
    endTimeSeries();
}

void MainWindow::endTimeSeries() {
    ui->pBStartTimeSeries->setEnabled(true);
    ui->actionPlay->setEnabled(true);
    ui->pBStopTimeSeries->setEnabled(false);
    if (ui->actionColor->isChecked()) {
        spectro->setRestrictedRange(true);
        applyWavelengthGrid();
    }
}

void MainWindow::on_setTimeSeriesMetric(int time, double metric) {
    ui->labelTime->setText(QString::number(time));
    ui->labelMetric->setText(QString::number(metric, 'g', 6));
}

void MainWindow::on_actionRecording_triggered() {
    recordingForm->exec();
    ui->actionRecording->setChecked(false);
}

void MainWindow::onStartRecording() {
    // The camera is the recording's alone.
    if (liveRunning) stopLive();
    endHardwareTrigger();
    recordingForm->enablePushButtonAbort(true);
    recordingFilesWritten = 0;
    spectro->recordInterfero(recordingForm->numberOfFrames(), recordingForm->skipFrames());
    recordingForm->setMessageLabel("Recordind done. Post processing now");
    // Post-processing starts afresh: what an abort left recorded is saved.
    spectro->processRecordedInterfero();
    recordingForm->setMessageLabel(
        QString("PostProcessing done. Ready for next run (%1 of %2 files written)")
            .arg(recordingFilesWritten)
            .arg(spectro->getRecordedCount()));
    recordingForm->enablePushButtonAbort(false);
}

void MainWindow::onSaveSpectrum(std::vector<double> spec, int index, bool FlagSaturated) {
    double fps = 0.0;
    try {
        fps = spectro->getResultingFrameRate();
    } catch (...) {
        // A camera that is gone has no rate; the file is written all the same.
    }
    const double count = static_cast<double>(spectro->getRecordedCount());
    const std::string path = recordingForm->basePath() + "_" + std::to_string(index + 1);
    std::cout << "filepath: " << path << "\n";
    specUtil->saveSpectrum(path, spec, recordingForm->isCsv(), fps, FlagSaturated);
    ++recordingFilesWritten;
    recordingForm->setProgressBar((index + 1) / count * 100.0);
}

void MainWindow::onStopRecording() {
    spectro->setStopRecording(true);
}

void MainWindow::on_actionAbout_triggered() {
    QMessageBox box(this);
    box.setIconPixmap(QPixmap(":/images/images/SideBanner3.png")
                          .scaledToHeight(300, Qt::SmoothTransformation));
    styleMessageBox(box);
    box.setWindowTitle("About");
    box.setText(tr("<br><br>KeloView Version: ") +
                QString::fromStdString(specUtil->getVersionText()) +
                "<br><br>KeloView is the operating software of the Kelo3 spectrometer."
                "<br>Brevanta Systems<br><br>Please find more info at <a href=\"" +
                kMakerSite + "\">" + kMakerSite + "</a><br><br>April 2021.");
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void MainWindow::on_actionHelp_triggered() {
    QMessageBox box(this);
    box.setIconPixmap(
        QPixmap(":/icons/icons/Help.png").scaledToHeight(100, Qt::SmoothTransformation));
    styleMessageBox(box);
    box.setWindowTitle("Help");
    box.setText(QString("Please find the detailed explanation of each feature of KeloView in the "
                        "manual by clicking on the \"View Manual\" button.<br><br>For anything "
                        "else, please write to <a href=\"mailto:%1?subject=Support%20Issue\">%1"
                        "</a>.")
                    .arg(kSupportAddress));
    box.setStandardButtons(QMessageBox::Ok);
    QPushButton* manual = box.addButton(tr("View Manual"), QMessageBox::ActionRole);
    // The box stays open while the manual opens.
    manual->disconnect();
    connect(manual, &QPushButton::clicked, this, &MainWindow::showManual);
    box.exec();
}

void MainWindow::showManual() {
    const QString path = QDir::current().absoluteFilePath(kManualPath);
    if (!QFileInfo::exists(path)) {
        prompts->warn(this, "Help", "The manual is not installed: it was expected at " + path);
        return;
    }
    if (!prompts->openDocument(QUrl::fromLocalFile(path)))
        prompts->warn(this, "Help", "No program could open the manual " + path);
}
