// uiassets: draws the icons and computes the images of the user interface,
// and writes them with the resource collection file that lists them and the
// style sheet. Run at build time.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <exception>

#include "Assets.h"
#include "ColourMath.h"

namespace {

enum ExitStatus { kSuccess = 0, kFailure = 1 };

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a platform; the build machines may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription("Writes the icons, images and resource collection file.");
    parser.addHelpOption();
    const QCommandLineOption cmfOption("cmf", "CIE 1931 colour-matching table.", "file");
    const QCommandLineOption styleSheetOption("stylesheet", "Style sheet to list.", "file");
    parser.addOption(cmfOption);
    parser.addOption(styleSheetOption);
    parser.addPositionalArgument("folder", "Output folder.");
    parser.process(application);
    if (!parser.isSet(cmfOption) || !parser.isSet(styleSheetOption) ||
        parser.positionalArguments().size() != 1) {
        parser.showHelp(kFailure);
    }

    try {
        const kelo::uiassets::ColourMatchingTable table =
            kelo::uiassets::readColourMatchingTable(parser.value(cmfOption).toStdString());
        kelo::uiassets::writeAssets(parser.positionalArguments().front(),
                                    kelo::uiassets::makeAssets(table),
                                    QFileInfo(parser.value(styleSheetOption)).absoluteFilePath());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "uiassets: %s\n", error.what());
        return kFailure;
    }
    return kSuccess;
}
