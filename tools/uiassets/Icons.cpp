#include "Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <functional>

#include "Typeface.h"

namespace kelo::uiassets {

namespace {

enum class Look { Off, On };

struct Ink {
    QColor line;        // the frame of the glyph
    QColor accent;      // the part that carries the meaning
    QBrush accentFill;  // inside the accent: empty when Off, solid when On
};

const QColor kLightGrey(210, 210, 210);
const QColor kWhite(250, 250, 250);
const QColor kAccentRed(230, 40, 40);
constexpr double kStroke = 5.0;
constexpr double kThinStroke = 4.0;

Ink inkFor(Look look) {
    if (look == Look::Off) return {kLightGrey, kLightGrey, Qt::NoBrush};
    return {kWhite, kAccentRed, QBrush(kAccentRed)};
}

using Glyph = std::function<void(QPainter&, Look)>;

QPen strokePen(const QColor& colour, double width = kStroke) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Cuts a transparent gap so that an overlaid mark stays legible at small sizes.
void clearEllipse(QPainter& painter, QPointF centre, double radius) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

void drawArrowHead(QPainter& painter, QPointF tip, QPointF from, double size) {
    const QLineF shaft(tip, from);
    QLineF wing = shaft;
    wing.setLength(size);
    QLineF otherWing = wing;
    wing.setAngle(shaft.angle() + 40.0);
    otherWing.setAngle(shaft.angle() - 40.0);
    painter.drawLine(wing);
    painter.drawLine(otherWing);
}

void drawDoubleArrow(QPainter& painter, QPointF start, QPointF end) {
    constexpr double kHead = 10.0;
    painter.drawLine(start, end);
    drawArrowHead(painter, start, end, kHead);
    drawArrowHead(painter, end, start, kHead);
}

void drawAxes(QPainter& painter, const QColor& colour) {
    painter.setPen(strokePen(colour));
    painter.drawPolyline(QPolygonF({{8, 6}, {8, 56}, {58, 56}}));
}

QPolygonF boltOutline() {
    return QPolygonF({{28, 4}, {46, 4}, {37, 24}, {49, 24}, {21, 60}, {29, 34}, {17, 34}});
}

void drawBolt(QPainter& painter, const QColor& colour) {
    painter.setPen(strokePen(colour, kThinStroke));
    painter.setBrush(colour);
    painter.drawPolygon(boltOutline());
}

QPainterPath gearOutline(QPointF centre, double outerRadius) {
    constexpr int kTeeth = 8;
    const double rootRadius = outerRadius * 0.74;
    const double pitch = 360.0 / kTeeth;
    QPolygonF teeth;
    for (int tooth = 0; tooth < kTeeth; ++tooth) {
        const double middle = tooth * pitch;
        const double corners[][2] = {{middle - pitch / 2 + 4, rootRadius},
                                     {middle - pitch / 4 + 1, outerRadius},
                                     {middle + pitch / 4 - 1, outerRadius},
                                     {middle + pitch / 2 - 4, rootRadius}};
        for (const auto& [degrees, radius] : corners) {
            const double angle = qDegreesToRadians(degrees);
            teeth << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        }
    }
    QPainterPath gear;
    gear.addPolygon(teeth);
    gear.closeSubpath();
    const double holeRadius = outerRadius * 0.32;
    gear.addEllipse(centre, holeRadius, holeRadius);
    gear.setFillRule(Qt::OddEvenFill);
    return gear;
}

void drawGear(QPainter& painter, const QColor& colour, const QBrush& body, QPointF centre,
              double outerRadius) {
    painter.setPen(strokePen(colour, kThinStroke));
    painter.setBrush(body);
    painter.drawPath(gearOutline(centre, outerRadius));
}

void drawFloppy(QPainter& painter, const QColor& colour) {
    painter.setPen(strokePen(colour, kThinStroke));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(QPolygonF({{8, 8}, {46, 8}, {56, 18}, {56, 56}, {8, 56}}));
    painter.drawRect(QRectF(20, 8, 20, 13));
    painter.drawRect(QRectF(16, 35, 32, 21));
}

void drawBadge(QPainter& painter, Look look, const QString& letters) {
    const Ink ink = inkFor(look);
    painter.setPen(strokePen(ink.accent, kThinStroke));
    painter.setBrush(ink.accentFill);
    const QRectF frame(4, 13, 56, 38);
    painter.drawRoundedRect(frame, 9, 9);
    painter.setPen(ink.line);
    painter.setFont(boldFont(26));
    painter.drawText(frame, Qt::AlignCenter, letters);
}

// Something collected into a tray: the symbol above, the tray below.
enum class Collected { Dark, Reference, Bright };

void drawCollectedSymbol(QPainter& painter, const Ink& ink, Collected what) {
    const QPointF centre(32, 21);
    painter.setPen(strokePen(ink.accent, kThinStroke));
    painter.setBrush(ink.accentFill);
    switch (what) {
        case Collected::Dark: {
            QPainterPath moon;
            moon.addEllipse(centre, 16, 16);
            QPainterPath shadow;
            shadow.addEllipse(centre + QPointF(9, -7), 13, 13);
            painter.drawPath(moon.subtracted(shadow));
            break;
        }
        case Collected::Reference: {
            const QRectF card(18, 6, 28, 28);
            painter.drawRect(card);
            painter.setPen(strokePen(ink.line, kThinStroke));
            painter.drawLine(card.bottomLeft(), card.topRight());
            break;
        }
        case Collected::Bright:
            painter.drawEllipse(centre, 8, 8);
            for (int ray = 0; ray < 8; ++ray) {
                const QPointF direction = QLineF::fromPolar(1.0, ray * 45.0).p2();
                painter.drawLine(centre + direction * 12.5, centre + direction * 18.0);
            }
            break;
    }
}

void drawCollect(QPainter& painter, Look look, Collected what) {
    const Ink ink = inkFor(look);
    drawCollectedSymbol(painter, ink, what);
    painter.setPen(strokePen(ink.line));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{8, 44}, {8, 58}, {56, 58}, {56, 44}}));
    painter.drawPolyline(QPolygonF({{24, 45}, {32, 51}, {40, 45}}));
}

enum class FlashMode { Off, Auto, On };

void drawFlash(QPainter& painter, Look look, FlashMode mode) {
    const Ink ink = inkFor(look);
    switch (mode) {
        case FlashMode::On:
            drawBolt(painter, ink.accent);
            break;
        case FlashMode::Off: {
            drawBolt(painter, ink.accent);
            const QLineF slash(9, 9, 55, 55);
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Clear);
            painter.setPen(strokePen(Qt::black, 13));
            painter.drawLine(slash);
            painter.restore();
            painter.setPen(strokePen(ink.line));
            painter.drawLine(slash);
            break;
        }
        case FlashMode::Auto:
            painter.save();
            painter.translate(-8, 0);
            drawBolt(painter, ink.accent);
            painter.restore();
            clearEllipse(painter, QPointF(50, 47), 15);
            painter.setPen(ink.line);
            painter.setFont(boldFont(26));
            painter.drawText(QRectF(36, 32, 28, 32), Qt::AlignCenter, "A");
            break;
    }
}

enum class Scaling { Y, XY, Manual };

void drawScale(QPainter& painter, Look look, Scaling scaling) {
    const Ink ink = inkFor(look);
    drawAxes(painter, ink.line);
    painter.setPen(strokePen(ink.accent));
    switch (scaling) {
        case Scaling::Y:
            drawDoubleArrow(painter, {34, 8}, {34, 46});
            break;
        case Scaling::XY:
            drawDoubleArrow(painter, {18, 46}, {54, 10});
            break;
        case Scaling::Manual: {
            painter.setPen(QPen(ink.accent, 3, Qt::DashLine));
            const QRectF limits(20, 12, 32, 32);
            painter.drawRect(limits);
            painter.setPen(Qt::NoPen);
            painter.setBrush(ink.accent);
            for (const QPointF& corner :
                 {limits.topLeft(), limits.topRight(), limits.bottomLeft(), limits.bottomRight()}) {
                painter.drawRect(QRectF(corner - QPointF(5, 5), QSizeF(10, 10)));
            }
            break;
        }
    }
}

void drawTimeSeries(QPainter& painter, Look look) {
    const Ink ink = inkFor(look);
    drawAxes(painter, ink.line);
    const QPolygonF trend({{16, 42}, {26, 28}, {36, 36}, {46, 16}, {56, 24}});
    painter.setPen(strokePen(ink.accent, kThinStroke));
    painter.drawPolyline(trend);
    painter.setBrush(ink.accent);
    for (const QPointF& point : trend) painter.drawEllipse(point, 3.5, 3.5);
}

void drawTrigger(QPainter& painter, Look look) {
    const Ink ink = inkFor(look);
    painter.setPen(strokePen(ink.accent));
    painter.drawPolyline(QPolygonF({{4, 52}, {20, 52}, {20, 12}, {44, 12}, {44, 52}, {60, 52}}));
    drawArrowHead(painter, {20, 26}, {20, 52}, 10);
}

void drawSliders(QPainter& painter, Look look) {
    const Ink ink = inkFor(look);
    const double knobHeights[] = {40, 18, 32};
    for (int slider = 0; slider < 3; ++slider) {
        const double x = 14 + slider * 18;
        painter.setPen(strokePen(ink.line, kThinStroke));
        painter.drawLine(QPointF(x, 6), QPointF(x, 58));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink.accent);
        painter.drawEllipse(QPointF(x, knobHeights[slider]), 8, 8);
    }
}

void drawClock(QPainter& painter, Look look) {
    const Ink ink = inkFor(look);
    const QPointF centre(32, 32);
    painter.setPen(strokePen(ink.accent));
    painter.setBrush(ink.accentFill);
    painter.drawEllipse(centre, 26, 26);
    painter.setPen(strokePen(ink.line));
    painter.drawPolyline(QPolygonF({{32, 14}, centre, {45, 40}}));
}

void drawSaveOptions(QPainter& painter, Look look) {
    drawFloppy(painter, inkFor(look).line);
    const QPointF gearCentre(46, 46);
    clearEllipse(painter, gearCentre, 19);
    // Filled in both looks: an outlined gear this small blurs into a ring.
    const QColor gearColour = inkFor(look).accent;
    drawGear(painter, gearColour, gearColour, gearCentre, 15);
}

// Red, green and blue discs whose overlaps add up to white when On.
void drawColourDiscs(QPainter& painter, Look look) {
    const QPointF centres[] = {{32, 21}, {21, 40}, {43, 40}};
    const QColor colours[] = {QColor(230, 40, 40), QColor(40, 200, 60), QColor(50, 90, 240)};
    constexpr double kRadius = 16;
    if (look == Look::On) {
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Plus);
        painter.setPen(Qt::NoPen);
        for (int disc = 0; disc < 3; ++disc) {
            painter.setBrush(colours[disc]);
            painter.drawEllipse(centres[disc], kRadius, kRadius);
        }
        painter.restore();
    }
    painter.setPen(strokePen(inkFor(look).line, 3));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& centre : centres) painter.drawEllipse(centre, kRadius, kRadius);
}

void drawPlay(QPainter& painter, Look look) {
    const QColor colour = inkFor(look).line;
    painter.setPen(strokePen(colour, kThinStroke));
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF({{18, 10}, {18, 54}, {54, 32}}));
}

void drawStop(QPainter& painter, Look look) {
    const QColor colour = inkFor(look).line;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(13, 13, 38, 38), 5, 5);
}

void drawCamera(QPainter& painter, Look look) {
    const QColor colour = inkFor(look).line;
    painter.setPen(strokePen(colour));
    painter.drawRoundedRect(QRectF(5, 19, 54, 36), 6, 6);
    painter.drawPolyline(QPolygonF({{19, 19}, {24, 10}, {40, 10}, {45, 19}}));
    painter.drawEllipse(QPointF(32, 37), 10, 10);
}

void drawRecord(QPainter& painter, Look look) {
    painter.setPen(strokePen(inkFor(look).line, kThinStroke));
    painter.drawEllipse(QPointF(32, 32), 26, 26);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccentRed);
    painter.drawEllipse(QPointF(32, 32), 16, 16);
}

void drawHelp(QPainter& painter, Look look) {
    const QColor colour = inkFor(look).line;
    painter.setPen(strokePen(colour, kThinStroke));
    painter.drawEllipse(QPointF(32, 32), 27, 27);
    painter.setFont(boldFont(38));
    painter.drawText(QRectF(0, 0, kIconSize, kIconSize), Qt::AlignCenter, "?");
}

void drawSave(QPainter& painter, Look look) {
    drawFloppy(painter, inkFor(look).line);
}

void drawQuickSave(QPainter& painter, Look look) {
    const QColor colour = inkFor(look).line;
    drawFloppy(painter, colour);
    clearEllipse(painter, QPointF(48, 46), 18);
    painter.save();
    painter.translate(31, 27);
    painter.scale(0.6, 0.6);
    drawBolt(painter, colour);
    painter.restore();
}

void drawSettings(QPainter& painter, Look look) {
    const Ink ink = inkFor(look);
    drawGear(painter, ink.accent, ink.accentFill, {32, 32}, 28);
}

QImage iconImage(const Glyph& glyph, Look look) {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    glyph(painter, look);
    return image;
}

// An icon with its Off name and, for the checkable ones, its On name.
struct IconPair {
    QString offName;
    QString onName;
    Glyph glyph;
};

Glyph badge(const QString& letters) {
    return [letters](QPainter& painter, Look look) { drawBadge(painter, look, letters); };
}

Glyph collect(Collected what) {
    return [what](QPainter& painter, Look look) { drawCollect(painter, look, what); };
}

Glyph flash(FlashMode mode) {
    return [mode](QPainter& painter, Look look) { drawFlash(painter, look, mode); };
}

Glyph scale(Scaling scaling) {
    return [scaling](QPainter& painter, Look look) { drawScale(painter, look, scaling); };
}

std::vector<IconPair> iconCatalogue() {
    return {
        {"AEOff", "AEOn", badge("AE")},
        {"BrightCollect", "BrightCollectSelected", collect(Collected::Bright)},
        {"Color", "ColorON", drawColourDiscs},
        {"ControlTSOff", "ControlTSOn", drawClock},
        {"ControlsOff", "ControlsOn", drawSliders},
        {"DCoff", "DCon", badge("DC")},
        {"DarkCollect", "DarkCollectSelected", collect(Collected::Dark)},
        {"FlashAuto", "FlashAutoSelected", flash(FlashMode::Auto)},
        {"FlashOff", "FlashOffSelected", flash(FlashMode::Off)},
        {"FlashOn", "FlashOnSelected", flash(FlashMode::On)},
        {"Help", "", drawHelp},
        {"Play", "", drawPlay},
        {"QuickSave", "", drawQuickSave},
        {"RCoff", "RCon", badge("RC")},
        {"Record", "", drawRecord},
        {"RefCollect", "RefCollectEnabled", collect(Collected::Reference)},
        {"Save", "", drawSave},
        {"SaveOptsOff", "SaveOptsOn", drawSaveOptions},
        {"ScaleManual", "ScaleManualSeleceted", scale(Scaling::Manual)},
        {"ScaleXY", "ScaleXYRed", scale(Scaling::XY)},
        {"ScaleY", "ScaleYon", scale(Scaling::Y)},
        {"Settings_off", "Settings_on", drawSettings},
        {"Snap", "", drawCamera},
        {"Stop", "", drawStop},
        {"TimeSeriesOff", "TimeSeries", drawTimeSeries},
        {"TriggerOff", "Trigger", drawTrigger},
    };
}

}  // namespace

std::vector<NamedImage> drawIcons() {
    std::vector<NamedImage> icons;
    for (const IconPair& pair : iconCatalogue()) {
        icons.push_back({pair.offName, iconImage(pair.glyph, Look::Off)});
        if (!pair.onName.isEmpty()) icons.push_back({pair.onName, iconImage(pair.glyph, Look::On)});
    }
    return icons;
}

}  // namespace kelo::uiassets
