#include "Assets.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <filesystem>
#include <stdexcept>

#include "Branding.h"
#include "ComputedImages.h"
#include "Icons.h"
#include "config/AtomicFile.h"

namespace kelo::uiassets {

namespace {

const QString kIconPrefix = QStringLiteral("/icons");
const QString kImagePrefix = QStringLiteral("/images");
constexpr int kWindowIconSide = 128;
constexpr int kChromaticityChartSide = 600;
constexpr int kLabChartSide = 560;

Asset icon(const QString& name, const QImage& image) {
    return {kIconPrefix, "icons/" + name + ".png", image};
}

Asset picture(const QString& name, const QImage& image) {
    return {kImagePrefix, "images/" + name + ".png", image};
}

QString resourceGroup(const QString& prefix, const QStringList& entries) {
    QString group = "  <qresource prefix=\"" + prefix.toHtmlEscaped() + "\">\n";
    for (const QString& entry : entries) group += "    " + entry + "\n";
    return group + "  </qresource>\n";
}

std::runtime_error writeError(const QString& file, const QString& reason) {
    return std::runtime_error((file + ": " + reason).toStdString());
}

// A folder, a device or a pipe in the place of a file is left alone.
void refuseAnythingButARegularFile(const QString& path) {
    const std::string problem = regularFileProblem(std::filesystem::u8path(path.toStdString()));
    if (!problem.empty()) throw std::runtime_error(path.toStdString() + " " + problem);
}

void writeImage(const QString& path, const QImage& image) {
    if (!QDir().mkpath(QFileInfo(path).path())) throw writeError(path, "folder not created");
    refuseAnythingButARegularFile(path);
    if (!image.save(path, "PNG")) throw writeError(path, "not written");
}

void writeText(const QString& path, const QString& text) {
    refuseAnythingButARegularFile(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        throw writeError(path, file.errorString());
    }
    file.write(text.toUtf8());
    if (!file.commit()) throw writeError(path, file.errorString());
}

}  // namespace

std::vector<Asset> makeAssets(const ColourMatchingTable& table) {
    std::vector<Asset> assets;
    for (const NamedImage& drawn : drawIcons()) assets.push_back(icon(drawn.name, drawn.image));
    assets.push_back(icon("BrevantaTransparentA", productMark(kWindowIconSide)));
    assets.push_back(icon("brevanta100", toolBarLogo()));

    const BandLayout plotBand;
    BandLayout fullBrightness;
    fullBrightness.brightness = 1.0;
    assets.push_back(picture("colorSpectrum", colourBandImage(table, plotBand)));
    assets.push_back(picture("xyYChart_01", chromaticityChart(table, kChromaticityChartSide)));
    assets.push_back(picture("CIELABChart-02", labChart(kLabChartSide)));
    assets.push_back(picture("SideBanner3", sideBanner(colourBandImage(table, fullBrightness))));
    return assets;
}

QString resourceCollection(const std::vector<Asset>& assets, const QString& styleSheetPath) {
    QStringList prefixes;
    for (const Asset& asset : assets) {
        if (!prefixes.contains(asset.prefix)) prefixes << asset.prefix;
    }
    QString collection = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n";
    for (const QString& prefix : prefixes) {
        QStringList entries;
        for (const Asset& asset : assets) {
            if (asset.prefix == prefix)
                entries << "<file>" + asset.file.toHtmlEscaped() + "</file>";
        }
        collection += resourceGroup(prefix, entries);
    }
    collection += resourceGroup(
        "/style", {"<file alias=\"styleSheet.css\">" + styleSheetPath.toHtmlEscaped() + "</file>"});
    return collection + "</RCC>\n";
}

void writeAssets(const QString& folder, const std::vector<Asset>& assets,
                 const QString& styleSheetPath) {
    const QDir output(folder);
    for (const Asset& asset : assets) writeImage(output.filePath(asset.file), asset.image);
    writeText(output.filePath(kCollectionFileName), resourceCollection(assets, styleSheetPath));
}

}  // namespace kelo::uiassets
