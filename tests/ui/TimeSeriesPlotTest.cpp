// The time-series plot: how the samples of a series are scaled, which files
// a series leaves behind, and how the scaling buttons and manual limits
// hand over to one another.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <iostream>
#include <sstream>

#include "spectra/cSpectraUtility.h"
#include "ui/Dialog.h"
#include "ui/XCustomPlot.h"
#include "ui/timeseriesPlotWidget.h"

namespace {

// Standard output, captured while alive.
class StdoutCapture {
public:
    StdoutCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~StdoutCapture() { std::cout.rdbuf(previous); }
    std::string text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* previous;
};

// Answers every modal message box with OK and keeps "title: text" of each.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        QObject::connect(&timer, &QTimer::timeout, [this] { closeOpenBox(); });
        timer.start(10);
    }
    QStringList seen;

private:
    void closeOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        seen << box->windowTitle() + ": " + box->text();
        box->button(QMessageBox::Ok)->click();
    }
    QTimer timer;
};

QStringList dataRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {"<missing " + path + ">"};
    QStringList rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('#')) rows << line;
    return rows;
}

// A series of `samples` samples every 2 s named "Run" in a fresh folder; the
// metric is the value at 401 nm of the spectra handed to the utility.
struct Series {
    explicit Series(int samples) : samples(samples) {
        utility.setWavelengths({400, 401, 402, 403, 404});
        plot.setUtility(&utility);
        plot.setTimeStep(2);
        plot.setSeriesName("Run");
        plot.setSaveFolder(folder.path().toStdString());
        plot.setSaveSpectra(false);
        plot.setSaveColour(false);
        plot.setFileType(0);
        plot.setTotalSamples(samples);
        recordFileRequests();
    }

    void start() {
        plot.clearSeries();
        utility.startTimeSeries(2, samples, 401, 401, 1);
    }

    void sample(double metric) { utility.processSpectra({1, metric, 2, 3, 4}, false); }
    QString path(const QString& name) const { return folder.path() + "/Run/" + name; }
    QCPRange xRange() const { return plot.plot()->xAxis->range(); }
    QCPRange yRange() const { return plot.plot()->yAxis->range(); }
    QToolButton* button(const char* name) const { return plot.findChild<QToolButton*>(name); }

    const int samples;
    QTemporaryDir folder;
    cSpectraUtility utility;
    timeseriesPlotWidget plot;
    // "name wvlUnits specUnits csv|txt" and "name fnum csv|txt".
    QStringList spectrumRequests;
    QStringList colourRequests;

private:
    void recordFileRequests() {
        const auto type = [](bool csv) { return csv ? "csv" : "txt"; };
        QObject::connect(
            &plot, &timeseriesPlotWidget::cSpectraSavePlot,
            [this, type](std::string name, std::string wvl, std::string specUnits, bool csv) {
                spectrumRequests << QString("%1 %2 %3 %4")
                                        .arg(QString::fromStdString(name),
                                             QString::fromStdString(wvl),
                                             QString::fromStdString(specUnits), type(csv));
            });
        QObject::connect(&plot, &timeseriesPlotWidget::saveColor,
                         [this, type](std::string name, int fnum, bool csv) {
                             colourRequests << QString("%1 %2 %3")
                                                   .arg(QString::fromStdString(name))
                                                   .arg(fnum)
                                                   .arg(type(csv));
                         });
    }
};

}  // namespace

class TimeSeriesPlotTest : public QObject {
    Q_OBJECT
private slots:
    void autoScaleXyEndsTheXAxisAtTheSampleCountLessOne() {
        Series series(5);
        series.start();
        QSignalSpy metric(&series.plot, &timeseriesPlotWidget::setTimeSeriesMetric);
        for (double value : {10, 20, 30, 40, 50}) series.sample(value);

        // Time step 2: the samples lie at 0..8 s, but the axis ends at 4.
        QCOMPARE(series.xRange().lower, 0.0);
        QCOMPARE(series.xRange().upper, 4.0);
        QCOMPARE(series.yRange().lower, 0.0);
        QCOMPARE(series.yRange().upper, 55.0);
        const QSharedPointer<QCPGraphDataContainer> data = series.plot.plot()->graph(0)->data();
        QCOMPARE(data->size(), 5);
        QCOMPARE(data->at(4)->key, 8.0);
        QCOMPARE(data->at(4)->value, 50.0);
        QCOMPARE(metric.count(), 5);
        QCOMPARE(metric.at(0), (QVariantList{0, 10.0}));
        QCOMPARE(metric.at(4), (QVariantList{8, 50.0}));
    }

    void negativeMetricsLieBelowTheAutomaticYRange() {
        Series series(5);
        series.start();
        series.sample(5);
        series.sample(-3);
        QCOMPARE(series.yRange().lower, 0.0);
        QCOMPARE(series.yRange().upper, 5.5);
    }

    void savesEverySampleNumberedFromZeroAndTheSeriesAfterTheLast() {
        Series series(5);
        series.plot.setSaveSpectra(true);
        series.plot.setSaveColour(true);
        // The colour lines need a bright spectrum.
        series.utility.collectBright();
        series.utility.processSpectra({2, 2, 2, 2, 2}, false);
        series.start();

        QSignalSpy finished(&series.plot, &timeseriesPlotWidget::timeSeriesFinishedEnableUI);
        bool seriesFileBeforeLastSpectrum = true;
        QObject::connect(&series.utility, &cSpectraUtility::plotSaved, [&](bool, std::string name) {
            if (QString::fromStdString(name).endsWith("Run_4.txt"))
                seriesFileBeforeLastSpectrum = QFile::exists(series.path("Run.txt"));
        });
        bool seriesFileWhenFinished = false;
        QObject::connect(&series.plot, &timeseriesPlotWidget::timeSeriesFinishedEnableUI,
                         [&] { seriesFileWhenFinished = QFile::exists(series.path("Run.txt")); });

        StdoutCapture output;
        for (double value : {10, 20, 30, 40}) series.sample(value);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!QFile::exists(series.path("Run.txt")));
        series.sample(50);

        QCOMPARE(finished.count(), 1);
        QVERIFY(!seriesFileBeforeLastSpectrum);
        QVERIFY(seriesFileWhenFinished);
        for (const char* name : {"Run_0.txt", "Run_1.txt", "Run_2.txt", "Run_3.txt", "Run_4.txt"})
            QVERIFY2(QFile::exists(series.path(name)), name);
        QVERIFY(!QFile::exists(series.path("Run_5.txt")));
        QCOMPARE(dataRows(series.path("Run.txt")),
                 (QStringList{"0\t10", "2\t20", "4\t30", "6\t40", "8\t50"}));

        QCOMPARE(series.spectrumRequests.size(), 5);
        QCOMPARE(series.spectrumRequests.at(4), series.path("Run_4") + " nm counts txt");
        const QString colourFile = series.path("Run_Color");
        QCOMPARE(series.colourRequests,
                 (QStringList{colourFile + " 0 txt", colourFile + " 1 txt", colourFile + " 2 txt",
                              colourFile + " 3 txt", colourFile + " 4 txt"}));
        const QStringList colourRows = dataRows(series.path("Run_Color.txt"));
        QCOMPARE(colourRows.size(), 5);
        QVERIFY(colourRows.at(0).startsWith("0\tD65\t1931_2\t"));
        QVERIFY(colourRows.at(4).startsWith("4\tD65\t1931_2\t"));

        const QString created =
            "Successfully created directory: " + series.folder.path() + "/Run\n";
        QCOMPARE(QString::fromStdString(output.text()).count(created), 1);
    }

    void fileTypeOtherThanZeroWritesCsvFiles() {
        Series series(1);
        series.start();
        series.plot.setSaveSpectra(true);
        series.plot.setFileType(1);
        series.plot.setSaveColour(true);
        series.sample(7);

        QCOMPARE(series.spectrumRequests, QStringList{series.path("Run_0") + " nm counts csv"});
        QCOMPARE(series.colourRequests, QStringList{series.path("Run_Color") + " 0 csv"});
        QVERIFY(QFile::exists(series.path("Run_0.csv")));
    }

    void emptyNameWarnsOnEverySampleAndWritesNothing() {
        Series series(3);
        series.start();
        series.plot.setSeriesName("");
        series.plot.setSaveSpectra(true);
        series.plot.setSaveColour(true);
        QSignalSpy finished(&series.plot, &timeseriesPlotWidget::timeSeriesFinishedEnableUI);

        MessageBoxCloser closer;
        for (double value : {1, 2, 3}) series.sample(value);

        const QString warning = "Warning: Please enter the default Time Series filename";
        QCOMPARE(closer.seen, (QStringList{warning, warning, warning}));
        QVERIFY(series.spectrumRequests.isEmpty());
        QVERIFY(series.colourRequests.isEmpty());
        QCOMPARE(finished.count(), 0);
        QVERIFY(QDir(series.folder.path()).isEmpty());
        // The samples are still plotted.
        QCOMPARE(series.plot.plot()->graph(0)->data()->size(), 3);
    }

    void manualLimitsArePrintedAndHoldForLaterSamples() {
        Series series(5);
        series.start();
        series.sample(4);
        series.sample(6);
        StdoutCapture output;
        series.plot.setManualScale(1, 9, 0.5, 20);

        QCOMPARE(output.text(),
                 std::string("manualX:9,1\nmanualY:20,0.5\ntimeData:2,metricData:2\n"));
        QVERIFY(!series.button("tbAutoScaleY")->isChecked());
        QVERIFY(!series.button("tbAutoScaleXY")->isChecked());
        series.sample(100);
        QCOMPARE(series.xRange().lower, 1.0);
        QCOMPARE(series.xRange().upper, 9.0);
        QCOMPARE(series.yRange().lower, 0.5);
        QCOMPARE(series.yRange().upper, 22.0);
    }

    void manualScaleButtonOpensTheLimitsAtTheCurrentData() {
        Series series(5);
        series.start();
        for (double value : {3, 8, 5}) series.sample(value);
        series.button("tbManualScale")->click();

        auto* dialog = series.plot.findChild<Dialog*>();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        StdoutCapture output;
        dialog->findChild<QPushButton*>("pushButtonOk")->click();
        QCOMPARE(output.text(), std::string("manualX:2,0\nmanualY:8,0\ntimeData:3,metricData:3\n"));
        QCOMPARE(series.xRange().upper, 2.0);
        QCOMPARE(series.yRange().upper, 8.8);
    }

    void manualScaleBeforeAUtilityOpensTheLimitsInsteadOfCrashing() {
        timeseriesPlotWidget plot;
        plot.findChild<QToolButton*>("tbManualScale")->click();
        auto* dialog = plot.findChild<Dialog*>();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
    }

    void uncheckingAutoScaleYGoesManualAndKeepsTheXRange() {
        Series series(5);
        series.start();
        for (double value : {1, 2, 3, 4}) series.sample(value);
        StdoutCapture output;
        series.button("tbAutoScaleY")->click();

        QCOMPARE(output.text(),
                 std::string("manualX:1e+250,1e-280\nmanualY:4,0\ntimeData:4,metricData:4\n"));
        QCOMPARE(series.xRange().lower, 0.0);
        QCOMPARE(series.xRange().upper, 3.0);
        QCOMPARE(series.yRange().upper, 4.4);
        series.sample(10);
        QCOMPARE(series.xRange().upper, 3.0);
        QCOMPARE(series.yRange().upper, 4.4);
    }

    void autoScaleXyHandsOverToAutoScaleY() {
        Series series(10);
        series.start();
        for (double value : {1, 2, 3}) series.sample(value);
        series.plot.setManualScale(5, 50, 1, 2);
        series.button("tbAutoScaleXY")->click();

        QCOMPARE(series.xRange().lower, 0.0);
        QCOMPARE(series.xRange().upper, 2.0);
        QCOMPARE(series.yRange().lower, 0.0);
        QCOMPARE(series.yRange().upper, 3.3);
        QVERIFY(series.button("tbAutoScaleY")->isChecked());
        QVERIFY(!series.button("tbAutoScaleXY")->isChecked());
        QVERIFY(!series.button("tbManualScale")->isChecked());

        // From now on only the y axis follows.
        series.sample(20);
        QCOMPARE(series.xRange().upper, 2.0);
        QCOMPARE(series.yRange().upper, 22.0);
    }
};

QTEST_MAIN(TimeSeriesPlotTest)
#include "TimeSeriesPlotTest.moc"
