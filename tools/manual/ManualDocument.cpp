#include "ManualDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <array>
#include <vector>

namespace kelo::manual {

namespace {

const QColor kHeadingColour(20, 55, 100);
const QColor kRuleColour(150, 160, 175);
const QColor kTableHeaderColour(226, 232, 240);
const QColor kNoteColour(241, 245, 250);
const QColor kCodeColour(244, 244, 244);

constexpr double kBodyPoints = 10.0;
constexpr std::array<double, 4> kHeadingPoints{0.0, 20.0, 14.0, 11.5};
constexpr double kParagraphGap = 6.0 * kUnitsPerPoint;
constexpr double kListItemGap = 2.5 * kUnitsPerPoint;
// A picture takes at most this share of the text's height, so that it
// leaves room for its caption and never fills a page alone.
constexpr double kPictureHeightShare = 0.55;
// Far more moves than a manual needs; a bound all the same.
constexpr int kKeepPasses = 200;
// Tables up to this share of the text's height are kept on one page: a row
// whose cells differ in height may otherwise be cut between two pages.
constexpr double kTableKeepShare = 0.8;
const QString kCodeFamily = QStringLiteral("DejaVu Sans Mono");
// The Markdown's captions start with this; the figure number is put in.
const QString kCaptionMark = QStringLiteral("Figure: ");

// A picture's width: the Markdown title may give it as a share of the text
// width ("40%"); otherwise its own width, at most the text width.
double pictureWidth(const QTextImageFormat& format, const QImage& image, double textWidth) {
    static const QRegularExpression share(R"(^\s*(\d+(?:\.\d+)?)\s*%\s*$)");
    const QRegularExpressionMatch match =
        share.match(format.property(QTextFormat::ImageTitle).toString());
    if (match.hasMatch()) return textWidth * match.captured(1).toDouble() / 100.0;
    return std::min<double>(image.width(), textWidth);
}

bool holdsOnlyPictures(const QTextBlock& block) {
    const QString text = block.text();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar::ObjectReplacementCharacter;
    });
}

bool isCode(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    return block.isValid() && (format.hasProperty(QTextFormat::BlockCodeFence) ||
                               format.hasProperty(QTextFormat::BlockCodeLanguage));
}

bool isInTable(const QTextBlock& block) {
    return QTextCursor(block).currentTable() != nullptr;
}

// Applies `change` to the character format of every fragment of `block`
// for which it returns true. The fragments are listed first: a changed
// format may join a fragment to its neighbour.
template <typename Change>
void changeFragments(QTextDocument& document, const QTextBlock& block, Change change) {
    struct Span {
        int position;
        int length;
        QTextCharFormat format;
    };
    std::vector<Span> spans;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        spans.push_back(
            {it.fragment().position(), it.fragment().length(), it.fragment().charFormat()});
    for (Span& span : spans) {
        if (!change(span.format)) continue;
        QTextCursor cursor(&document);
        cursor.setPosition(span.position);
        cursor.setPosition(span.position + span.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(span.format);
    }
}

void setBlockFormat(const QTextBlock& block, const QTextBlockFormat& format) {
    QTextCursor(block).setBlockFormat(format);
}

void styleCell(QTextTableCell cell, bool header) {
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    format.setBottomBorder(header ? 1.5 : 0.75);
    format.setBottomBorderBrush(header ? kHeadingColour : kRuleColour);
    format.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    if (header) {
        format.setBackground(kTableHeaderColour);
        format.setFontWeight(QFont::Bold);
    }
    cell.setFormat(format);
}

void collectTables(QTextFrame* frame, std::vector<QTextTable*>& tables) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) tables.push_back(table);
        collectTables(child, tables);
    }
}

}  // namespace

void setUpPages(QTextDocument& document, const PageGeometry& geometry) {
    document.setPageSize(geometry.page);
    QTextFrameFormat page = document.rootFrame()->frameFormat();
    page.setLeftMargin(geometry.margins.left());
    page.setTopMargin(geometry.margins.top());
    page.setRightMargin(geometry.margins.right());
    page.setBottomMargin(geometry.margins.bottom());
    document.rootFrame()->setFrameFormat(page);
}

QFont bodyFont() {
    QFont font("DejaVu Sans");
    font.setPointSizeF(kBodyPoints);
    return font;
}

QColor headingColour() {
    return kHeadingColour;
}

QFont headingFont(int level) {
    QFont font("DejaVu Sans");
    font.setPointSizeF(kHeadingPoints[static_cast<std::size_t>(std::clamp(level, 1, 3))]);
    font.setBold(true);
    return font;
}

ManualDocument::ManualDocument(const ManualSource& source, const PageGeometry& geometry)
    : geometry(geometry) {
    text.setDefaultFont(bodyFont());
    text.setMarkdown(source.markdown, QTextDocument::MarkdownDialectGitHub);
    registerImages(source);
    setUpPages(text, geometry);
    styleBlocks();
    styleImages(source);
    styleTables();
    keepTogether();
}

void ManualDocument::registerImages(const ManualSource& source) {
    for (auto it = source.images.cbegin(); it != source.images.cend(); ++it)
        text.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
}

void ManualDocument::styleBlocks() {
    styleCode();
    std::array<int, 3> counters{0, 0, 0};
    int figures = 0;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level > 0) {
            QString number;
            if (level <= 2) {
                ++counters[static_cast<std::size_t>(level)];
                if (level == 1) counters[2] = 0;
                number = level == 1 ? QString::number(counters[1])
                                    : QString("%1.%2").arg(counters[1]).arg(counters[2]);
            }
            styleHeading(block, level, number);
        } else if (!isInTable(block)) {
            styleParagraph(block, figures);
        }
    }
}

void ManualDocument::styleParagraph(const QTextBlock& block, int& figures) {
    QTextBlockFormat format = block.blockFormat();
    if (isCode(block)) {
        // The importer ends a code block with an empty line of its own.
        const bool closing = block.text().isEmpty() && !isCode(block.next());
        if (!closing) format.setBackground(kCodeColour);
        format.setLeftMargin(4.0 * kUnitsPerMm);
        setBlockFormat(block, format);
        changeFragments(text, block, [](QTextCharFormat& characters) {
            characters.setFontPointSize(kBodyPoints - 1.5);
            return true;
        });
        return;
    }
    if (format.hasProperty(QTextFormat::BlockQuoteLevel)) {
        format.setBackground(kNoteColour);
        format.setLeftMargin(4.0 * kUnitsPerMm);
        format.setRightMargin(4.0 * kUnitsPerMm);
        format.setTopMargin(kParagraphGap / 2);
        format.setBottomMargin(kParagraphGap);
        setBlockFormat(block, format);
        return;
    }
    format.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
    format.setBottomMargin(block.textList() != nullptr ? kListItemGap : kParagraphGap);
    if (holdsOnlyPictures(block)) {
        format.setAlignment(Qt::AlignHCenter);
        format.setTopMargin(kParagraphGap);
        format.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
    }
    if (block.text().startsWith(kCaptionMark)) {
        QTextCursor caption(block);
        caption.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor,
                             kCaptionMark.size());
        caption.insertText(QString("Figure %1: ").arg(++figures));
        format.setAlignment(Qt::AlignHCenter);
        format.setBottomMargin(2 * kParagraphGap);
        changeFragments(text, block, [](QTextCharFormat& characters) {
            characters.setFontItalic(true);
            characters.setFontPointSize(kBodyPoints - 1.0);
            return true;
        });
    }
    setBlockFormat(block, format);
}

void ManualDocument::styleCode() {
    // The importer marks code with the platform's fixed font, which a
    // machine without a desktop may not have: the text's own family is
    // never named otherwise, so a named family is code.
    const QString platformFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next())
        changeFragments(text, block, [&](QTextCharFormat& characters) {
            const bool code =
                characters.fontFixedPitch() || (characters.hasProperty(QTextFormat::FontFamily) &&
                                                characters.fontFamily() == platformFixed);
            if (!code || characters.isImageFormat()) return false;
            characters.setFontFamily(kCodeFamily);
            characters.setFontFixedPitch(true);
            characters.setFontPointSize(kBodyPoints - 0.5);
            return true;
        });
}

void ManualDocument::styleHeading(QTextBlock& block, int level, const QString& number) {
    if (!number.isEmpty()) QTextCursor(block).insertText(number + QString(2, QChar(0x2002)));
    QTextBlockFormat format = block.blockFormat();
    format.setTopMargin(level == 1 ? 0.0 : (level == 2 ? 16.0 : 10.0) * kUnitsPerPoint);
    format.setBottomMargin((level == 1 ? 14.0 : 6.0) * kUnitsPerPoint);
    // Every chapter starts a page.
    if (level == 1 && block != text.begin())
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    setBlockFormat(block, format);
    const QFont font = headingFont(level);
    changeFragments(text, block, [&](QTextCharFormat& characters) {
        // The importer's relative heading size would override any size given.
        characters.clearProperty(QTextFormat::FontSizeAdjustment);
        characters.setFont(font, QTextCharFormat::FontPropertiesSpecifiedOnly);
        characters.setForeground(kHeadingColour);
        return true;
    });
}

void ManualDocument::styleImages(const ManualSource& source) {
    const double maxHeight = kPictureHeightShare * geometry.textHeight();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        changeFragments(text, block, [&](QTextCharFormat& characters) {
            if (!characters.isImageFormat()) return false;
            QTextImageFormat picture = characters.toImageFormat();
            const QImage image = source.images.value(picture.name());
            if (image.isNull())
                throw ManualError("the text refers to the picture " + picture.name().toStdString() +
                                  ", which was not read");
            double width = pictureWidth(picture, image, geometry.textWidth());
            double height = width * image.height() / image.width();
            if (height > maxHeight) {
                width *= maxHeight / height;
                height = maxHeight;
            }
            picture.setWidth(width);
            picture.setHeight(height);
            picture.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            characters = picture;
            return true;
        });
    }
}

void ManualDocument::styleTables() {
    std::vector<QTextTable*> tables;
    collectTables(text.rootFrame(), tables);
    for (QTextTable* table : tables) {
        QTextTableFormat format = table->format();
        // Rules between the rows only, drawn by the cells.
        format.setBorder(0.0);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(3.0 * kUnitsPerPoint);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setHeaderRowCount(1);
        format.setTopMargin(kParagraphGap / 2);
        format.setBottomMargin(kParagraphGap * 1.5);
        table->setFormat(format);
        for (int row = 0; row < table->rows(); ++row)
            for (int column = 0; column < table->columns(); ++column)
                styleCell(table->cellAt(row, column), row == 0);
    }
}

QRectF ManualDocument::linesOf(const QTextBlock& block) const {
    const QTextBlock same = laidOut->findBlockByNumber(block.blockNumber());
    const QRectF bounds = laidOut->documentLayout()->blockBoundingRect(same);
    const QTextLayout* layout = same.layout();
    if (layout == nullptr || layout->lineCount() == 0) return bounds;
    // A line that did not fit on its page was moved to the next one; the
    // block's own bounds still start where the block did.
    const QTextLine first = layout->lineAt(0);
    const QTextLine last = layout->lineAt(layout->lineCount() - 1);
    return QRectF(bounds.left(), bounds.top() + first.y(), bounds.width(),
                  last.y() + last.height() - first.y());
}

int ManualDocument::pageOf(const QTextBlock& block) const {
    return static_cast<int>(linesOf(block).top() / geometry.page.height());
}

void ManualDocument::keepTogether() {
    std::vector<QTextTable*> tables;
    collectTables(text.rootFrame(), tables);
    // One move a pass, and a new layout after it: a move shifts everything
    // that follows.
    for (int pass = 0; pass < kKeepPasses; ++pass) {
        relayout();
        const bool moved =
            std::any_of(tables.begin(), tables.end(),
                        [this](QTextTable* table) { return keepTableTogether(*table); }) ||
            moveFirstSeparated();
        if (!moved) break;
    }
    relayout();
}

bool ManualDocument::moveFirstSeparated() {
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next())
        if (keepWithNext(block)) return true;
    return false;
}

bool ManualDocument::keepWithNext(const QTextBlock& block) {
    const QTextBlock next = block.next();
    if (!next.isValid()) return false;
    const bool heading = block.blockFormat().headingLevel() > 1;
    const bool captioned = holdsOnlyPictures(block) && next.text().startsWith("Figure ");
    const bool introducesCode = !isCode(block) && isCode(next) && block.text().endsWith(':');
    if (!heading && !captioned && !introducesCode) return false;
    if (pageOf(block) == pageOf(next)) return false;
    return startPageAt(block);
}

bool ManualDocument::startPageAt(QTextBlock block) {
    while (block.previous().isValid() && block.previous().blockFormat().headingLevel() > 0)
        block = block.previous();
    QTextBlockFormat format = block.blockFormat();
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return false;
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    setBlockFormat(block, format);
    return true;
}

bool ManualDocument::keepTableTogether(QTextTable& table) {
    QTextTableFormat format = table.format();
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return false;
    const QTextBlock first = table.firstCursorPosition().block();
    const QTextBlock last = table.lastCursorPosition().block();
    const int pagesCrossed = pageOf(last) - pageOf(first);
    if (pagesCrossed == 0) return false;
    // A long table may run on; a short one is not cut. Its height leaves out
    // the margins between the pages it crosses.
    const double height = linesOf(last).bottom() - linesOf(first).top() -
                          pagesCrossed * (geometry.margins.top() + geometry.margins.bottom());
    if (height > kTableKeepShare * geometry.textHeight()) return false;
    // The heading that introduces the table moves with it.
    const QTextBlock before = first.previous();
    if (before.isValid() && before.blockFormat().headingLevel() > 0) return startPageAt(before);
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table.setFormat(format);
    return true;
}

void ManualDocument::relayout() {
    // A fresh copy is laid out whole: the layout of an edited document is
    // redone piecemeal and can fall out of step with it after a table.
    laidOut.reset(text.clone());
}

std::vector<Heading> ManualDocument::headings() const {
    std::vector<Heading> found;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2) continue;
        const QString line = block.text();
        const int gap = line.indexOf(QChar(0x2002));
        Heading heading;
        heading.level = level;
        heading.number = line.left(gap);
        heading.text = line.mid(gap).trimmed();
        heading.page = pageOf(block);
        found.push_back(heading);
    }
    return found;
}

}  // namespace kelo::manual
