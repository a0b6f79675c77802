// The recording dialog: its starting values, the totals and progress of a
// recording, the base path it fixes at Start and the signals it hands on.
#include <QComboBox>
#include <QFileDialog>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "ui/formRecording.h"

namespace {

template <typename T>
T* part(formRecording& form, const char* name) {
    T* widget = form.findChild<T*>(name);
    if (widget == nullptr) qFatal("no %s in the recording form", name);
    return widget;
}

double lcd(formRecording& form, const char* name) {
    return part<QLCDNumber>(form, name)->value();
}

int progress(formRecording& form) {
    return part<QProgressBar>(form, "progressBar")->value();
}

void setFrames(formRecording& form, int samples, int every) {
    part<QSpinBox>(form, "spinBoxNumFrames")->setValue(samples);
    part<QSpinBox>(form, "spinBoxSkipFrames")->setValue(every);
}

}  // namespace

class FormRecordingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        // A user without a user-dirs file keeps Documents under the home.
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    }

    void startsIdleInTheDocumentsFolderWithTenSamplesOfEveryFrame() {
        formRecording form;
        QCOMPARE(part<QLineEdit>(form, "lineEditFolder")->text(), home.path() + "/Documents");
        QCOMPARE(part<QLineEdit>(form, "lineEditRecName")->text(), QString("Recording"));
        QComboBox* format = part<QComboBox>(form, "comboBoxFileExt");
        QCOMPARE(format->currentText(), QString(".txt"));
        QCOMPARE(format->itemText(1), QString(".csv"));
        QSpinBox* samples = part<QSpinBox>(form, "spinBoxNumFrames");
        QCOMPARE(samples->minimum(), -1);
        QCOMPARE(samples->maximum(), 2000000);
        QSpinBox* every = part<QSpinBox>(form, "spinBoxSkipFrames");
        QCOMPARE(every->minimum(), 1);
        QCOMPARE(every->maximum(), 10000);
        QCOMPARE(form.numberOfFrames(), 10);
        QCOMPARE(form.skipFrames(), 1);
        QCOMPARE(form.basePath(), std::string());
        QCOMPARE(part<QLabel>(form, "labelMessage")->text(),
                 QString("Enter parameters and press start"));
        QVERIFY(part<QPushButton>(form, "pushButtonAbort")->isEnabled());
    }

    void tenSamplesEveryThirdFrameCount30FramesAndFrame15IsHalfWay() {
        formRecording form;
        setFrames(form, 10, 3);
        QCOMPARE(form.numberOfFrames(), 10);
        QCOMPARE(form.skipFrames(), 3);
        part<QPushButton>(form, "pushButtonStart")->click();
        QCOMPARE(lcd(form, "lcdNumberTotFrames"), 30.0);
        QCOMPARE(lcd(form, "lcdNumberCapFrames"), 10.0);

        form.updateDataUi(12.5, 15, 5);
        QCOMPARE(progress(form), 50);
        QCOMPARE(lcd(form, "lcdNumberFrameRate"), 12.5);
        QCOMPARE(lcd(form, "lcdNumberFID"), 15.0);
        QCOMPARE(lcd(form, "lcdNumberCaptureID"), 5.0);
    }

    void totalsFollowTheBoxesBeforeStart() {
        formRecording form;
        part<QSpinBox>(form, "spinBoxSkipFrames")->setValue(4);
        QCOMPARE(lcd(form, "lcdNumberTotFrames"), 40.0);
        QCOMPARE(lcd(form, "lcdNumberCapFrames"), 10.0);
        part<QSpinBox>(form, "spinBoxNumFrames")->setValue(7);
        QCOMPARE(lcd(form, "lcdNumberTotFrames"), 28.0);
        QCOMPARE(lcd(form, "lcdNumberCapFrames"), 7.0);
    }

    void noOrEndlessSamplesLeaveTheProgressAtZero_data() {
        QTest::addColumn<int>("samples");
        QTest::newRow("no samples") << 0;
        QTest::newRow("until stopped") << -1;
    }
    void noOrEndlessSamplesLeaveTheProgressAtZero() {
        QFETCH(int, samples);
        formRecording form;
        setFrames(form, samples, 3);
        part<QPushButton>(form, "pushButtonStart")->click();
        form.updateDataUi(10.0, 15, 5);
        QCOMPARE(progress(form), 0);
    }

    void theLargestRecordingCountsBeyondTwoBillionFrames() {
        formRecording form;
        setFrames(form, 2000000, 10000);
        QCOMPARE(lcd(form, "lcdNumberTotFrames"), 2e10);
        form.updateDataUi(30.0, 1000000000, 100000);
        QCOMPARE(progress(form), 5);
    }

    void startFixesTheBasePathJoinedBySlash_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typed folder") << "/data/runs"
                                      << "/data/runs/Leaf";
        QTest::newRow("picked folder") << "/data/runs/"
                                       << "/data/runs/Leaf";
        QTest::newRow("no folder") << ""
                                   << "Leaf";
    }
    void startFixesTheBasePathJoinedBySlash() {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        formRecording form;
        part<QLineEdit>(form, "lineEditFolder")->setText(folder);
        part<QLineEdit>(form, "lineEditRecName")->setText("Leaf");
        QCOMPARE(form.basePath(), std::string());
        part<QPushButton>(form, "pushButtonStart")->click();
        QCOMPARE(QString::fromStdString(form.basePath()), expected);
    }

    void startAnnouncesTheRecordingInTheChosenFormat() {
        formRecording form;
        QSignalSpy started(&form, &formRecording::startRecording);
        part<QPushButton>(form, "pushButtonStart")->click();
        QCOMPARE(started.count(), 1);
        QVERIFY(!form.isCsv());
        QCOMPARE(part<QLabel>(form, "labelMessage")->text(), QString("Recording now"));

        part<QComboBox>(form, "comboBoxFileExt")->setCurrentIndex(1);
        part<QPushButton>(form, "pushButtonStart")->click();
        QCOMPARE(started.count(), 2);
        QVERIFY(form.isCsv());
    }

    void abortAndTheMainWindowsControlsReachTheForm() {
        formRecording form;
        QSignalSpy stopped(&form, &formRecording::stopRecording);
        part<QPushButton>(form, "pushButtonAbort")->click();
        QCOMPARE(stopped.count(), 1);
        form.enablePushButtonAbort(false);
        QVERIFY(!part<QPushButton>(form, "pushButtonAbort")->isEnabled());
        form.setProgressBar(42.9);
        QCOMPARE(progress(form), 42);
        form.setMessageLabel("PostProcessing done. Ready for next run");
        QCOMPARE(part<QLabel>(form, "labelMessage")->text(),
                 QString("PostProcessing done. Ready for next run"));
    }

    void pickingAFolderShowsItWithATrailingSlash() {
        QTemporaryDir picked;
        formRecording form;
        bool nameReadOnly = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            poll.stop();
            const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
            nameReadOnly = edits.size() == 1 && edits.first()->isReadOnly();
            dialog->setDirectory(picked.path());
            static_cast<QDialog*>(dialog)->accept();
        });
        poll.start();
        part<QToolButton>(form, "toolButtonSelectFolder")->click();
        QCOMPARE(part<QLineEdit>(form, "lineEditFolder")->text(),
                 QDir(picked.path()).absolutePath() + "/");
        QVERIFY(nameReadOnly);
    }

private:
    QTemporaryDir home;
};

QTEST_MAIN(FormRecordingTest)
#include "FormRecordingTest.moc"
