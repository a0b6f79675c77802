#include "ManualPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextCursor>
#include <filesystem>

#include "ManualDocument.h"
#include "config/AtomicFile.h"

namespace kelo::manual {

namespace {

const QColor kBandColour(25, 25, 25);  // the window's own ground
const QColor kBrandRed(170, 0, 0);
const QColor kQuietText(90, 90, 90);
const QColor kRuleColour(150, 160, 175);

constexpr double kTitleBandMm = 62.0;
constexpr double kSpectrumStripMm = 3.0;
constexpr double kMarkMm = 26.0;
constexpr double kFooterGapMm = 9.0;

[[noreturn]] void failWith(const QString& message) {
    throw ManualError(message.toStdString());
}

double mm(double millimetres) {
    return millimetres * kUnitsPerMm;
}

// A font for drawing straight onto the page: sized in layout units, so that
// the scale from layout units to the PDF's resolution applies once.
QFont pageFont(double points, bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(qRound(points * kUnitsPerPoint));
    font.setBold(bold);
    return font;
}

// The contents: chapters and their sections with the page each starts on.
void writeContents(QTextDocument& contents, const std::vector<Heading>& headings, int firstBodyPage,
                   const PageGeometry& geometry) {
    contents.clear();
    contents.setDefaultFont(bodyFont());
    setUpPages(contents, geometry);
    QTextCursor cursor(&contents);
    QTextBlockFormat titleBlock;
    titleBlock.setBottomMargin(14.0 * kUnitsPerPoint);
    QTextCharFormat titleCharacters;
    titleCharacters.setFont(headingFont(1));
    titleCharacters.setForeground(headingColour());
    cursor.setBlockFormat(titleBlock);
    cursor.setCharFormat(titleCharacters);
    cursor.insertText("Contents");
    for (const Heading& heading : headings) {
        const bool chapter = heading.level == 1;
        const double indent = chapter ? 0.0 : mm(8.0);
        QTextBlockFormat entry;
        entry.setLeftMargin(indent);
        entry.setTopMargin((chapter ? 7.0 : 1.5) * kUnitsPerPoint);
        entry.setTabPositions(
            {QTextOption::Tab(geometry.textWidth() - indent - 1.0, QTextOption::RightTab)});
        QTextCharFormat characters;
        characters.setFont(bodyFont());
        characters.setFontWeight(chapter ? QFont::Bold : QFont::Normal);
        cursor.insertBlock(entry, characters);
        cursor.insertText(heading.number + "  " + heading.text + "\t" +
                          QString::number(firstBodyPage + heading.page));
    }
}

void drawDocumentPage(QPainter& painter, QTextDocument& document, int index,
                      const PageGeometry& geometry) {
    const QRectF view(0.0, index * geometry.page.height(), geometry.page.width(),
                      geometry.page.height());
    painter.save();
    painter.translate(0.0, -view.top());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

void drawFooter(QPainter& painter, const PageGeometry& geometry, const QString& label, int page,
                int pages) {
    const double left = geometry.margins.left();
    const double width = geometry.textWidth();
    const double top = geometry.page.height() - geometry.margins.bottom() + mm(kFooterGapMm);
    painter.save();
    painter.setPen(QPen(kRuleColour, 0.75));
    painter.drawLine(QPointF(left, top), QPointF(left + width, top));
    painter.setPen(kQuietText);
    painter.setFont(pageFont(8.0, false));
    const QRectF line(left, top + mm(1.5), width, mm(6.0));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, label);
    painter.drawText(line, Qt::AlignRight | Qt::AlignTop,
                     QString("Page %1 of %2").arg(page).arg(pages));
    painter.restore();
}

// The visible colours from violet to deep red, as the spectrum plot shows
// them behind the curve.
QLinearGradient spectrumGradient(double left, double right) {
    QLinearGradient gradient(left, 0.0, right, 0.0);
    gradient.setColorAt(0.00, QColor(60, 0, 90));
    gradient.setColorAt(0.15, QColor(70, 0, 200));
    gradient.setColorAt(0.30, QColor(0, 90, 255));
    gradient.setColorAt(0.42, QColor(0, 200, 200));
    gradient.setColorAt(0.52, QColor(0, 200, 0));
    gradient.setColorAt(0.65, QColor(230, 230, 0));
    gradient.setColorAt(0.75, QColor(255, 140, 0));
    gradient.setColorAt(0.87, QColor(230, 0, 0));
    gradient.setColorAt(1.00, QColor(90, 0, 0));
    return gradient;
}

void drawTitlePage(QPainter& painter, const TitlePage& title, const PageGeometry& geometry) {
    const double width = geometry.page.width();
    const double left = geometry.margins.left();
    const double textWidth = geometry.textWidth();
    painter.save();
    painter.fillRect(QRectF(0.0, 0.0, width, mm(kTitleBandMm)), kBandColour);
    painter.fillRect(QRectF(0.0, mm(kTitleBandMm), width, mm(kSpectrumStripMm)),
                     spectrumGradient(0.0, width));
    double makerLeft = left;
    const QRectF markBox(left, mm((kTitleBandMm - kMarkMm) / 2.0), mm(kMarkMm), mm(kMarkMm));
    if (!title.mark.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(markBox, title.mark);
        makerLeft = markBox.right() + mm(7.0);
    }
    painter.setPen(Qt::white);
    painter.setFont(pageFont(20.0, true));
    painter.drawText(QRectF(makerLeft, markBox.top(), width - makerLeft, markBox.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, title.maker);

    double y = mm(105.0);
    const auto line = [&](const QString& text, double points, bool bold, const QColor& colour,
                          double gapAfterMm) {
        painter.setPen(colour);
        painter.setFont(pageFont(points, bold));
        const double height = points * kUnitsPerPoint * 1.4;
        painter.drawText(QRectF(left, y, textWidth, height), Qt::AlignLeft | Qt::AlignTop, text);
        y += height + mm(gapAfterMm);
    };
    line(title.title, 26.0, true, headingColour(), 1.0);
    line(title.subtitle, 16.0, false, kQuietText, 14.0);
    painter.fillRect(QRectF(left, y, mm(40.0), mm(1.2)), kBrandRed);
    y += mm(8.0);
    line(title.product, 40.0, true, kBrandRed, 2.0);
    line("Software version " + title.version, 14.0, false, Qt::black, 0.0);

    y = geometry.page.height() - mm(45.0);
    line(title.maker, 10.0, true, Qt::black, 1.0);
    line(title.web, 10.0, false, kQuietText, 0.5);
    line(title.mail, 10.0, false, kQuietText, 0.0);
    painter.restore();
}

}  // namespace

void printManual(const ManualSource& source, const TitlePage& title, const QString& outputPdf) {
    const PageGeometry geometry;
    ManualDocument body(source, geometry);
    const std::vector<Heading> headings = body.headings();

    // The contents come between the title and the body; their own length
    // decides where the body starts.
    QTextDocument contents;
    int contentsPages = 1;
    writeContents(contents, headings, 2 + contentsPages, geometry);
    if (contents.pageCount() != contentsPages) {
        contentsPages = contents.pageCount();
        writeContents(contents, headings, 2 + contentsPages, geometry);
    }
    const int pages = 1 + contentsPages + body.pageCount();
    const QString footer = title.product + " " + title.version + " \u2014 " + title.subtitle;

    const QString path = QFileInfo(outputPdf).absoluteFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        failWith("cannot write " + path + ": its folder cannot be created");
    // A folder, a device or a pipe in the place of the manual is left alone.
    const std::string problem =
        kelo::regularFileProblem(std::filesystem::u8path(path.toStdString()));
    if (!problem.empty()) failWith(path + " " + QString::fromStdString(problem));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        failWith("cannot write " + path + ": " + file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(title.title + " \u2014 " + title.subtitle);
        writer.setCreator(title.product + " " + title.version);
        QPainter painter;
        if (!painter.begin(&writer)) failWith("cannot write " + path + ": no PDF painter");
        painter.scale(writer.logicalDpiX() / kUnitsPerInch, writer.logicalDpiY() / kUnitsPerInch);
        drawTitlePage(painter, title, geometry);
        int page = 1;
        for (int index = 0; index < contentsPages; ++index) {
            writer.newPage();
            drawDocumentPage(painter, contents, index, geometry);
            drawFooter(painter, geometry, footer, ++page, pages);
        }
        for (int index = 0; index < body.pageCount(); ++index) {
            writer.newPage();
            drawDocumentPage(painter, body.document(), index, geometry);
            drawFooter(painter, geometry, footer, ++page, pages);
        }
        if (!painter.end()) failWith("cannot write " + path + ": the PDF could not be finished");
    }
    // Only now does the new file take the old one's place.
    if (!file.commit()) failWith("cannot write " + path + ": " + file.errorString());
}

}  // namespace kelo::manual
