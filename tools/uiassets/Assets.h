// Every generated file of the resource collection, and the collection file
// (.qrc) that lists them for rcc.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "ColourMath.h"

namespace kelo::uiassets {

// `file` is relative to the output folder and also the name under the
// resource prefix: ":" + prefix + "/" + file.
struct Asset {
    QString prefix;
    QString file;
    QImage image;
};

std::vector<Asset> makeAssets(const ColourMatchingTable& table);

// The .qrc text: the assets grouped by prefix in order of first appearance,
// then the style sheet at ":/style/styleSheet.css", taken from
// `styleSheetPath` where it lies.
QString resourceCollection(const std::vector<Asset>& assets, const QString& styleSheetPath);

// Writes the images under `folder` and the collection as
// `folder`/kCollectionFileName. Throws std::runtime_error naming the file
// that could not be written.
inline const QString kCollectionFileName = QStringLiteral("ui_resources.qrc");
void writeAssets(const QString& folder, const std::vector<Asset>& assets,
                 const QString& styleSheetPath);

}  // namespace kelo::uiassets
