// The colour panel: how a colour result is shown (numbers, swatch, chart
// point, L* bar), which chart follows the results, the choices passed to the
// utility and the reset.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "spectra/cSpectraUtility.h"
#include "ui/XCustomPlot.h"
#include "ui/colorPlotWidget.h"

namespace {

tCIELABRGB colour(double L, double a, double b) {
    tCIELABRGB c;
    c.X = 20;
    c.Y = 30;
    c.Z = 50;
    c.R = 100;
    c.G = 110;
    c.B = 120;
    c.L = L;
    c.a = a;
    c.b = b;
    return c;
}

struct Panel {
    Panel() { panel.setUtility(&utility); }

    void receive(const tCIELABRGB& c, bool specInitialized = true, std::string name = "",
                 int distance = 0) {
        panel.onCIELABRGBReady(c, specInitialized, name, distance);
    }
    QString text(const char* label) const { return panel.findChild<QLabel*>(label)->text(); }
    QString swatch() const { return panel.findChild<QFrame*>("colorframe")->styleSheet(); }
    int bar() const { return panel.findChild<QProgressBar*>("pgBarLab")->value(); }
    QTabWidget* tabs() const { return panel.findChild<QTabWidget*>("tabWidgetColor"); }
    QComboBox* combo(const char* name) const { return panel.findChild<QComboBox*>(name); }
    // The one point of a chart, as "x y"; "none" when it has none.
    QString point(const char* chart) const {
        const auto data = panel.findChild<XCustomPlot*>(chart)->graph(0)->data();
        if (data->isEmpty()) return "none";
        return QString("%1 %2").arg(data->at(0)->key).arg(data->at(0)->value);
    }
    void clickTab(int index) {
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    cSpectraUtility utility;
    colorPlotWidget panel;
};

}  // namespace

class ColourPanelTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithPlaceholdersAndWithoutTheCriTab() {
        Panel p;
        QCOMPARE(p.tabs()->count(), 2);
        QCOMPARE(p.tabs()->tabText(0), QString("CIE L*a*b*"));
        QCOMPARE(p.tabs()->tabText(1), QString("CIE xy"));
        QCOMPARE(p.tabs()->currentIndex(), 0);
        QCOMPARE(p.text("labelL"), QString("X"));
        QCOMPARE(p.text("labelPantone"), QString("XXX"));
        QCOMPARE(p.text("labelDE"), QString("XXX"));
        QVERIFY(!p.combo("comboBoxRGB")->isEnabled());
        QVERIFY(!p.combo("comboBoxColorMatch")->isEnabled());
        QCOMPARE(p.combo("comboBoxCMF")->itemText(1), QString("1964, 10 degree"));
    }

    void swatchTextTurnsBlackAtLStar50() {
        Panel p;
        tCIELABRGB c = colour(49.9, 0, 0);
        // Halves round away from zero.
        c.R = 2.5;
        c.G = 0.5;
        c.B = 254.49;
        p.receive(c);
        QCOMPARE(p.swatch(), QString("background-color: rgb(3, 1, 254);color:white"));
        c.L = 50;
        p.receive(c);
        QCOMPARE(p.swatch(), QString("background-color: rgb(3, 1, 254);color:black"));
    }

    void valuesShowLabInOneDecimalAndTheRestInThreeDigits() {
        Panel p;
        tCIELABRGB c = colour(53.24, 80.06, -7.04);
        c.R = 255;
        c.G = 0.123456;
        c.B = 12;
        p.receive(c, true, "Cool Gray 7", 4);
        QCOMPARE(p.text("labelL"), QString("53.2"));
        QCOMPARE(p.text("labela"), QString("80.1"));
        QCOMPARE(p.text("labelb"), QString("-7.0"));
        QCOMPARE(p.text("labelRed"), QString("255"));
        QCOMPARE(p.text("labelGreen"), QString("0.123"));
        QCOMPARE(p.text("labelBlue"), QString("12"));
        // X, Y, Z = 20, 30, 50: the chromaticity.
        QCOMPARE(p.text("labelX"), QString("0.2"));
        QCOMPARE(p.text("labelY"), QString("0.3"));
        QCOMPARE(p.text("labelZ"), QString("0.5"));
        QCOMPARE(p.text("labelPantone"), QString("Cool Gray 7"));
        QCOMPARE(p.text("labelDE"), QString("4"));
    }

    void withoutColourDataTheRawTristimulusValuesAreShown() {
        Panel p;
        tCIELABRGB c = colour(50, 0, 0);
        c.X = 95.047;
        c.Y = 1234;
        c.Z = 108.883;
        p.receive(c, false);
        QCOMPARE(p.text("labelX"), QString("95"));
        QCOMPARE(p.text("labelY"), QString("1.23E+03"));
        QCOMPARE(p.text("labelZ"), QString("109"));
    }

    void aBlackSampleShowsZeroChromaticityNotNaN() {
        Panel p;
        p.clickTab(1);
        tCIELABRGB black = colour(0, 0, 0);
        black.X = black.Y = black.Z = 0.0;
        p.receive(black);
        QCOMPARE(p.text("labelX"), QString("0"));
        QCOMPARE(p.text("labelY"), QString("0"));
        QCOMPARE(p.text("labelZ"), QString("0"));
        QCOMPARE(p.point("qcpCIE"), QString("0 0"));
    }

    void lStarBarIsTruncatedAndClampedToItsRange() {
        Panel p;
        p.receive(colour(63.9, 0, 0));
        QCOMPARE(p.bar(), 63);
        p.receive(colour(120, 0, 0));
        QCOMPARE(p.bar(), 100);
        p.receive(colour(-5, 0, 0));
        QCOMPARE(p.bar(), 0);
    }

    void onlyTheSelectedChartFollowsTheResults() {
        Panel p;
        p.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.panel));

        p.receive(colour(40, 10, 20));
        QCOMPARE(p.point("qcpLab"), QString("10 20"));
        QCOMPARE(p.bar(), 40);
        QCOMPARE(p.point("qcpCIE"), QString("none"));

        p.clickTab(1);
        p.receive(colour(70, -30, -40));
        QCOMPARE(p.point("qcpLab"), QString("10 20"));
        QCOMPARE(p.bar(), 40);
        QCOMPARE(p.point("qcpCIE"), QString("0.2 0.3"));

        p.clickTab(0);
        tCIELABRGB c = colour(70, -30, -40);
        c.X = 60;
        c.Y = 30;
        c.Z = 10;
        p.receive(c);
        QCOMPARE(p.point("qcpCIE"), QString("0.2 0.3"));
        QCOMPARE(p.point("qcpLab"), QString("-30 -40"));
        QCOMPARE(p.bar(), 70);

        // A click beside the tabs selects no chart.
        emit p.tabs()->tabBarClicked(-1);
        p.receive(colour(90, 5, 5));
        QCOMPARE(p.point("qcpLab"), QString("-30 -40"));
        QCOMPARE(p.point("qcpCIE"), QString("0.2 0.3"));
        QCOMPARE(p.bar(), 70);
    }

    void combosSwitchIlluminantAndObserverOfTheUtility() {
        Panel p;
        const ColourEngine& engine = p.utility.getColourEngine();
        p.combo("comboBoxIlluminant")->setCurrentIndex(1);
        QVERIFY(!engine.isD65());
        p.combo("comboBoxIlluminant")->setCurrentIndex(0);
        QVERIFY(engine.isD65());
        p.combo("comboBoxCMF")->setCurrentIndex(1);
        QVERIFY(!engine.is1931());
        p.combo("comboBoxCMF")->setCurrentIndex(0);
        QVERIFY(engine.is1931());
    }

    void resultsOfTheUtilityReachThePanel() {
        Panel p;
        p.utility.setWavelengths({400, 401, 402});
        p.utility.collectBright();
        p.utility.processSpectra({4, 4, 4}, false);
        // The colour data are loaded only with a spectrometer: a black
        // record, reported as raw values, and no chart entry.
        QCOMPARE(p.text("labelL"), QString("0.0"));
        QCOMPARE(p.text("labelX"), QString("0"));
        QCOMPARE(p.text("labelPantone"), QString(""));
        QCOMPARE(p.text("labelDE"), QString("1000"));
        QCOMPARE(p.swatch(), QString("background-color: rgb(0, 0, 0);color:white"));
    }

    void resetBlanksSwatchAndValues() {
        Panel p;
        p.receive(colour(60, 1, 2), true, "Red 032", 3);
        p.panel.reset();
        QCOMPARE(p.swatch(), QString(" "));
        for (const char* label :
             {"labelL", "labela", "labelb", "labelRed", "labelGreen", "labelBlue", "labelX",
              "labelY", "labelZ", "labelPantone", "labelDE"})
            QVERIFY2(p.text(label) == " ", label);
    }
};

QTEST_MAIN(ColourPanelTest)
#include "ColourPanelTest.moc"
