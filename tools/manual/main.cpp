// kelo_manual SOURCE_FOLDER IMAGE_FOLDER OUTPUT_PDF: the operator's manual
// as a PDF file, from the Markdown files of SOURCE_FOLDER (in the order of
// their names) and the pictures they refer to, found in IMAGE_FOLDER. The
// maker's mark on the title page is IMAGE_FOLDER/brevanta-mark.png, when
// there is one. Exit status 0 when the PDF was written; otherwise 1, with
// the file at fault named on standard error, and any earlier PDF kept.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <cstdio>

#include "ManualPrinter.h"
#include "ManualSource.h"

namespace {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

constexpr const char* kMarkFile = "brevanta-mark.png";

kelo::manual::TitlePage titlePage(const QString& imageFolder) {
    kelo::manual::TitlePage title;
    title.maker = "Brevanta Systems Pte Ltd";
    title.title = "Brevanta Kelo3 Spectrometer";
    title.subtitle = "Software Manual";
    title.product = "KeloView";
    title.version = KELO_VERSION;
    title.web = "https://www.brevanta.example";
    title.mail = "support@brevanta.example";
    const QString mark = QDir(imageFolder).filePath(kMarkFile);
    if (QFileInfo::exists(mark)) {
        QImageReader reader(mark);
        title.mark = reader.read();
        if (title.mark.isNull())
            throw kelo::manual::ManualError("cannot read image " + mark.toStdString() + ": " +
                                            reader.errorString().toStdString());
    }
    return title;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: kelo_manual SOURCE_FOLDER IMAGE_FOLDER OUTPUT_PDF\n");
        return kUsage;
    }
    // Text is laid out at 96 units per inch whatever the screen says; the
    // printer scales it to the PDF. Fonts need a platform, not a display.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    try {
        const kelo::manual::TitlePage title = titlePage(arguments.at(2));
        const kelo::manual::ManualSource source =
            kelo::manual::readManualSource(arguments.at(1), arguments.at(2));
        kelo::manual::printManual(source, title, arguments.at(3));
    } catch (const kelo::manual::ManualError& error) {
        std::fprintf(stderr, "kelo_manual: %s\n", error.what());
        return kFailure;
    }
    return kSuccess;
}
