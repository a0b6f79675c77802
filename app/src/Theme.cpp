#include "app/Theme.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QString>
#include <utility>

namespace kelo::app {

QPalette darkPalette() {
    const std::pair<QPalette::ColorRole, QColor> colours[] = {
        {QPalette::Window, QColor(25, 25, 25)},
        {QPalette::WindowText, QColor(255, 255, 255)},
        {QPalette::Base, QColor(25, 25, 25)},
        {QPalette::AlternateBase, QColor(53, 53, 53)},
        {QPalette::ToolTipBase, QColor(0, 0, 0)},
        {QPalette::ToolTipText, QColor(255, 255, 255)},
        {QPalette::Text, QColor(255, 255, 255)},
        {QPalette::Button, QColor(53, 53, 53)},
        {QPalette::ButtonText, QColor(255, 255, 255)},
        {QPalette::BrightText, QColor(255, 0, 0)},
        {QPalette::Link, QColor(42, 130, 218)},
        {QPalette::Highlight, QColor(242, 242, 242)},
        {QPalette::HighlightedText, QColor(0, 0, 0)},
    };
    QPalette palette;
    for (const auto& [role, colour] : colours) palette.setColor(role, colour);

    const QColor disabledText(169, 169, 169);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    return palette;
}

bool installStyleSheet(QApplication& application) {
    QFile file(QStringLiteral(":/style/styleSheet.css"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    application.setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

void applyTheme(QApplication& application) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(darkPalette());
    installStyleSheet(application);
}

}  // namespace kelo::app
