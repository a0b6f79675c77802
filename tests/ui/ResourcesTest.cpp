// The resources compiled into the program: every icon and image the windows
// name, the style sheet, and the computed pixels of the colour pictures.
#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

// The square icons; the tool-bar logo is the one wide icon.
const QStringList kSquareIconNames =
    QString(
        "AEOff AEOn BrightCollect BrightCollectSelected Color ColorON ControlTSOff ControlTSOn "
        "ControlsOff ControlsOn DCoff DCon DarkCollect DarkCollectSelected FlashAuto "
        "FlashAutoSelected FlashOff FlashOffSelected FlashOn FlashOnSelected Help Play "
        "QuickSave RCoff RCon Record RefCollect RefCollectEnabled Save SaveOptsOff SaveOptsOn "
        "ScaleManual ScaleManualSeleceted ScaleXY ScaleXYRed ScaleY ScaleYon Settings_off "
        "Settings_on Snap Stop TimeSeries TimeSeriesOff Trigger TriggerOff BrevantaTransparentA")
        .split(' ');
const QString kLogoName = "brevanta100";

const QStringList kImageNames{"colorSpectrum", "xyYChart_01", "CIELABChart-02", "SideBanner3"};

QString iconPath(const QString& name) {
    return ":/icons/icons/" + name + ".png";
}
QString imagePath(const QString& name) {
    return ":/images/images/" + name + ".png";
}

QImage resourceImage(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

QString styleSheetText() {
    QFile file(":/style/styleSheet.css");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(file.readAll());
}

QColor centrePixel(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// The warnings Qt gives while a style sheet is applied, e.g. when it does
// not parse.
QStringList styleWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg) styleWarnings << message;
}

// The resource style sheet on the application for the life of the object.
class AppliedStyleSheet {
public:
    AppliedStyleSheet() : previousHandler(qInstallMessageHandler(collectWarnings)) {
        styleWarnings.clear();
        qApp->setStyleSheet(styleSheetText());
    }
    ~AppliedStyleSheet() {
        qApp->setStyleSheet(QString());
        qInstallMessageHandler(previousHandler);
    }
    AppliedStyleSheet(const AppliedStyleSheet&) = delete;
    AppliedStyleSheet& operator=(const AppliedStyleSheet&) = delete;

private:
    QtMessageHandler previousHandler;
};

}  // namespace

class ResourcesTest : public QObject {
    Q_OBJECT
private slots:
    void everyIconAndImageLoads_data();
    void everyIconAndImageLoads();
    void iconsAreSquareOnTransparent_data();
    void iconsAreSquareOnTransparent();
    void onIconDiffersFromOffIcon_data();
    void onIconDiffersFromOffIcon();
    void logoFitsTheToolBarAndBannerIsTall();
    void styleSheetHoldsTheObjectNameRules();
    void styleSheetStylesTheWidgets();
    void colourBandIsDimAndRunsBlueGreenRed();
    void chromaticityChartHoldsWhiteInsideTheLocus();
    void labChartCentreIsGreyAndAxesHaveTheirHues();
};

void ResourcesTest::everyIconAndImageLoads_data() {
    QTest::addColumn<QString>("path");
    for (const QString& name : kSquareIconNames) {
        QTest::newRow(qPrintable(name)) << iconPath(name);
    }
    QTest::newRow(qPrintable(kLogoName)) << iconPath(kLogoName);
    for (const QString& name : kImageNames) QTest::newRow(qPrintable(name)) << imagePath(name);
}

void ResourcesTest::everyIconAndImageLoads() {
    QFETCH(QString, path);
    QVERIFY(!QPixmap(path).isNull());
    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    QVERIFY(!icon.pixmap(40, 40).isNull());
}

void ResourcesTest::iconsAreSquareOnTransparent_data() {
    QTest::addColumn<QString>("path");
    for (const QString& name : kSquareIconNames) {
        QTest::newRow(qPrintable(name)) << iconPath(name);
    }
}

void ResourcesTest::iconsAreSquareOnTransparent() {
    QFETCH(QString, path);
    const QImage icon = resourceImage(path);
    QCOMPARE(icon.width(), icon.height());
    QVERIFY(icon.width() >= 40);
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(icon.pixelColor(icon.width() - 1, icon.height() - 1).alpha(), 0);
}

void ResourcesTest::onIconDiffersFromOffIcon_data() {
    QTest::addColumn<QString>("off");
    QTest::addColumn<QString>("on");
    const QStringList pairs{"AEOff AEOn",
                            "BrightCollect BrightCollectSelected",
                            "Color ColorON",
                            "ControlTSOff ControlTSOn",
                            "ControlsOff ControlsOn",
                            "DCoff DCon",
                            "DarkCollect DarkCollectSelected",
                            "FlashAuto FlashAutoSelected",
                            "FlashOff FlashOffSelected",
                            "FlashOn FlashOnSelected",
                            "RCoff RCon",
                            "RefCollect RefCollectEnabled",
                            "SaveOptsOff SaveOptsOn",
                            "ScaleManual ScaleManualSeleceted",
                            "ScaleXY ScaleXYRed",
                            "ScaleY ScaleYon",
                            "Settings_off Settings_on",
                            "TimeSeriesOff TimeSeries",
                            "TriggerOff Trigger"};
    for (const QString& pair : pairs) {
        const QStringList names = pair.split(' ');
        QTest::newRow(qPrintable(names[0])) << names[0] << names[1];
    }
}

void ResourcesTest::onIconDiffersFromOffIcon() {
    QFETCH(QString, off);
    QFETCH(QString, on);
    QVERIFY(resourceImage(iconPath(off)) != resourceImage(iconPath(on)));
}

void ResourcesTest::logoFitsTheToolBarAndBannerIsTall() {
    const QImage logo = resourceImage(iconPath(kLogoName));
    QVERIFY(logo.width() >= 90 && logo.width() <= 110);
    QVERIFY(logo.height() <= 40);
    const QImage banner = resourceImage(imagePath("SideBanner3"));
    QVERIFY(banner.height() >= 300);
    QVERIFY(banner.height() >= 2 * banner.width());
}

void ResourcesTest::styleSheetHoldsTheObjectNameRules() {
    const QString css = styleSheetText();
    QVERIFY(!css.isEmpty());
    for (const char* selector :
         {"QFrame#specToolBar", "QFrame#TPlotToolBar", "QFrame#widgetIndicator",
          "QFrame#colorFrame", "QTabWidget#tabWidgetColor QTabBar::tab",
          "QTabWidget#tabWidgetControls QTabBar::tab",
          "QTabWidget#tabWidgetControls QTabBar::tab:disabled"}) {
        QVERIFY2(css.contains(selector), selector);
    }
    for (const char* declaration :
         {"border: 2px solid #aa0000", "background: #7d7d7d", "background: #aa0000",
          "color: rgb(230, 130, 130)", "border-radius: 12px"}) {
        QVERIFY2(css.contains(declaration), declaration);
    }
}

void ResourcesTest::styleSheetStylesTheWidgets() {
    const AppliedStyleSheet styleSheet;

    QToolButton toolButton;
    toolButton.ensurePolished();
    QCOMPARE(toolButton.iconSize(), QSize(30, 30));

    QFrame toolBarFrame;
    toolBarFrame.setObjectName("specToolBar");
    toolBarFrame.resize(40, 40);
    QCOMPARE(centrePixel(toolBarFrame), QColor(50, 50, 50));

    QPushButton checkedButton("Scope");
    checkedButton.setCheckable(true);
    checkedButton.setChecked(true);
    checkedButton.resize(100, 40);
    const QImage button = checkedButton.grab().toImage();
    QCOMPARE(button.pixelColor(0, button.height() / 2), QColor(250, 0, 0));
    QCOMPARE(button.pixelColor(button.width() / 2, 0), QColor(250, 0, 0));

    // 40 x 20 inside a 2 px border; the disabled tab takes no width.
    QTabWidget controls;
    controls.setObjectName("tabWidgetControls");
    for (const char* page : {"Controls", "Save Opts", "Time series"}) {
        controls.addTab(new QWidget, page);
    }
    controls.setTabEnabled(2, false);
    controls.resize(300, 200);
    controls.show();
    QVERIFY(QTest::qWaitForWindowExposed(&controls));
    QCOMPARE(controls.tabBar()->tabRect(0).size(), QSize(44, 24));
    QCOMPARE(controls.tabBar()->tabRect(2).width(), 0);

    QVERIFY2(styleWarnings.isEmpty(), qPrintable(styleWarnings.join('\n')));
}

void ResourcesTest::colourBandIsDimAndRunsBlueGreenRed() {
    const QImage band = resourceImage(imagePath("colorSpectrum"));
    QVERIFY(band.width() >= 300);
    int brightest = 0;
    for (int x = 0; x < band.width(); ++x) {
        const QColor colour = band.pixelColor(x, band.height() / 2);
        brightest = std::max({brightest, colour.red(), colour.green(), colour.blue()});
    }
    QVERIFY2(brightest >= 89 && brightest <= 115, qPrintable(QString::number(brightest)));
    const auto at = [&band](double nm) {
        const int column = qRound((nm - 400.0) / 300.0 * (band.width() - 1));
        return band.pixelColor(column, band.height() / 2);
    };
    const QColor red = at(650);
    const QColor green = at(530);
    const QColor blue = at(450);
    QVERIFY(red.red() > 2 * std::max(red.green(), red.blue()));
    QVERIFY(green.green() > 2 * std::max(green.red(), green.blue()));
    QVERIFY(blue.blue() > 2 * std::max(blue.red(), blue.green()));
}

void ResourcesTest::chromaticityChartHoldsWhiteInsideTheLocus() {
    const QImage chart = resourceImage(imagePath("xyYChart_01"));
    QCOMPARE(chart.width(), chart.height());
    const auto at = [&chart](double x, double y) {
        return chart.pixelColor(int(x / 0.9 * chart.width()),
                                int((1.0 - y / 0.9) * chart.height()));
    };
    const QColor white = at(0.3127, 0.3290);
    QCOMPARE(white.alpha(), 255);
    QVERIFY(std::min({white.red(), white.green(), white.blue()}) >= 240);
    QVERIFY(std::max({white.red(), white.green(), white.blue()}) -
                std::min({white.red(), white.green(), white.blue()}) <=
            10);
    const QColor outside = at(0.8, 0.8);
    QVERIFY(outside.alpha() == 0 ||
            std::max({outside.red(), outside.green(), outside.blue()}) < 10);
}

void ResourcesTest::labChartCentreIsGreyAndAxesHaveTheirHues() {
    const QImage chart = resourceImage(imagePath("CIELABChart-02"));
    QCOMPARE(chart.width(), chart.height());
    const auto at = [&chart](double a, double b) {
        return chart.pixelColor(int((a + 140.0) / 280.0 * chart.width()),
                                int((140.0 - b) / 280.0 * chart.height()));
    };
    // L* = 50 is sRGB 119 on every channel.
    const QColor grey = at(0, 0);
    for (int channel : {grey.red(), grey.green(), grey.blue()})
        QVERIFY(std::abs(channel - 119) <= 3);
    const QColor reddish = at(60, 0);
    QVERIFY(reddish.red() > reddish.green() + 60 && reddish.red() > reddish.blue());
    const QColor bluish = at(0, -60);
    QVERIFY(bluish.blue() > bluish.red() + 60 && bluish.blue() > bluish.green());
}

QTEST_MAIN(ResourcesTest)
#include "ResourcesTest.moc"
