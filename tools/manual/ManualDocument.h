// The manual's body as a paginated text document: the Markdown with its
// pictures, numbered headings and figures, the typography of a printed
// manual, and what belongs together kept on one page: a heading and the
// text after it, a picture and its caption, a short table.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextDocument>
#include <memory>
#include <vector>

#include "ManualSource.h"
#include "PageGeometry.h"

class QTextBlock;
class QTextTable;

namespace kelo::manual {

struct Heading {
    int level = 1;  // 1 or 2
    QString number;
    QString text;  // without the number
    int page = 0;  // 0 for the first page of the body
};

// Paginates `document` on the page, with the margins of every page.
void setUpPages(QTextDocument& document, const PageGeometry& geometry);

// The typefaces and the heading colour of the whole manual.
QFont bodyFont();
QFont headingFont(int level);
QColor headingColour();

class ManualDocument {
public:
    // Throws ManualError when the text refers to a picture `source` lacks.
    ManualDocument(const ManualSource& source, const PageGeometry& geometry);
    ManualDocument(const ManualDocument&) = delete;
    ManualDocument& operator=(const ManualDocument&) = delete;

    // The document to print, laid out.
    QTextDocument& document() { return *laidOut; }
    int pageCount() const { return laidOut->pageCount(); }
    // The numbered headings (levels 1 and 2) and their pages.
    std::vector<Heading> headings() const;

private:
    void registerImages(const ManualSource& source);
    void styleCode();
    void styleBlocks();
    // `figures` counts the captions numbered so far.
    void styleParagraph(const QTextBlock& block, int& figures);
    void styleHeading(QTextBlock& block, int level, const QString& number);
    void styleImages(const ManualSource& source);
    void styleTables();
    // Moves a heading that ends a page, a picture cut from its caption, a
    // sentence cut from the example it introduces and a short table cut in
    // two to the next page.
    void keepTogether();
    bool moveFirstSeparated();
    // True when it moved `block` or `table`.
    bool keepWithNext(const QTextBlock& block);
    bool keepTableTogether(QTextTable& table);
    // Starts a page with `block` and the headings right above it; false
    // when they start one already.
    bool startPageAt(QTextBlock block);
    // Where the lines of `block` of the styled document lie in the laid-out
    // one.
    QRectF linesOf(const QTextBlock& block) const;
    int pageOf(const QTextBlock& block) const;
    void relayout();

    PageGeometry geometry;
    QTextDocument text;  // styled here
    std::unique_ptr<QTextDocument> laidOut;
};

}  // namespace kelo::manual
