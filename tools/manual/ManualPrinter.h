// The manual as a PDF file: a title page, the contents with page numbers,
// then the body, every page after the title numbered in its footer.
#pragma once

#include <QImage>
#include <QString>

#include "ManualSource.h"

namespace kelo::manual {

struct TitlePage {
    QString maker;  // "Brevanta Systems Pte Ltd"
    QString title;  // the instrument's manual
    QString subtitle;
    QString product;  // the program's name
    QString version;
    QString web;
    QString mail;
    QImage mark;  // the maker's mark; none when null
};

// Writes the manual to `outputPdf` through a temporary file that replaces it
// only when complete. Throws ManualError naming the file that could not be
// written.
void printManual(const ManualSource& source, const TitlePage& title, const QString& outputPdf);

}  // namespace kelo::manual
