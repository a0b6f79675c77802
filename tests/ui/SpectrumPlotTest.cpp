// The spectrum plot: the peak search and peak width on hand-worked spectra,
// then the widget fed by a spectrum utility without a camera: views, scaling
// modes, peak labels, spectra that do not match the grid, redraw throttling
// and saturation shading.
#include <qcustomplot.h>

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "spectra/cSpectraUtility.h"
#include "ui/Dialog.h"
#include "ui/PeakSearch.h"
#include "ui/XCustomPlot.h"
#include "ui/spectrumPlotWidget.h"

using Values = std::vector<double>;
using Indices = std::vector<int>;
// std::vector<double> is declared by the acquisition layer.
Q_DECLARE_METATYPE(Indices)

namespace {

// The labels the axis gives ticks over `range`, about eight of them.
QStringList tickLabels(QCPAxis* axis, const QCPRange& range) {
    axis->ticker()->setTickCount(8);
    QVector<double> ticks;
    QVector<QString> labels;
    axis->ticker()->generate(range, axis->parentPlot()->locale(), axis->numberFormat().at(0),
                             axis->numberPrecision(), ticks, nullptr, &labels);
    return labels.toList();
}

// 400, 410, ..., 500 nm.
const Values kGrid{400, 410, 420, 430, 440, 450, 460, 470, 480, 490, 500};

bool near(double a, double b) {
    return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)});
}

struct Range {
    double lower;
    double upper;
    bool operator==(const Range& other) const {
        return near(lower, other.lower) && near(upper, other.upper);
    }
};

char* toString(const Range& range) {
    return QTest::toString(QString("[%1, %2]").arg(range.lower).arg(range.upper));
}

struct PeakLabel {
    QString text;
    double x;
    double y;
    bool operator==(const PeakLabel& other) const {
        return text == other.text && near(x, other.x) && near(y, other.y);
    }
};

char* toString(const QVector<PeakLabel>& labels) {
    QStringList shown;
    for (const PeakLabel& label : labels)
        shown << QString("%1 at (%2, %3)").arg(label.text).arg(label.x).arg(label.y);
    return QTest::toString(shown.join("; "));
}

// A plot widget fed by a utility on `grid`, set up as the main window does,
// in the scope view.
class PlotRig {
public:
    explicit PlotRig(const Values& grid = kGrid) {
        widget.setUtility(&utility);
        utility.setWavelengths(grid);
        widget.setWavelengths(grid);
        widget.setupPlot();
        widget.on_pbScope_clicked();
        QObject::connect(plot(), &QCustomPlot::afterReplot, [this] { takeLabels(); });
    }

    XCustomPlot* plot() { return widget.plot(); }
    Range xRange() { return {plot()->xAxis->range().lower, plot()->xAxis->range().upper}; }
    Range yRange() { return {plot()->yAxis->range().lower, plot()->yAxis->range().upper}; }

    Values graphKeys() {
        return graphColumn([](const QCPGraphData& d) { return d.key; });
    }
    Values graphValues() {
        return graphColumn([](const QCPGraphData& d) { return d.value; });
    }

    template <typename T>
    T* part(const char* name) {
        T* found = widget.findChild<T*>(name);
        if (found == nullptr) qFatal("no %s in the spectrum plot", name);
        return found;
    }

    template <typename T>
    int itemsOfType() {
        int count = 0;
        for (int i = 0; i < plot()->itemCount(); ++i)
            if (qobject_cast<T*>(plot()->item(i)) != nullptr) ++count;
        return count;
    }

    void showPeaks(double threshold, char mode, int minDistance) {
        widget.setPeakThreshold(threshold);
        widget.setThresholdMode(mode);
        widget.setMinDistance(minDistance);
        part<QToolButton>("tbPeaks")->click();
    }

    cSpectraUtility utility;
    spectrumPlotWidget widget;
    // The peak labels as the last redraw drew them.
    QVector<PeakLabel> labels;

private:
    template <typename F>
    Values graphColumn(F column) {
        Values values;
        for (const QCPGraphData& point : *plot()->graph(0)->data()) values.push_back(column(point));
        return values;
    }

    void takeLabels() {
        labels.clear();
        for (int i = 0; i < plot()->itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(plot()->item(i)))
                labels.push_back({text->text(), text->position->key(), text->position->value()});
    }
};

}  // namespace

class SpectrumPlotTest : public QObject {
    Q_OBJECT
private slots:
    void findPeaks_data() {
        QTest::addColumn<Values>("values");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<int>("minDistance");
        QTest::addColumn<char>("mode");
        QTest::addColumn<Indices>("peaks");
        const Values plateau{1, 3, 3, 1, 0, 2, 0};
        QTest::newRow("both plateau points") << plateau << 0.0 << 0 << 'a' << Indices{1, 2, 5};
        QTest::newRow("distance skips the plateau") << plateau << 0.0 << 1 << 'a' << Indices{1, 5};
        QTest::newRow("distance up to the next peak")
            << plateau << 0.0 << 3 << 'a' << Indices{1, 5};
        QTest::newRow("distance past the next peak") << plateau << 0.0 << 4 << 'a' << Indices{1};
        QTest::newRow("ends against one neighbour")
            << Values{5, 1, 1, 4} << 0.0 << 0 << 'a' << Indices{0, 3};
        const Values four{0, 10, 0, 4, 0, 6, 0, 5, 0};
        QTest::newRow("half the highest") << four << 0.5 << 0 << 'r' << Indices{1, 5, 7};
        QTest::newRow("absolute 5.5") << four << 5.5 << 0 << 'a' << Indices{1, 5};
        QTest::newRow("absolute above all") << four << 11.0 << 0 << 'a' << Indices{};
        QTest::newRow("no values") << Values{} << 0.5 << 0 << 'r' << Indices{};
        QTest::newRow("negative distance ends")
            << Values{1, 2, 1} << 0.0 << -3 << 'a' << Indices{1};
    }
    void findPeaks() {
        QFETCH(Values, values);
        QFETCH(double, threshold);
        QFETCH(int, minDistance);
        QFETCH(char, mode);
        QFETCH(Indices, peaks);
        QCOMPARE(kelo::ui::findPeaks(values, threshold, minDistance, mode), peaks);
    }

    void fullWidthHalfMax_data() {
        QTest::addColumn<Values>("spectrum");
        QTest::addColumn<Values>("nm");
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("width");
        const Values skewed{0, 4, 10, 8, 2, 0};
        const Values grid{600, 610, 620, 630, 640, 650};
        // Half of 10 is met at 610 + 10 * 1/6 and at 630 + 10 * 3/6.
        QTest::newRow("interpolated") << skewed << grid << 620.0 << 635.0 - (610.0 + 10.0 / 6);
        QTest::newRow("half met on samples")
            << Values{0, 2, 4, 6, 8, 6, 4, 2, 0}
            << Values{500, 501, 502, 503, 504, 505, 506, 507, 508} << 504.0 << 4.0;
        QTest::newRow("target between samples") << skewed << grid << 620.5 << 0.0;
        QTest::newRow("target on the first sample") << skewed << grid << 600.0 << 0.0;
        QTest::newRow("never falls to half on the right")
            << Values{4, 10, 9, 8} << Values{600, 610, 620, 630} << 610.0 << 0.0;
        QTest::newRow("spectrum shorter than the grid")
            << Values{0, 4, 10, 8} << grid << 620.0 << 0.0;
        QTest::newRow("target beyond the spectrum") << Values{0, 4, 10, 8} << grid << 640.0 << 0.0;
        QTest::newRow("grid shorter than the spectrum")
            << skewed << Values{600, 610, 620, 630} << 620.0 << 0.0;
    }
    void fullWidthHalfMax() {
        QFETCH(Values, spectrum);
        QFETCH(Values, nm);
        QFETCH(double, target);
        QFETCH(double, width);
        QCOMPARE(kelo::ui::fullWidthHalfMax(spectrum, nm, target), width);
    }

    void scopeViewScalesToTheSpectrumWithTheColourBandBehind() {
        PlotRig rig;
        rig.utility.processSpectra({1, 2, 3, 4, 5, 9, 5, 4, 3, 2, 1}, false);
        QCOMPARE(rig.graphKeys(), kGrid);
        QCOMPARE(rig.graphValues(), (Values{1, 2, 3, 4, 5, 9, 5, 4, 3, 2, 1}));
        QCOMPARE(rig.xRange(), (Range{400, 500}));
        QCOMPARE(rig.yRange(), (Range{1, 9.9}));
        QCOMPARE(rig.itemsOfType<QCPItemPixmap>(), 1);
        auto* band = qobject_cast<QCPItemPixmap*>(rig.plot()->item(0));
        QCOMPARE(band->layer()->name(), QString("background"));
        QCOMPARE(band->topLeft->coords(), QPointF(400, 9.9));
        QCOMPARE(band->bottomRight->coords(), QPointF(700, 1));
    }

    void flatOrNegativeSpectraGetAThinPositiveRange() {
        PlotRig rig;
        rig.widget.plotSpectrum({-5, -3, -1, -2, -4, -5, -5, -5, -5, -5, -5});
        QCOMPARE(rig.yRange(), (Range{-5, 0.0011}));
        rig.widget.plotSpectrum(Values(11, 0.0));
        QCOMPARE(rig.yRange(), (Range{0, 0.0011}));
    }

    void neighbouringTicksNeverShareALabel() {
        // Ticks every 500 counts, and every 0.2 of reflectance: with too few
        // digits 2000 and 2500 both read "2", 1 and 1.2 both "1".
        PlotRig rig;
        QStringList labels = tickLabels(rig.plot()->yAxis, QCPRange(0, 4000));
        QCOMPARE(labels.mid(4, 2), (QStringList{"2.0e+03", "2.5e+03"}));
        QCOMPARE(labels.removeDuplicates(), 0);

        rig.widget.setReflectanceAvailable(true);
        rig.part<QPushButton>("pbReflectance")->click();
        labels = tickLabels(rig.plot()->yAxis, QCPRange(0, 1.32));
        QCOMPARE(labels.mid(5, 2), (QStringList{"1", "1.2"}));
        QCOMPARE(labels.removeDuplicates(), 0);
    }

    void reflectanceViewOpensAt400To700AndUpTo1_32() {
        PlotRig rig;
        QSignalSpy reflectanceShown(&rig.widget, &spectrumPlotWidget::RTClicked);
        rig.utility.collectBright();
        rig.utility.processSpectra(Values(11, 40.0), false);
        rig.utility.processSpectra(Values(11, 20.0), false);
        rig.widget.setReflectanceAvailable(true);
        rig.part<QPushButton>("pbReflectance")->click();

        QCOMPARE(reflectanceShown.count(), 1);
        QCOMPARE(rig.xRange(), (Range{400, 700}));
        QCOMPARE(rig.yRange(), (Range{0, 1.32}));
        QCOMPARE(rig.plot()->yAxis->label(), QString("R/T"));
        QCOMPARE(rig.graphValues(), Values(11, 0.5));
        QVERIFY(rig.part<QPushButton>("pbReflectance")->isChecked());
        QVERIFY(!rig.part<QPushButton>("pbScope")->isChecked());

        // Only reflectances reach the view now, and the limits hold.
        rig.utility.processSpectra(Values(11, 10.0), false);
        QCOMPARE(rig.graphValues(), Values(11, 0.25));
        QCOMPARE(rig.yRange(), (Range{0, 1.32}));
        emit rig.utility.pSpectrumReady(Values(11, 99.0));
        QCOMPARE(rig.graphValues(), Values(11, 0.25));
    }

    void scopeViewTakesSpectraAgain() {
        PlotRig rig;
        QSignalSpy scopeShown(&rig.widget, &spectrumPlotWidget::scopeClicked);
        rig.utility.collectBright();
        rig.utility.processSpectra(Values(11, 40.0), false);
        rig.widget.setReflectanceAvailable(true);
        rig.part<QPushButton>("pbReflectance")->click();
        rig.utility.processSpectra(Values(11, 10.0), false);

        rig.part<QPushButton>("pbScope")->click();
        QCOMPARE(scopeShown.count(), 1);
        QCOMPARE(rig.plot()->yAxis->label(), QString("Intensity(counts)"));
        QCOMPARE(rig.graphValues(), Values(11, 10.0));
        QCOMPARE(rig.xRange(), (Range{400, 500}));
        rig.utility.processSpectra(Values(11, 30.0), false);
        QCOMPARE(rig.graphValues(), Values(11, 30.0));
        emit rig.utility.reflectanceSpectrumReady(Values(11, 0.75));
        QCOMPARE(rig.graphValues(), Values(11, 30.0));
    }

    void resettingCorrectionsLeavesTheReflectanceView() {
        PlotRig rig;
        rig.utility.collectBright();
        rig.utility.processSpectra(Values(11, 40.0), false);
        rig.widget.setReflectanceAvailable(true);
        rig.part<QPushButton>("pbReflectance")->click();

        rig.widget.resetToScope();
        QVERIFY(!rig.part<QPushButton>("pbReflectance")->isEnabled());
        QVERIFY(rig.part<QPushButton>("pbScope")->isChecked());
        QCOMPARE(rig.plot()->yAxis->label(), QString("Intensity(counts)"));
    }

    void autoScaleXYHandsOverToAutoScaleY() {
        PlotRig rig;
        rig.widget.setManualScale(420, 450, 0, 10);
        rig.widget.plotSpectrum({1, 2, 3, 4, 5, 9, 5, 4, 3, 2, 1});
        QCOMPARE(rig.xRange(), (Range{420, 450}));

        rig.part<QToolButton>("tbAutoScaleXY")->click();
        QCOMPARE(rig.xRange(), (Range{400, 500}));
        QCOMPARE(rig.yRange(), (Range{1, 9.9}));
        QVERIFY(rig.part<QToolButton>("tbAutoScaleY")->isChecked());
        QVERIFY(!rig.part<QToolButton>("tbAutoScaleXY")->isChecked());
        QVERIFY(!rig.part<QToolButton>("tbManualScale")->isChecked());

        // Autoscale Y goes on: y follows, x stays where the operator put it.
        rig.plot()->xAxis->setRange(430, 470);
        rig.widget.plotSpectrum({2, 2, 2, 2, 2, 19, 2, 2, 2, 2, 2});
        QCOMPARE(rig.yRange(), (Range{2, 20.9}));
        QCOMPARE(rig.xRange(), (Range{430, 470}));
    }

    void uncheckingAutoScaleYFreezesTheView() {
        PlotRig rig;
        rig.part<QToolButton>("tbAutoScaleXY")->click();
        rig.widget.plotSpectrum({1, 2, 3, 4, 5, 9, 5, 4, 3, 2, 1});
        rig.plot()->xAxis->setRange(430, 470);

        rig.part<QToolButton>("tbAutoScaleY")->click();
        QVERIFY(!rig.part<QToolButton>("tbAutoScaleY")->isChecked());
        QCOMPARE(rig.xRange(), (Range{430, 470}));
        QCOMPARE(rig.yRange(), (Range{1, 9.9}));
        rig.widget.plotSpectrum({2, 2, 2, 2, 2, 19, 2, 2, 2, 2, 2});
        QCOMPARE(rig.yRange(), (Range{1, 9.9}));
        QCOMPARE(rig.xRange(), (Range{430, 470}));
    }

    void manualLimitsComeFromTheDialogAndHold() {
        PlotRig rig;
        rig.widget.plotSpectrum({1, 2, 3, 4, 5, 9, 5, 4, 3, 2, 1});
        rig.part<QToolButton>("tbManualScale")->click();
        auto* dialog = rig.widget.findChild<Dialog*>();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QSpinBox*>("dSBXmin")->value(), 400);
        QCOMPARE(dialog->findChild<QSpinBox*>("dSBXmax")->value(), 500);
        dialog->findChild<QSpinBox*>("dSBXmin")->setValue(420);
        dialog->findChild<QPushButton*>("pushButtonOk")->click();

        QCOMPARE(rig.xRange(), (Range{420, 500}));
        QCOMPARE(rig.yRange(), (Range{1, 9.9}));
        QVERIFY(!rig.part<QToolButton>("tbAutoScaleY")->isChecked());
        rig.widget.plotSpectrum({2, 2, 2, 2, 2, 19, 2, 2, 2, 2, 2});
        QCOMPARE(rig.xRange(), (Range{420, 500}));
        QCOMPARE(rig.yRange(), (Range{1, 9.9}));
    }

    void peaksAreLabelledWithTheirWavelengthForOneRedraw() {
        PlotRig rig;
        rig.showPeaks(0.5, 'r', 0);
        const int itemsBetweenRedraws = rig.plot()->itemCount();
        rig.widget.plotSpectrum({0, 5, 0, 0, 8, 0, 0, 0, 0, 3, 0});
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.labels, (QVector<PeakLabel>{{"410", 410, 5.25}, {"440", 440, 8.4}}), 2000);
        QCOMPARE(rig.plot()->itemCount(), itemsBetweenRedraws);

        rig.widget.plotSpectrum({0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0});
        QTRY_COMPARE_WITH_TIMEOUT(rig.labels, (QVector<PeakLabel>{{"470", 470, 7.35}}), 2000);
        QCOMPARE(rig.plot()->itemCount(), itemsBetweenRedraws);
    }

    void fwhmShowsTheWidthOfTheHighestOrTheChosenPeak() {
        PlotRig rig({600, 610, 620, 630, 640, 650});
        rig.showPeaks(0.5, 'r', 0);
        rig.part<QToolButton>("tbFwhm")->click();
        rig.utility.processSpectra({0, 4, 10, 8, 2, 0}, false);
        QLabel* width = rig.part<QLabel>("lblFwhm");
        QVERIFY(!width->isHidden());
        QCOMPARE(width->text(), QString("23.3333"));

        rig.widget.setPeakForFwhm(625);
        rig.utility.processSpectra({0, 4, 10, 8, 2, 0}, false);
        QCOMPARE(width->text(), QString("0"));

        rig.part<QToolButton>("tbPeaks")->click();
        QVERIFY(width->isHidden());
        QVERIFY(!rig.part<QToolButton>("tbFwhm")->isEnabled());
        QVERIFY(!rig.part<QToolButton>("tbFwhm")->isChecked());
    }

    void spectrumLongerThanTheGridDrawsTheCommonPoints() {
        PlotRig rig({400, 410, 420, 430, 440});
        rig.showPeaks(0.0, 'a', 0);
        rig.part<QToolButton>("tbFwhm")->click();
        rig.utility.processSpectra({0, 5, 0, 0, 1, 0, 9, 0}, false);
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.labels, (QVector<PeakLabel>{{"410", 410, 5.25}, {"440", 440, 1.05}}), 2000);
        QCOMPARE(rig.graphKeys(), (Values{400, 410, 420, 430, 440}));
    }

    void gridLongerThanTheSpectrumDrawsTheCommonPoints() {
        PlotRig rig;
        rig.showPeaks(0.0, 'a', 0);
        rig.part<QToolButton>("tbFwhm")->click();
        rig.utility.processSpectra({0, 5, 0, 2, 0}, false);
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.labels, (QVector<PeakLabel>{{"410", 410, 5.25}, {"430", 430, 2.1}}), 2000);
        QCOMPARE(rig.graphValues(), (Values{0, 5, 0, 2, 0}));
    }

    void manySpectraAreRedrawnAFewTimesWithTheLatest() {
        PlotRig rig;
        rig.showPeaks(1.0, 'a', 0);
        const int itemsBetweenRedraws = rig.plot()->itemCount();
        QSignalSpy replots(rig.plot(), &QCustomPlot::afterReplot);
        QElapsedTimer feeding;
        feeding.start();
        for (int i = 1; i <= 200; ++i) {
            rig.widget.plotSpectrum({0, 0, 0, 0, 0, double(i), 0, 0, 0, 0, 0});
            QCoreApplication::processEvents();
        }
        const qint64 feedingMs = feeding.elapsed();
        QCOMPARE(rig.graphValues(), (Values{0, 0, 0, 0, 0, 200, 0, 0, 0, 0, 0}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.labels, (QVector<PeakLabel>{{"450", 450, 210}}), 2000);
        // About one redraw per 33 ms of feeding, the last one and one the
        // plotting library queues itself; a slow machine only allows more.
        const qint64 allowed = feedingMs / 30 + 3;
        QVERIFY2(replots.count() <= allowed,
                 qPrintable(QString("%1 replots in %2 ms").arg(replots.count()).arg(feedingMs)));
        QCOMPARE(rig.plot()->itemCount(), itemsBetweenRedraws);
    }

    void saturationBandsShadeMergeAndClear() {
        PlotRig rig;
        rig.widget.setSaturatedWavelengths({480, 450, 455});
        QCOMPARE(rig.itemsOfType<QCPItemRect>(), 2);
        QVector<QPair<double, double>> bands;
        for (int i = 0; i < rig.plot()->itemCount(); ++i)
            if (auto* band = qobject_cast<QCPItemRect*>(rig.plot()->item(i))) {
                bands.append({band->topLeft->key(), band->bottomRight->key()});
                QCOMPARE(band->topLeft->typeY(), QCPItemPosition::ptAxisRectRatio);
                QCOMPARE(band->topLeft->value(), 0.0);
                QCOMPARE(band->bottomRight->value(), 1.0);
            }
        QCOMPARE(bands, (QVector<QPair<double, double>>{{445, 460}, {475, 485}}));

        rig.widget.setSaturatedWavelengths({});
        QCOMPARE(rig.itemsOfType<QCPItemRect>(), 0);
    }
};

QTEST_MAIN(SpectrumPlotTest)
#include "SpectrumPlotTest.moc"
