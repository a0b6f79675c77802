// The colour computations, drawing and resource collection of uiassets, the
// build-time generator of the interface's icons and images.
#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "Assets.h"
#include "ColourMath.h"
#include "ComputedImages.h"
#include "Icons.h"

using namespace kelo::uiassets;

namespace {

const Xyz kD65{0.95047, 1.0, 1.08883};

ColourMatchingTable cie1931() {
    return readColourMatchingTable(KELO_COLOUR_DATA_DIR "/cmf1931.dat");
}

void compareRgb(const Rgb& actual, double red, double green, double blue, double tolerance) {
    QVERIFY2(std::abs(actual.red - red) <= tolerance, qPrintable(QString::number(actual.red)));
    QVERIFY2(std::abs(actual.green - green) <= tolerance,
             qPrintable(QString::number(actual.green)));
    QVERIFY2(std::abs(actual.blue - blue) <= tolerance, qPrintable(QString::number(actual.blue)));
}

QString parseError(const std::string& text) {
    std::istringstream stream(text);
    try {
        parseColourMatchingTable(stream, "cmf.dat");
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return {};
}

double hueDegrees(const Rgb& linear) {
    const Rgb encoded = srgbEncoded(linear);
    return QColor::fromRgbF(encoded.red, encoded.green, encoded.blue).hueF() * 360.0;
}

bool hasOpaquePixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 255) return true;
        }
    }
    return false;
}

}  // namespace

class UiAssetsTest : public QObject {
    Q_OBJECT
private slots:
    void tableInterpolatesBetweenRowsAndIsZeroOutside();
    void tableRejectsShortRowsAndDescendingWavelengths();
    void xyzToSrgbMapsD65WhiteToFullWhite();
    void srgbTransferCurveAndClamping();
    void labToXyzOnBothBranchesOfTheCurve();
    void chromaticityOfD65();
    void polygonContainment();
    void spectralLocusHoldsTheVisibleColours();
    void brightestDisplayableNormalisesToTheLargestComponent();
    void spectralHuesRunFromBlueToRed();
    void pixelCentresSpanTheRangeInEitherDirection();
    void colourBandIsDimAndRunsBlueGreenRed();
    void chromaticityChartFillsOnlyTheLocus();
    void labChartCentreIsMidGreyAndAxesHaveTheirHues();
    void everyIconIsDrawnOnTransparent();
    void onIconsDifferFromOffIcons();
    void collectionListsTheAssetsByPrefixThenTheStyleSheet();
    void writingPutsImagesAndCollectionInTheFolder();
    void writingIntoAFileFails();
};

void UiAssetsTest::tableInterpolatesBetweenRowsAndIsZeroOutside() {
    std::istringstream text("500 0.1 0.2 0.3\n\n510 0.3 0.4 0.5\n");
    const ColourMatchingTable table = parseColourMatchingTable(text, "cmf.dat");
    QCOMPARE(table.rows().size(), std::size_t(2));
    const Xyz middle = table.at(505);
    QCOMPARE(middle.x, 0.2);
    QCOMPARE(middle.y, 0.3);
    QCOMPARE(middle.z, 0.4);
    QCOMPARE(table.at(510).z, 0.5);
    QCOMPARE(table.at(499.9).y, 0.0);
    QCOMPARE(table.at(510.1).y, 0.0);
}

void UiAssetsTest::tableRejectsShortRowsAndDescendingWavelengths() {
    QCOMPARE(parseError("500 0.1 0.2\n"), QString("cmf.dat:1: expected \"wavelength x y z\""));
    QCOMPARE(parseError("500 0.1 0.2 0.3 0.4\n"),
             QString("cmf.dat:1: expected \"wavelength x y z\""));
    QCOMPARE(parseError("500 0.1 0.2 0.3\n500 0.1 0.2 0.3\n"),
             QString("cmf.dat:2: wavelengths must ascend"));
    QCOMPARE(parseError("500 0.1 0.2 0.3\n"), QString("cmf.dat: fewer than two rows"));
    QVERIFY_EXCEPTION_THROWN(readColourMatchingTable("/nonexistent/cmf.dat"), std::runtime_error);
}

void UiAssetsTest::xyzToSrgbMapsD65WhiteToFullWhite() {
    compareRgb(linearSrgbFromXyz(kD65), 1.0, 1.0, 1.0, 1e-3);
    // The sRGB red primary at its full luminance 0.2126.
    compareRgb(linearSrgbFromXyz({0.4124, 0.2126, 0.0193}), 1.0, 0.0, 0.0, 2e-3);
}

void UiAssetsTest::srgbTransferCurveAndClamping() {
    QCOMPARE(srgbEncoded(0.0), 0.0);
    QCOMPARE(srgbEncoded(1.0), 1.0);
    QVERIFY(std::abs(srgbEncoded(0.5) - 0.73536) < 1e-5);
    QVERIFY(std::abs(srgbEncoded(0.002) - 0.025840) < 1e-6);
    QCOMPARE(srgbEncoded(-0.2), 0.0);
    QCOMPARE(srgbEncoded(1.5), 1.0);
}

void UiAssetsTest::labToXyzOnBothBranchesOfTheCurve() {
    const Xyz grey = xyzFromLab(50, 0, 0);
    QVERIFY(std::abs(grey.y - 0.18419) < 1e-5);
    QVERIFY(std::abs(grey.x - 0.17507) < 1e-5);
    QVERIFY(std::abs(grey.z - 0.20055) < 1e-5);
    compareRgb(srgbEncoded(linearSrgbFromXyz(grey)), 0.46634, 0.46634, 0.46634, 1e-3);
    const Xyz white = xyzFromLab(100, 0, 0);
    QVERIFY(std::abs(white.x - kD65.x) < 1e-9 && std::abs(white.z - kD65.z) < 1e-9);
    // Below L* = 8 the curve is linear: Y = L* / 903.3.
    QVERIFY(std::abs(xyzFromLab(5, 0, 0).y - 0.0055353) < 1e-6);
}

void UiAssetsTest::chromaticityOfD65() {
    const Chromaticity white = chromaticityOf(kD65);
    QVERIFY(std::abs(white.x - 0.3127) < 1e-4);
    QVERIFY(std::abs(white.y - 0.3290) < 1e-4);
    QCOMPARE(chromaticityOf({}).x, 0.0);
}

void UiAssetsTest::polygonContainment() {
    // An L shape, so that the concave corner is crossed.
    const std::vector<Chromaticity> shape{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    QVERIFY(insidePolygon(shape, {0.5, 0.5}));
    QVERIFY(insidePolygon(shape, {1.5, 0.5}));
    QVERIFY(insidePolygon(shape, {0.5, 1.5}));
    QVERIFY(!insidePolygon(shape, {1.5, 1.5}));
    QVERIFY(!insidePolygon(shape, {-0.5, 0.5}));
    QVERIFY(!insidePolygon(shape, {0.5, 2.5}));
    QVERIFY(!insidePolygon({}, {0.5, 0.5}));
}

void UiAssetsTest::spectralLocusHoldsTheVisibleColours() {
    const std::vector<Chromaticity> locus = spectralLocus(cie1931());
    QCOMPARE(locus.size(), std::size_t(401));
    QVERIFY(insidePolygon(locus, {0.3127, 0.3290}));
    QVERIFY(insidePolygon(locus, {0.15, 0.10}));
    QVERIFY(insidePolygon(locus, {0.20, 0.70}));
    QVERIFY(insidePolygon(locus, {0.50, 0.20}));
    QVERIFY(!insidePolygon(locus, {0.80, 0.80}));
    // Left of the blue edge, and below the purple line.
    QVERIFY(!insidePolygon(locus, {0.10, 0.10}));
    QVERIFY(!insidePolygon(locus, {0.50, 0.10}));
}

void UiAssetsTest::brightestDisplayableNormalisesToTheLargestComponent() {
    compareRgb(brightestDisplayable({0.3127, 0.3290}), 1.0, 1.0, 1.0, 2e-3);
    compareRgb(brightestDisplayable({0.64, 0.33}), 1.0, 0.0, 0.0, 2e-3);
    compareRgb(brightestDisplayable({0.30, 0.60}), 0.0, 1.0, 0.0, 2e-3);
    compareRgb(brightestDisplayable({0.15, 0.06}), 0.0, 0.0, 1.0, 2e-3);
    compareRgb(brightestDisplayable({0.5, 0.0}), 0.0, 0.0, 0.0, 0.0);
}

void UiAssetsTest::spectralHuesRunFromBlueToRed() {
    const ColourMatchingTable table = cie1931();
    const double blue = hueDegrees(spectralColour(table, 450));
    const double cyan = hueDegrees(spectralColour(table, 495));
    const double green = hueDegrees(spectralColour(table, 530));
    const double yellow = hueDegrees(spectralColour(table, 580));
    const double red = hueDegrees(spectralColour(table, 650));
    QVERIFY2(blue > 220 && blue < 280, qPrintable(QString::number(blue)));
    QVERIFY(blue > cyan && cyan > green && green > yellow && yellow > red);
    QVERIFY2(std::abs(green - 120) < 10, qPrintable(QString::number(green)));
    QVERIFY2(red < 10, qPrintable(QString::number(red)));
}

void UiAssetsTest::pixelCentresSpanTheRangeInEitherDirection() {
    QCOMPARE(pixelCentreValue(0, 600, 0.0, 0.9), 0.00075);
    QCOMPARE(pixelCentreValue(599, 600, 0.0, 0.9), 0.89925);
    QCOMPARE(pixelCentreValue(0, 560, 140.0, -140.0), 139.75);
}

void UiAssetsTest::colourBandIsDimAndRunsBlueGreenRed() {
    const QImage band = colourBandImage(cie1931(), BandLayout{});
    QCOMPARE(band.size(), QSize(601, 64));
    int brightest = 0;
    for (int x = 0; x < band.width(); ++x) {
        const QColor top = band.pixelColor(x, 0);
        QCOMPARE(band.pixelColor(x, 63), top);
        brightest = std::max({brightest, top.red(), top.green(), top.blue()});
    }
    // Scaled to 40 %: the brightest channel of the band becomes 102.
    QVERIFY2(std::abs(brightest - 102) <= 1, qPrintable(QString::number(brightest)));
    const QColor blue = band.pixelColor((450 - 400) * 2, 0);
    const QColor green = band.pixelColor((530 - 400) * 2, 0);
    const QColor red = band.pixelColor((650 - 400) * 2, 0);
    QVERIFY(blue.blue() > 2 * std::max(blue.red(), blue.green()));
    QVERIFY(green.green() > 2 * std::max(green.red(), green.blue()));
    QVERIFY(red.red() > 2 * std::max(red.green(), red.blue()));
}

void UiAssetsTest::chromaticityChartFillsOnlyTheLocus() {
    const QImage chart = chromaticityChart(cie1931(), 300);
    QCOMPARE(chart.size(), QSize(300, 300));
    // Pixel of (x, y): column x / 0.9 * 300, row (1 - y / 0.9) * 300.
    const QColor white = chart.pixelColor(104, 190);
    QCOMPARE(white.alpha(), 255);
    QVERIFY(std::min({white.red(), white.green(), white.blue()}) >= 248);
    QCOMPARE(chart.pixelColor(266, 33).alpha(), 0);
    const QColor green = chart.pixelColor(66, 66);
    QVERIFY(green.green() == 255 && green.red() < 100 && green.blue() < 100);
    // Right of the red end (0.7347, 0.2653) only the outline covers a pixel.
    QVERIFY(chart.pixelColor(245, 211).alpha() > 0);
    QCOMPARE(chart.pixelColor(247, 211).alpha(), 0);
}

void UiAssetsTest::labChartCentreIsMidGreyAndAxesHaveTheirHues() {
    const QImage chart = labChart(280);
    QCOMPARE(chart.size(), QSize(280, 280));
    // One pixel is one unit of a* or b*; pixel 140 is centred on +0.5.
    const QColor grey = chart.pixelColor(140, 140);
    QVERIFY(std::abs(grey.red() - 119) <= 2 && std::abs(grey.green() - 119) <= 2 &&
            std::abs(grey.blue() - 119) <= 2);
    const QColor reddish = chart.pixelColor(200, 140);
    QVERIFY(reddish.red() > reddish.green() + 60 && reddish.red() > reddish.blue());
    const QColor bluish = chart.pixelColor(140, 200);
    QVERIFY(bluish.blue() > bluish.red() + 60 && bluish.blue() > bluish.green());
    // a* = b* = 139.5 is far outside sRGB: clipped to the gamut, then dimmed.
    const QColor corner = chart.pixelColor(279, 0);
    QVERIFY(std::max({corner.red(), corner.green(), corner.blue()}) <= 205);
}

void UiAssetsTest::everyIconIsDrawnOnTransparent() {
    const std::vector<NamedImage> icons = drawIcons();
    QStringList names;
    for (const NamedImage& icon : icons) {
        names << icon.name;
        QCOMPARE(icon.image.size(), QSize(64, 64));
        QCOMPARE(qAlpha(icon.image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.image.pixel(63, 0)), 0);
        QVERIFY2(hasOpaquePixel(icon.image), qPrintable(icon.name));
    }
    names.sort();
    const QStringList expected =
        QString(
            "AEOff AEOn BrightCollect BrightCollectSelected Color ColorON ControlTSOff "
            "ControlTSOn ControlsOff ControlsOn DCoff DCon DarkCollect DarkCollectSelected "
            "FlashAuto FlashAutoSelected FlashOff FlashOffSelected FlashOn FlashOnSelected Help "
            "Play QuickSave RCoff RCon Record RefCollect RefCollectEnabled Save SaveOptsOff "
            "SaveOptsOn ScaleManual ScaleManualSeleceted ScaleXY ScaleXYRed ScaleY ScaleYon "
            "Settings_off Settings_on Snap Stop TimeSeries TimeSeriesOff Trigger TriggerOff")
            .split(' ');
    QCOMPARE(names, expected);
}

void UiAssetsTest::onIconsDifferFromOffIcons() {
    const std::vector<NamedImage> icons = drawIcons();
    const auto image = [&icons](const QString& name) {
        for (const NamedImage& icon : icons) {
            if (icon.name == name) return icon.image;
        }
        return QImage();
    };
    const QStringList pairs{"AEOff/AEOn",
                            "DCoff/DCon",
                            "FlashOff/FlashOffSelected",
                            "ScaleManual/ScaleManualSeleceted",
                            "Settings_off/Settings_on",
                            "TimeSeriesOff/TimeSeries",
                            "TriggerOff/Trigger",
                            "Color/ColorON"};
    for (const QString& pair : pairs) {
        const QImage off = image(pair.section('/', 0, 0));
        const QImage on = image(pair.section('/', 1, 1));
        QVERIFY2(!off.isNull() && !on.isNull() && off != on, qPrintable(pair));
    }
}

void UiAssetsTest::collectionListsTheAssetsByPrefixThenTheStyleSheet() {
    const std::vector<Asset> assets{{"/icons", "icons/Play.png", QImage()},
                                    {"/images", "images/band.png", QImage()},
                                    {"/icons", "icons/Stop.png", QImage()}};
    QCOMPARE(resourceCollection(assets, "/src/R&D/styleSheet.css"),
             QString("<!DOCTYPE RCC>\n"
                     "<RCC version=\"1.0\">\n"
                     "  <qresource prefix=\"/icons\">\n"
                     "    <file>icons/Play.png</file>\n"
                     "    <file>icons/Stop.png</file>\n"
                     "  </qresource>\n"
                     "  <qresource prefix=\"/images\">\n"
                     "    <file>images/band.png</file>\n"
                     "  </qresource>\n"
                     "  <qresource prefix=\"/style\">\n"
                     "    <file alias=\"styleSheet.css\">/src/R&amp;D/styleSheet.css</file>\n"
                     "  </qresource>\n"
                     "</RCC>\n"));
}

void UiAssetsTest::writingPutsImagesAndCollectionInTheFolder() {
    QTemporaryDir folder;
    QImage dot(3, 2, QImage::Format_ARGB32);
    dot.fill(QColor(10, 20, 30));
    const std::vector<Asset> assets{{"/icons", "icons/Dot.png", dot}};
    writeAssets(folder.path(), assets, "/src/styleSheet.css");
    const QImage readBack(folder.filePath("icons/Dot.png"));
    QCOMPARE(readBack.size(), QSize(3, 2));
    QCOMPARE(readBack.pixelColor(2, 1), QColor(10, 20, 30));
    QFile collection(folder.filePath("ui_resources.qrc"));
    QVERIFY(collection.open(QIODevice::ReadOnly));
    QVERIFY(collection.readAll().contains("<file>icons/Dot.png</file>"));
}

void UiAssetsTest::writingIntoAFileFails() {
    QTemporaryDir folder;
    QFile blocker(folder.filePath("icons"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::vector<Asset> assets{
        {"/icons", "icons/Dot.png", QImage(1, 1, QImage::Format_RGB32)}};
    QVERIFY_EXCEPTION_THROWN(writeAssets(folder.path(), assets, "/src/styleSheet.css"),
                             std::runtime_error);
}

QTEST_MAIN(UiAssetsTest)
#include "UiAssetsTest.moc"
