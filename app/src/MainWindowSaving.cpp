// Saving, the time-series tab, recording and the Help and About boxes.
#include <QIcon>

#include "app/MainWindow.h"
#include "ui/XCustomPlot.h"
#include "ui/spectrumPlotWidget.h"
#include "ui/timeseriesPlotWidget.h"
#include "ui_mainwindow.h"

namespace {

constexpr int kTimeSeriesTab = 2;

}  // namespace

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
    ui->spinBoxWvlEnd->setEnabled(index != 1);
}

// Saving, the time series itself, recording and the two boxes are the next
// step of the application; the actions are connected so that they arrive.
void MainWindow::onPlotSaved(bool, std::string) {}
void MainWindow::onStartRecording() {}
void MainWindow::onStopRecording() {}
void MainWindow::onSaveSpectrum(std::vector<double>, int, bool) {}
void MainWindow::on_timeSeriesFinishedEnableUI() {}
void MainWindow::on_setTimeSeriesMetric(int, double) {}
void MainWindow::on_actionSave_triggered() {}
void MainWindow::on_actionQuickSave_triggered() {}
void MainWindow::on_pBBrowse_clicked() {}
void MainWindow::on_pBQuickSave_clicked() {}
void MainWindow::on_actionAbout_triggered() {}
void MainWindow::on_actionHelp_triggered() {}
void MainWindow::on_lineEditScanName_textChanged(QString) {}
void MainWindow::on_pBStartTimeSeries_clicked() {}
void MainWindow::on_pBStopTimeSeries_clicked() {}
void MainWindow::on_actionRecording_triggered() {}
void MainWindow::on_lblSaveDir_textChanged() {}
