// The manual's text and pictures as read from disk: the Markdown files of a
// folder, in the order of their names, and every picture they refer to.
#pragma once

#include <QImage>
#include <QMap>
#include <QString>
#include <stdexcept>

namespace kelo::manual {

// A file that could not be read or used; the message names it.
class ManualError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ManualSource {
    QString markdown;              // the files joined, each starting a new block
    QMap<QString, QImage> images;  // by the reference written in the text
};

// Reads every *.md file of `sourceFolder` and the pictures they refer to
// (`![caption](name.png)`), relative to `imageFolder`. Throws ManualError
// for a folder without Markdown files, an unreadable file or picture.
ManualSource readManualSource(const QString& sourceFolder, const QString& imageFolder);

}  // namespace kelo::manual
