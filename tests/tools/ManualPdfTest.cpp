// The operator's manual the build prints: a PDF of at least twelve pages
// that a PDF reader opens and renders, read with poppler's tools.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int kDeadlineMs = 60000;

struct Finished {
    bool ran = false;  // started and ended within the deadline
    int exitCode = -1;
    QString output;
    QString errors;
};

Finished runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    Finished finished;
    if (!process.waitForStarted(kDeadlineMs)) {
        finished.errors = program + " did not start: " + process.errorString();
        return finished;
    }
    finished.ran = process.waitForFinished(kDeadlineMs);
    finished.exitCode = process.exitCode();
    finished.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    finished.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return finished;
}

// The "Pages:" line of pdfinfo; 0 when there is none.
int pageCount(const QString& pdfinfoOutput) {
    static const QRegularExpression pages(R"(^Pages:\s+(\d+)\s*$)",
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(pdfinfoOutput);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool startsLikePng(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8);
}

}  // namespace

TEST(OperatorManual, HasTwelvePagesOrMoreAndItsFirstThreeRenderToPictures) {
    const QString manual = KELO_MANUAL_PDF;
    ASSERT_TRUE(QFileInfo(manual).isFile()) << manual.toStdString() << " was not built";

    const Finished info = runTool("pdfinfo", {manual});
    ASSERT_TRUE(info.ran) << info.errors.toStdString();
    ASSERT_EQ(info.exitCode, 0) << info.errors.toStdString();
    EXPECT_GE(pageCount(info.output), 12) << info.output.toStdString();

    QTemporaryDir pages;
    ASSERT_TRUE(pages.isValid());
    const Finished render = runTool(
        "pdftoppm", {"-png", "-r", "50", "-f", "1", "-l", "3", manual, pages.filePath("page")});
    ASSERT_TRUE(render.ran) << render.errors.toStdString();
    ASSERT_EQ(render.exitCode, 0) << render.errors.toStdString();
    const QFileInfoList pictures =
        QDir(pages.path()).entryInfoList({"page*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(pictures.size(), 3);
    for (const QFileInfo& picture : pictures) {
        EXPECT_GT(picture.size(), 0) << picture.fileName().toStdString();
        EXPECT_TRUE(startsLikePng(picture.filePath())) << picture.fileName().toStdString();
    }
}
