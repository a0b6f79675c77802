#include "ManualSource.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>

namespace kelo::manual {

namespace {

[[noreturn]] void failWith(const QString& message) {
    throw ManualError(message.toStdString());
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failWith("cannot read " + path + ": " + file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        failWith("cannot read " + path + ": " + file.errorString());
    return QString::fromUtf8(bytes);
}

// The targets of the text's image references, in order.
QStringList imageReferences(const QString& markdown) {
    static const QRegularExpression image(
        R"re(!\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\))re");
    QStringList targets;
    for (auto match = image.globalMatch(markdown); match.hasNext();)
        targets << match.next().captured(1);
    return targets;
}

QImage readImage(const QString& path, const QString& referringFile) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        failWith("cannot read image " + path + " (referred to in " + referringFile +
                 "): " + reader.errorString());
    return image;
}

}  // namespace

ManualSource readManualSource(const QString& sourceFolder, const QString& imageFolder) {
    const QDir source(sourceFolder);
    if (!source.exists()) failWith("cannot read " + sourceFolder + ": no such folder");
    const QStringList names = source.entryList({"*.md"}, QDir::Files, QDir::Name);
    if (names.isEmpty()) failWith("no Markdown files (*.md) in " + sourceFolder);

    ManualSource manual;
    const QDir images(imageFolder);
    for (const QString& name : names) {
        const QString path = source.filePath(name);
        const QString text = readText(path);
        for (const QString& reference : imageReferences(text))
            if (!manual.images.contains(reference))
                manual.images.insert(reference, readImage(images.filePath(reference), path));
        // A blank line keeps the last block of one file apart from the first
        // of the next.
        manual.markdown += text + "\n\n";
    }
    return manual;
}

}  // namespace kelo::manual
