#include "Branding.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include "Typeface.h"

namespace kelo::uiassets {

namespace {

const QColor kProductRed(0xaa, 0x00, 0x00);
const QColor kWordmarkWhite(255, 255, 255);
const QColor kSubtitleGrey(190, 190, 190);
const QString kCompanyName = QStringLiteral("Brevanta");
const QString kProgramName = QStringLiteral("KeloView");

QImage transparentImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Draws the mark into the square `box`, in units of its side.
void drawMark(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width(), box.height());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kProductRed);
    painter.drawEllipse(QPointF(0.5, 0.5), 0.48, 0.48);

    const QPen ray(kWordmarkWhite, 0.05, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(ray);
    painter.drawLine(QPointF(0.1, 0.6), QPointF(0.4, 0.47));
    for (const QPointF& end : {QPointF(0.88, 0.38), QPointF(0.9, 0.5), QPointF(0.88, 0.62)}) {
        painter.drawLine(QPointF(0.6, 0.5), end);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWordmarkWhite);
    painter.drawPolygon(QPolygonF({{0.5, 0.2}, {0.75, 0.7}, {0.25, 0.7}}));
    painter.restore();
}

void drawBannerBackground(QPainter& painter, const QRectF& area) {
    QLinearGradient shade(area.topLeft(), area.bottomLeft());
    shade.setColorAt(0.0, QColor(45, 45, 45));
    shade.setColorAt(1.0, QColor(15, 15, 15));
    painter.fillRect(area, shade);
}

void drawCentredText(QPainter& painter, const QRectF& line, const QString& text,
                     const QColor& colour, int largestPixelSize) {
    painter.setPen(colour);
    painter.setFont(boldFontFitting(text, largestPixelSize, line.width()));
    painter.drawText(line, Qt::AlignCenter, text);
}

}  // namespace

QImage productMark(int side) {
    QImage mark = transparentImage(side, side);
    QPainter painter(&mark);
    drawMark(painter, QRectF(0, 0, side, side));
    return mark;
}

QImage toolBarLogo() {
    constexpr int kWidth = 100;
    constexpr int kHeight = 30;
    constexpr int kMarkSide = 26;
    QImage logo = transparentImage(kWidth, kHeight);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double markTop = (kHeight - kMarkSide) / 2.0;
    drawMark(painter, QRectF(0, markTop, kMarkSide, kMarkSide));
    const QRectF wordmark(kMarkSide + 4, 0, kWidth - kMarkSide - 4, kHeight);
    painter.setPen(kWordmarkWhite);
    painter.setFont(boldFontFitting(kCompanyName, 18, wordmark.width()));
    painter.drawText(wordmark, Qt::AlignLeft | Qt::AlignVCenter, kCompanyName);
    return logo;
}

QImage sideBanner(const QImage& colourBand) {
    constexpr int kWidth = 200;
    constexpr int kHeight = 600;
    constexpr double kMargin = 20;
    QImage banner(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawBannerBackground(painter, banner.rect());

    const double markSide = 120;
    drawMark(painter, QRectF((kWidth - markSide) / 2, 70, markSide, markSide));
    const double textWidth = kWidth - 2 * kMargin;
    drawCentredText(painter, QRectF(kMargin, 220, textWidth, 50), kProgramName, kWordmarkWhite, 34);
    painter.fillRect(QRectF(50, 278, kWidth - 100, 3), kProductRed);
    drawCentredText(painter, QRectF(kMargin, 290, textWidth, 30), kCompanyName, kSubtitleGrey, 18);
    painter.drawImage(QRectF(kMargin, 540, textWidth, 8), colourBand);
    return banner;
}

}  // namespace kelo::uiassets
