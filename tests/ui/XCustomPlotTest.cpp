// The plot every chart is drawn on: its height rule, its resize signal and
// the export of what it shows.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/XCustomPlot.h"

class XCustomPlotTest : public QObject {
    Q_OBJECT
private slots:
    void heightFollowsWidthUpTo600() {
        XCustomPlot plot;
        QVERIFY(plot.sizePolicy().hasHeightForWidth());
        QCOMPARE(plot.heightForWidth(250), 250);
        QCOMPARE(plot.heightForWidth(599), 599);
        QCOMPARE(plot.heightForWidth(600), 600);
        QCOMPARE(plot.heightForWidth(1500), 600);
    }

    void resizingTellsTheNewSize() {
        XCustomPlot plot;
        QSignalSpy resized(&plot, &XCustomPlot::Resized);
        plot.resize(320, 200);
        plot.show();
        QTRY_VERIFY(!resized.isEmpty());
        QCOMPARE(resized.last().at(0).toSize(), QSize(320, 200));
    }

    void exportsPngOrPdfByTheNameAndReportsAFileItCannotWrite() {
        QTemporaryDir folder;
        XCustomPlot plot;
        plot.resize(400, 300);
        plot.addGraph()->setData({400, 500, 600}, {1, 3, 2});
        plot.replot();

        const QString png = folder.filePath("spectrum.png");
        QVERIFY(plot.exportTo(png));
        QCOMPARE(QImage(png).size(), QSize(400, 300));

        const QString pdf = folder.filePath("spectrum.PDF");
        QVERIFY(plot.exportTo(pdf));
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(5), QByteArray("%PDF-"));

        QVERIFY(!plot.exportTo(folder.filePath("missing/spectrum.png")));
        // A folder in the way is left alone, and an earlier picture is
        // kept whole when an export fails.
        QVERIFY(QDir(folder.path()).mkdir("taken.png"));
        QVERIFY(!plot.exportTo(folder.filePath("taken.png")));
        QVERIFY(QFileInfo(folder.filePath("taken.png")).isDir());
        QVERIFY(QDir(folder.path()).mkdir("spectrum.png.part"));
        QVERIFY(!plot.exportTo(png));
        QCOMPARE(QImage(png).size(), QSize(400, 300));
    }
};

QTEST_MAIN(XCustomPlotTest)
#include "XCustomPlotTest.moc"
