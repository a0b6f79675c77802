// The plot-limits dialog: what OK hands to the plot, and that Cancel hands
// nothing.
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "ui/Dialog.h"

namespace {

QList<double> limitsOf(const QList<QVariant>& emission) {
    QList<double> limits;
    for (const QVariant& value : emission) limits << value.toDouble();
    return limits;
}

void typeInto(QAbstractSpinBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
}

}  // namespace

class DialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void okWithTheDefaultsEmits0To1020AndNoHeight() {
        Dialog dialog;
        QSignalSpy limits(&dialog, &Dialog::setManualScale);
        dialog.show();
        dialog.findChild<QPushButton*>("pushButtonOk")->click();
        QCOMPARE(limits.count(), 1);
        QCOMPARE(limitsOf(limits.first()), (QList<double>{0, 1020, 0, 0}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void okPassesTypedLimitsAsEnteredEvenAMinimumAboveItsMaximum() {
        Dialog dialog;
        QSignalSpy limits(&dialog, &Dialog::setManualScale);
        dialog.show();
        typeInto(dialog.findChild<QSpinBox*>("dSBXmin"), "700");
        typeInto(dialog.findChild<QSpinBox*>("dSBXmax"), "400");
        typeInto(dialog.findChild<QDoubleSpinBox*>("dSBYmin"), "5.5");
        typeInto(dialog.findChild<QDoubleSpinBox*>("dSBYmax"), "1.25");
        dialog.findChild<QPushButton*>("pushButtonOk")->click();
        QCOMPARE(limits.count(), 1);
        QCOMPARE(limitsOf(limits.first()), (QList<double>{700, 400, 5.5, 1.25}));
    }

    void presetsAreClampedToTheBoxesRangesAndFourDecimals() {
        Dialog dialog;
        QSignalSpy limits(&dialog, &Dialog::setManualScale);
        dialog.setLimits(2500, -30, 20000.0, 0.123456);
        dialog.findChild<QPushButton*>("pushButtonOk")->click();
        QCOMPARE(limitsOf(limits.first()), (QList<double>{2000, 0, 10000, 0.1235}));
    }

    void cancelClosesWithoutEmitting() {
        Dialog dialog;
        QSignalSpy limits(&dialog, &Dialog::setManualScale);
        dialog.show();
        dialog.setLimits(420, 680, 1, 2);
        dialog.findChild<QPushButton*>("pushButtonCancel")->click();
        QCOMPARE(limits.count(), 0);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
