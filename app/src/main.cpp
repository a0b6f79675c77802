// KeloViewApp: the operator's application for the Kelo3 spectrometer.
#include <QApplication>
#include <iostream>
#include <memory>

#include "LiveDemo.h"
#include "app/MainWindow.h"
#include "app/Theme.h"

int main(int argc, char** argv) {
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication application(argc, argv);
    // Where the operator's choices are remembered.
    QApplication::setOrganizationName("Brevanta");
    QApplication::setApplicationName("KeloView");
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    kelo::app::applyTheme(application);

    QString error;
    const std::optional<kelo::app::LiveDemoOptions> demo =
        kelo::app::parseLiveDemo(QApplication::arguments().mid(1), error);
    if (!error.isEmpty()) {
        std::cerr << "KeloViewApp: " << error.toStdString() << "\n"
                  << kelo::app::kLiveDemoUsage << "\n";
        return 2;
    }

    MainWindow window;
    window.showMaximized();
    // The operator cancelled: nothing is written.
    if (!window.initialise()) return 0;
    if (demo) (new kelo::app::LiveDemo(window, *demo))->start();
    return QApplication::exec();
}
