#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

#include "app/Theme.h"
#include "ui_mainwindow.h"

namespace {

struct NamedClass {
    const char* name;
    const char* className;
};

// Every named object of the form, in the order the panel reads.
const NamedClass kFormObjects[] = {
    {"centralwidget", "QWidget"},
    {"centralLayout", "QVBoxLayout"},
    {"splitterDock", "QSplitter"},
    {"settingsFrame", "QFrame"},
    {"settingsLayout", "QVBoxLayout"},
    {"title", "QFrame"},
    {"titleLayout", "QHBoxLayout"},
    {"label_32", "QLabel"},
    {"tabWidgetControls", "QTabWidget"},
    {"tabControls", "QWidget"},
    {"controlsLayout", "QVBoxLayout"},
    {"label_47", "QLabel"},
    {"controlsGrid", "QGridLayout"},
    {"labelAveragesCaption", "QLabel"},
    {"spinBoxAverages", "QSpinBox"},
    {"labelGainCaption", "QLabel"},
    {"spinBoxGain", "QSpinBox"},
    {"labelIntTimeCaption", "QLabel"},
    {"doubleSpinBoxExpTime", "QDoubleSpinBox"},
    {"labelAEMinCaption", "QLabel"},
    {"doubleSpinBoxAEMin", "QDoubleSpinBox"},
    {"labelAEMaxCaption", "QLabel"},
    {"doubleSpinBoxAEMax", "QDoubleSpinBox"},
    {"labelIntensityCaption", "QLabel"},
    {"comboBox", "QComboBox"},
    {"labelWavelengthUnitsCaption", "QLabel"},
    {"comboBox_2", "QComboBox"},
    {"gbLabel", "QLabel"},
    {"gbComboBox", "QComboBox"},
    {"checkBoxWhiteLid", "QCheckBox"},
    {"groupBoxPeakFinding", "QGroupBox"},
    {"peakFindingGrid", "QGridLayout"},
    {"labelThresholdingCaption", "QLabel"},
    {"comboBoxPeakThresholding", "QComboBox"},
    {"labelThresholdCaption", "QLabel"},
    {"doubleSpinBoxPeakThreshold", "QDoubleSpinBox"},
    {"labelMinDistanceCaption", "QLabel"},
    {"doubleSpinBoxPeakMinDistance", "QDoubleSpinBox"},
    {"labelPeakFWHMCaption", "QLabel"},
    {"doubleSpinBoxPeakFWHM", "QDoubleSpinBox"},
    {"tabSaveOpts", "QWidget"},
    {"saveOptsLayout", "QVBoxLayout"},
    {"label_46", "QLabel"},
    {"saveOptsGrid", "QGridLayout"},
    {"labelScanNameCaption", "QLabel"},
    {"lineEditScanName", "QLineEdit"},
    {"comboBoxFileExt", "QComboBox"},
    {"labelSNoCaption", "QLabel"},
    {"spinBoxSFno", "QSpinBox"},
    {"labelFolderNameCaption", "QLabel"},
    {"pBBrowse", "QPushButton"},
    {"lblSaveDir", "QTextEdit"},
    {"plainTextEditDir", "QPlainTextEdit"},
    {"pBQuickSave", "QPushButton"},
    {"tabTimeSeries", "QWidget"},
    {"timeSeriesLayout", "QVBoxLayout"},
    {"label_45", "QLabel"},
    {"timeSeriesGrid", "QGridLayout"},
    {"labelTSNameCaption", "QLabel"},
    {"lineEditTSName", "QLineEdit"},
    {"labelMetricDefinitionCaption", "QLabel"},
    {"comboBoxMetric", "QComboBox"},
    {"labelWvlStartCaption", "QLabel"},
    {"spinBoxWvlStart", "QSpinBox"},
    {"labelWvlEndCaption", "QLabel"},
    {"spinBoxWvlEnd", "QSpinBox"},
    {"labelTimeStepCaption", "QLabel"},
    {"spinBoxTimeStep", "QSpinBox"},
    {"labelSamplesCaption", "QLabel"},
    {"spinBoxSamples", "QSpinBox"},
    {"checkBoxSaveSpectrum", "QCheckBox"},
    {"labelTimeCaption", "QLabel"},
    {"labelTime", "QLabel"},
    {"labelMetricCaption", "QLabel"},
    {"labelMetric", "QLabel"},
    {"timeSeriesButtons", "QHBoxLayout"},
    {"pBStartTimeSeries", "QPushButton"},
    {"pBStopTimeSeries", "QPushButton"},
    {"groupBoxDevices", "QGroupBox"},
    {"devicesGrid", "QGridLayout"},
    {"label_4", "QLabel"},
    {"labelDevsConn", "QLabel"},
    {"listWidgetdevList", "QListWidget"},
    {"splitter", "QSplitter"},
    {"LFrame", "QFrame"},
    {"LFrameLayout", "QVBoxLayout"},
    {"RFrame", "QFrame"},
    {"RFrameLayout", "QVBoxLayout"},
    {"widgetIndicator", "QFrame"},
    {"indicatorLayout", "QHBoxLayout"},
    {"label_9", "QLabel"},
    {"labelDevID", "QLabel"},
    {"labelSaturated", "QLabel"},
    {"label_25", "QLabel"},
    {"labelExpTime", "QLabel"},
    {"labelfps", "QLabel"},
    {"label_6", "QLabel"},
    {"labelMode", "QLabel"},
    {"labelDC", "QLabel"},
    {"labelRC", "QLabel"},
    {"label_7", "QLabel"},
    {"lineEditImgNum", "QLineEdit"},
    {"labelDark", "QLabel"},
    {"labelDarkCaption", "QLabel"},
    {"labelRef", "QLabel"},
    {"labelRefCaption", "QLabel"},
    {"labelBright", "QLabel"},
    {"labelBrightCaption", "QLabel"},
    {"label_8", "QLabel"},
    {"avgProgressBar", "QProgressBar"},
    {"menubar", "QMenuBar"},
    {"menuFile", "QMenu"},
    {"menuSpectrometer", "QMenu"},
    {"menuApplications", "QMenu"},
    {"menuHelp", "QMenu"},
    {"toolBar", "QToolBar"},
    {"toolBarSettings", "QToolBar"},
    {"toolBarModes", "QToolBar"},
    {"toolBarHelp", "QToolBar"},
    {"toolBarApps", "QToolBar"},
    {"toolBarDevices", "QToolBar"},
};

struct ActionForm {
    const char* name;
    const char* text;
    const char* toolTip;  // what the action shows when hovered
    bool checkable;
    bool hasIcon;
};

// Actions without an own tool tip show their text.
const ActionForm kActions[] = {
    {"actionPlay", "Acquire live spectrum", "Acquire live spectrum", false, true},
    {"actionStop", "Stop live spectrum ", "Stop live spectrum ", false, true},
    {"actionSnap", "Snap spectrum", "Snap spectrum", false, true},
    {"actionHWTrigger", "HW trigger", "HW trigger", true, true},
    {"actionDark", "Collect dark spectrum", "Collect dark spectrum", true, true},
    {"actionRef", "Collect Reference Spectrum", "Collect reference spectrum", true, true},
    {"actionBright", "Collect bright spectrum", "Collect bright spectrum for reflectance", true,
     true},
    {"actionAE", "AE", "Auto Exposure Mode", true, true},
    {"actionSave", "Save spectrum", "Save spectrum", false, true},
    {"actionQuickSave", "QuickSave", "QuickSave", false, true},
    {"actionDarkCorrect", "Dark correction", "Subtract dark spectrum", true, true},
    {"actionRefCorrect", "Reference correction", "Subtract reference spectrum", true, true},
    {"actionFlashOff", "Switch the flash off", "Switch the flash off", true, true},
    {"actionFlashAuto", "Switch the flash to auto mode", "Switch the flash only during exposure",
     true, true},
    {"actionFlashOn", "Switch the flash on", "Switch the flash on", true, true},
    {"actionSettings", "Settings", "Settings", true, true},
    {"actionColor", "Color", "Color", true, true},
    {"actionTimeSeries", "Time series", "Time series", true, true},
    {"actionRecording", "Recording", "Recording", true, true},
    {"actionHelp", "Help", "Help", false, true},
    {"actionAbout", "About", "About", false, true},
    {"actionExit", "Exit", "Exit", false, false},
};

// The checkable actions drawn with a second image while checked.
const char* const kActionsWithOnImage[] = {
    "actionHWTrigger",   "actionDark",       "actionRef",        "actionBright",    "actionAE",
    "actionDarkCorrect", "actionRefCorrect", "actionFlashOff",   "actionFlashAuto", "actionFlashOn",
    "actionSettings",    "actionColor",      "actionTimeSeries",
};

QStringList entryNames(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* action : actions)
        names << (action->isSeparator() ? QString() : action->objectName());
    return names;
}

bool hasPixmap(const QIcon& icon, QIcon::State state) {
    return !icon.availableSizes(QIcon::Normal, state).isEmpty();
}

QString describe(const QWidget* widget) {
    QString text;
    QDebug(&text) << widget->objectName() << widget->geometry() << "hint" << widget->sizeHint();
    return text;
}

}  // namespace

class MainWindowFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void everyFormObjectExistsWithItsClass_data();
    void everyFormObjectExistsWithItsClass();
    void onlyTheActionsWithBehaviourAreCreated();

    void windowStartsAt1840By896WithItsTitleAndStyle();
    void panelsAndSplittersHaveTheirSizes();

    void textsOfLabelsButtonsAndBoxes_data();
    void textsOfLabelsButtonsAndBoxes();
    void spinBoxesHoldTheirRangesAndDefaults_data();
    void spinBoxesHoldTheirRangesAndDefaults();
    void doubleSpinBoxesHoldRangesDecimalsStepsAndDefaults_data();
    void doubleSpinBoxesHoldRangesDecimalsStepsAndDefaults();
    void comboBoxesListTheirChoices_data();
    void comboBoxesListTheirChoices();
    void controlsTabCentresItsSpinBoxes();
    void saveOptionsAndTimeSeriesControlsStartAsSpecified();
    void indicatorBarCarriesItsStylesAndLamps();

    void tabsShowIconPairsAndToolTips();
    void actionsCarryTextToolTipAndCheckability_data();
    void actionsCarryTextToolTipAndCheckability();
    void checkableActionsHaveOffAndOnImages();
    void toolBarsHoldTheirActionsInOrder();
    void toolBarsSitInTheirAreas();
    void menusHoldTheirActionsInOrder();

    void darkPaletteColoursEveryGroup_data();
    void darkPaletteColoursEveryGroup();
    void applyThemeSetsFusionPaletteAndStyleSheet();

    void formLaysOutWithoutOverlapOrClipping();
    void formStaysTidyWhenMaximisedOnAFullHdScreen();

private:
    template <typename T>
    T* child(const QString& name) const {
        return window.findChild<T*>(name);
    }
    void verifyUnclipped(const QWidget* container) const;
    void verifyLaidOutCleanly();

    QMainWindow window;
    Ui::MainWindow ui;
};

void MainWindowFormTest::initTestCase() {
    ui.setupUi(&window);
}

void MainWindowFormTest::everyFormObjectExistsWithItsClass_data() {
    QTest::addColumn<QString>("className");
    for (const NamedClass& object : kFormObjects)
        QTest::newRow(object.name) << QString::fromLatin1(object.className);
    for (const ActionForm& action : kActions)
        QTest::newRow(action.name) << QStringLiteral("QAction");
}

void MainWindowFormTest::everyFormObjectExistsWithItsClass() {
    QFETCH(QString, className);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QList<QObject*> found = window.findChildren<QObject*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);
}

void MainWindowFormTest::onlyTheActionsWithBehaviourAreCreated() {
    QStringList expected;
    for (const ActionForm& action : kActions) expected << QString::fromLatin1(action.name);
    QStringList created;
    for (const QAction* action :
         window.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
        if (!action->objectName().isEmpty()) created << action->objectName();
    expected.sort();
    created.sort();
    QCOMPARE(created, expected);
}

void MainWindowFormTest::windowStartsAt1840By896WithItsTitleAndStyle() {
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window.size(), QSize(1840, 896));
    QCOMPARE(window.windowTitle(), QStringLiteral("Brevanta Systems"));
    QCOMPARE(window.styleSheet(), QStringLiteral("font: 12pt \"Helvetica\";"));
    QCOMPARE(window.iconSize(), QSize(40, 40));
    QCOMPARE(window.toolButtonStyle(), Qt::ToolButtonIconOnly);
    QVERIFY(!window.isAnimated());
    QCOMPARE(window.dockOptions(), QMainWindow::DockOptions(QMainWindow::AllowTabbedDocks));
    QCOMPARE(window.centralWidget(), ui.centralwidget);
    QVERIFY(!window.windowIcon().isNull());
}

void MainWindowFormTest::panelsAndSplittersHaveTheirSizes() {
    QCOMPARE(ui.splitterDock->orientation(), Qt::Horizontal);
    QCOMPARE(ui.splitterDock->widget(0), ui.settingsFrame);
    QCOMPARE(ui.splitterDock->widget(1), ui.splitter);
    QCOMPARE(ui.settingsFrame->minimumWidth(), 300);
    QCOMPARE(ui.settingsFrame->maximumWidth(), 300);
    QCOMPARE(ui.title->minimumSize(), QSize(300, 45));
    QCOMPARE(ui.title->maximumSize(), QSize(300, 45));
    QCOMPARE(ui.title->styleSheet(), QStringLiteral("background-color: rgb(80, 80, 80);\n"
                                                    "color: rgb(255, 255, 255);\n"
                                                    "font: 13pt \"Helvetica\";"));

    QCOMPARE(ui.splitter->orientation(), Qt::Horizontal);
    QCOMPARE(ui.splitter->handleWidth(), 6);
    QVERIFY(ui.splitter->opaqueResize());
    QVERIFY(ui.splitter->childrenCollapsible());
    QCOMPARE(ui.splitter->widget(0), ui.LFrame);
    QCOMPARE(ui.splitter->widget(1), ui.RFrame);
    QCOMPARE(ui.RFrame->maximumWidth(), 600);
    QVERIFY(ui.LFrame->sizePolicy().horizontalStretch() >
            ui.RFrame->sizePolicy().horizontalStretch());
    QCOMPARE(ui.LFrame->layout(), ui.LFrameLayout);
    QCOMPARE(ui.RFrame->layout(), ui.RFrameLayout);
    QCOMPARE(ui.widgetIndicator->maximumHeight(), 50);

    QCOMPARE(ui.tabWidgetControls->minimumWidth(), 300);
    QCOMPARE(ui.tabWidgetControls->maximumWidth(), 300);
    QCOMPARE(ui.tabWidgetControls->tabPosition(), QTabWidget::North);
    QCOMPARE(ui.tabWidgetControls->iconSize(), QSize(30, 30));
    QCOMPARE(ui.tabWidgetControls->elideMode(), Qt::ElideNone);
    QCOMPARE(ui.tabWidgetControls->currentIndex(), 0);

    QCOMPARE(ui.groupBoxDevices->minimumWidth(), 300);
    QCOMPARE(ui.groupBoxDevices->maximumWidth(), 300);
    QCOMPARE(ui.groupBoxDevices->maximumHeight(), 100);
    QCOMPARE(ui.listWidgetdevList->sizeAdjustPolicy(), QAbstractScrollArea::AdjustToContents);
    QCOMPARE(ui.listWidgetdevList->batchSize(), 100);
    QCOMPARE(ui.listWidgetdevList->count(), 0);
}

void MainWindowFormTest::textsOfLabelsButtonsAndBoxes_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");
    const struct {
        const char* name;
        const char* property;
        const char* text;
    } texts[] = {
        {"label_32", "text", "Settings"},
        {"label_47", "text", "Controls"},
        {"labelAveragesCaption", "text", "Averages"},
        {"labelGainCaption", "text", "Gain(dB)"},
        {"labelIntTimeCaption", "text", "Int Time(ms)"},
        {"labelAEMinCaption", "text", "AE Min"},
        {"labelAEMaxCaption", "text", "AE Max "},
        {"labelIntensityCaption", "text", "Intensity "},
        {"labelWavelengthUnitsCaption", "text", "Wavelength Units"},
        {"gbLabel", "text", "Continuous Uniformity \nCorrection"},
        {"checkBoxWhiteLid", "text", "White Lid Referencing"},
        {"groupBoxPeakFinding", "title", "Peak Finding"},
        {"labelThresholdingCaption", "text", "Thresholding"},
        {"labelThresholdCaption", "text", "Threshold"},
        {"labelMinDistanceCaption", "text", "Min Distance"},
        {"labelPeakFWHMCaption", "text", "Peak for FWHM"},
        {"label_46", "text", "Save Options"},
        {"labelScanNameCaption", "text", "Scan name"},
        {"lineEditScanName", "text", "Default"},
        {"labelSNoCaption", "text", "SNo."},
        {"labelFolderNameCaption", "text", "Folder Name"},
        {"pBBrowse", "text", "Browse"},
        {"plainTextEditDir", "plainText", ""},
        {"pBQuickSave", "text", "Quick Save"},
        {"label_45", "text", "TimeSeries"},
        {"labelTSNameCaption", "text", "File Name"},
        {"lineEditTSName", "text", "Timess"},
        {"labelMetricDefinitionCaption", "text", "Metric Definition "},
        {"labelWvlStartCaption", "text", "Wvl Start"},
        {"labelWvlEndCaption", "text", "Wvl End"},
        {"labelTimeStepCaption", "text", "Time Step(s)"},
        {"labelSamplesCaption", "text", "Samples"},
        {"checkBoxSaveSpectrum", "text", "Save Spectrum ?"},
        {"labelTimeCaption", "text", "Time"},
        {"labelTime", "text", "Time:XXXX"},
        {"labelMetricCaption", "text", "Metric"},
        {"labelMetric", "text", "Metric:xxxx"},
        {"pBStartTimeSeries", "text", "Start"},
        {"pBStopTimeSeries", "text", "Stop"},
        {"groupBoxDevices", "title", "Devices"},
        {"label_4", "text", "Connected Devices:"},
        {"label_9", "text", "DevID: "},
        {"label_25", "text", "ExpTime: "},
        {"label_6", "text", "fps"},
        {"labelMode", "text", "Scope"},
        {"labelDC", "text", ""},
        {"labelRC", "text", ""},
        {"label_7", "text", "Frame ID"},
        {"labelDarkCaption", "text", "Dark"},
        {"labelRefCaption", "text", "Ref"},
        {"labelBrightCaption", "text", "Bright"},
        {"label_8", "text", "Avg Progress"},
    };
    for (const auto& entry : texts)
        QTest::newRow(entry.name) << QString::fromLatin1(entry.property)
                                  << QString::fromLatin1(entry.text);
}

void MainWindowFormTest::textsOfLabelsButtonsAndBoxes() {
    QFETCH(QString, property);
    QFETCH(QString, expected);
    const QObject* object = child<QObject>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(object);
    const QVariant value = object->property(property.toLatin1().constData());
    QVERIFY(value.isValid());
    QCOMPARE(value.toString(), expected);
}

void MainWindowFormTest::spinBoxesHoldTheirRangesAndDefaults_data() {
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("spinBoxAverages") << 1 << 100 << 5;
    QTest::newRow("spinBoxGain") << 0 << 18 << 0;
    QTest::newRow("spinBoxSFno") << 0 << 99 << 0;
    QTest::newRow("spinBoxWvlStart") << 380 << 1020 << 380;
    QTest::newRow("spinBoxWvlEnd") << 380 << 1020 << 800;
    QTest::newRow("spinBoxTimeStep") << 1 << 3600 << 1;
    QTest::newRow("spinBoxSamples") << 0 << 10000 << 5;
}

void MainWindowFormTest::spinBoxesHoldTheirRangesAndDefaults() {
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    const QSpinBox* box = child<QSpinBox>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(box);
    QCOMPARE(box->minimum(), minimum);
    QCOMPARE(box->maximum(), maximum);
    QCOMPARE(box->value(), value);
}

void MainWindowFormTest::doubleSpinBoxesHoldRangesDecimalsStepsAndDefaults_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("value");
    QTest::newRow("doubleSpinBoxExpTime") << 0.1 << 1000.0 << 3 << 1.0 << 10.0;
    QTest::newRow("doubleSpinBoxAEMin") << 0.01 << 1000.0 << 3 << 1.0 << 0.01;
    QTest::newRow("doubleSpinBoxAEMax") << 0.01 << 1000.0 << 3 << 1.0 << 100.0;
    QTest::newRow("doubleSpinBoxPeakThreshold") << 0.0 << 100000.0 << 4 << 0.0001 << 0.0;
    QTest::newRow("doubleSpinBoxPeakMinDistance") << 0.0 << 1000.0 << 4 << 1.0 << 0.0;
    QTest::newRow("doubleSpinBoxPeakFWHM") << 380.0 << 1020.0 << 2 << 1.0 << 550.0;
}

void MainWindowFormTest::doubleSpinBoxesHoldRangesDecimalsStepsAndDefaults() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, decimals);
    QFETCH(double, step);
    QFETCH(double, value);
    const QDoubleSpinBox* box = child<QDoubleSpinBox>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(box);
    QCOMPARE(box->decimals(), decimals);
    QCOMPARE(box->minimum(), minimum);
    QCOMPARE(box->maximum(), maximum);
    QCOMPARE(box->singleStep(), step);
    QCOMPARE(box->value(), value);
}

void MainWindowFormTest::comboBoxesListTheirChoices_data() {
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("comboBox") << QStringList{"Counts", "Counts/s", "Counts/s/nm"} << false;
    QTest::newRow("comboBox_2") << QStringList{"nm", "/cm"} << false;
    QTest::newRow("gbComboBox") << QStringList{"ON", "OFF"} << true;
    QTest::newRow("comboBoxPeakThresholding") << QStringList{"Absolute", "Relative"} << true;
    QTest::newRow("comboBoxFileExt") << QStringList{".txt", ".csv"} << true;
    QTest::newRow("comboBoxMetric") << QStringList{"Area", "Peak", "Peak Ratio"} << true;
}

void MainWindowFormTest::comboBoxesListTheirChoices() {
    QFETCH(QStringList, choices);
    QFETCH(bool, enabled);
    const QComboBox* box = child<QComboBox>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(box);
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    QCOMPARE(items, choices);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(box->isEnabled(), enabled);
}

void MainWindowFormTest::controlsTabCentresItsSpinBoxes() {
    const QList<QAbstractSpinBox*> boxes = ui.tabControls->findChildren<QAbstractSpinBox*>();
    QCOMPARE(boxes.size(), 8);
    for (const QAbstractSpinBox* box : boxes)
        QVERIFY2(box->alignment() == Qt::AlignCenter, qPrintable(box->objectName()));
}

void MainWindowFormTest::saveOptionsAndTimeSeriesControlsStartAsSpecified() {
    QCOMPARE(ui.comboBoxFileExt->maximumWidth(), 80);
    QVERIFY(!ui.spinBoxSFno->isEnabled());
    QCOMPARE(ui.spinBoxSFno->minimumWidth(), 100);
    QCOMPARE(ui.pBBrowse->maximumWidth(), 100);
    QCOMPARE(ui.lblSaveDir->frameShape(), QFrame::StyledPanel);
    QCOMPARE(ui.lblSaveDir->frameShadow(), QFrame::Sunken);
    QCOMPARE(ui.lblSaveDir->sizeAdjustPolicy(), QAbstractScrollArea::AdjustToContents);
    QCOMPARE(ui.plainTextEditDir->frameShadow(), QFrame::Raised);
    QCOMPARE(ui.lineEditTSName->maximumHeight(), 30);
    QVERIFY(!ui.checkBoxSaveSpectrum->isChecked());
    QVERIFY(ui.pBStartTimeSeries->isEnabled());
    QVERIFY(!ui.pBStopTimeSeries->isEnabled());
}

void MainWindowFormTest::indicatorBarCarriesItsStylesAndLamps() {
    QCOMPARE(ui.labelSaturated->styleSheet(), QStringLiteral("color: rgb(214, 214, 214);"));
    QCOMPARE(ui.labelSaturated->alignment(), Qt::AlignCenter);
    QVERIFY(!ui.lineEditImgNum->isEnabled());
    QVERIFY(ui.lineEditImgNum->isReadOnly());
    QCOMPARE(ui.lineEditImgNum->toolTip(), QStringLiteral("Image Number"));
    QCOMPARE(ui.lineEditImgNum->styleSheet(), QStringLiteral("color: rgb(255, 255, 255);"));
    for (const QLabel* lamp : {ui.labelDark, ui.labelRef, ui.labelBright}) {
        QCOMPARE(lamp->minimumSize(), QSize(20, 20));
        QCOMPARE(lamp->maximumSize(), QSize(20, 20));
    }
    QCOMPARE(ui.avgProgressBar->value(), 0);
    QCOMPARE(ui.avgProgressBar->styleSheet(),
             QStringLiteral("QProgressBar::chunk {background-color: rgb(80,80,80);}"));

    // Left to right, as the operator reads the bar.
    const QStringList order = {"label_9",         "labelDevID",       "labelSaturated",
                               "label_25",        "labelExpTime",     "labelfps",
                               "label_6",         "labelMode",        "labelDC",
                               "labelRC",         "label_7",          "lineEditImgNum",
                               "labelDark",       "labelDarkCaption", "labelRef",
                               "labelRefCaption", "labelBright",      "labelBrightCaption",
                               "label_8",         "avgProgressBar"};
    QStringList laidOut;
    for (int i = 0; i < ui.indicatorLayout->count(); ++i)
        if (const QWidget* widget = ui.indicatorLayout->itemAt(i)->widget())
            laidOut << widget->objectName();
    QCOMPARE(laidOut, order);
}

void MainWindowFormTest::tabsShowIconPairsAndToolTips() {
    QTabWidget* tabs = ui.tabWidgetControls;
    QCOMPARE(tabs->count(), 3);
    const QWidget* pages[] = {ui.tabControls, ui.tabSaveOpts, ui.tabTimeSeries};
    const QString toolTips[] = {"Controls", "Save Opts", QString()};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(tabs->widget(i), pages[i]);
        QCOMPARE(tabs->tabText(i), QString());
        QCOMPARE(tabs->tabToolTip(i), toolTips[i]);
        QVERIFY2(hasPixmap(tabs->tabIcon(i), QIcon::Off), qPrintable(pages[i]->objectName()));
        QVERIFY2(hasPixmap(tabs->tabIcon(i), QIcon::On), qPrintable(pages[i]->objectName()));
    }
}

void MainWindowFormTest::actionsCarryTextToolTipAndCheckability_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("hasIcon");
    for (const ActionForm& action : kActions)
        QTest::newRow(action.name)
            << QString::fromLatin1(action.text) << QString::fromLatin1(action.toolTip)
            << action.checkable << action.hasIcon;
}

void MainWindowFormTest::actionsCarryTextToolTipAndCheckability() {
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, checkable);
    QFETCH(bool, hasIcon);
    const QAction* action = child<QAction>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(action);
    QCOMPARE(action->parent(), &window);
    QCOMPARE(action->text(), text);
    QCOMPARE(action->toolTip(), toolTip);
    QCOMPARE(action->isCheckable(), checkable);
    QVERIFY(!action->isChecked());
    QCOMPARE(hasPixmap(action->icon(), QIcon::Off), hasIcon);
}

void MainWindowFormTest::checkableActionsHaveOffAndOnImages() {
    for (const char* name : kActionsWithOnImage) {
        const QAction* action = child<QAction>(QString::fromLatin1(name));
        QVERIFY2(action && action->isCheckable(), name);
        QVERIFY2(hasPixmap(action->icon(), QIcon::Off), name);
        QVERIFY2(hasPixmap(action->icon(), QIcon::On), name);
    }
    // Recording has a single image for both states.
    QVERIFY(!hasPixmap(ui.actionRecording->icon(), QIcon::On));
}

void MainWindowFormTest::toolBarsHoldTheirActionsInOrder() {
    QCOMPARE(entryNames(ui.toolBar->actions()),
             QStringList({"actionSave", "actionQuickSave", "", "actionPlay", "actionStop",
                          "actionSnap", "", "actionHWTrigger", "", "actionDark", "actionRef",
                          "actionBright", "actionAE"}));
    QCOMPARE(entryNames(ui.toolBarSettings->actions()),
             QStringList({"actionFlashOff", "actionFlashAuto", "actionFlashOn", "actionSettings"}));
    QCOMPARE(entryNames(ui.toolBarModes->actions()),
             QStringList({"actionDarkCorrect", "actionRefCorrect"}));
    QCOMPARE(entryNames(ui.toolBarHelp->actions()), QStringList({"actionHelp", "actionAbout"}));
    QCOMPARE(entryNames(ui.toolBarApps->actions()),
             QStringList({"actionTimeSeries", "actionColor", "actionRecording"}));
    QVERIFY(ui.toolBarDevices->actions().isEmpty());
}

void MainWindowFormTest::toolBarsSitInTheirAreas() {
    const struct {
        QToolBar* bar;
        const char* title;
        Qt::ToolBarArea area;
        Qt::ToolBarAreas allowed;
        bool movable;
        bool floatable;
    } bars[] = {
        {ui.toolBar, "toolBar", Qt::TopToolBarArea, Qt::AllToolBarAreas, true, false},
        {ui.toolBarSettings, "toolBarSettings", Qt::LeftToolBarArea, Qt::LeftToolBarArea, false,
         true},
        {ui.toolBarModes, "toolBarModes", Qt::TopToolBarArea, Qt::AllToolBarAreas, true, true},
        {ui.toolBarHelp, "toolBarHelp", Qt::TopToolBarArea, Qt::TopToolBarArea, true, true},
        {ui.toolBarApps, "toolBarApps", Qt::LeftToolBarArea, Qt::AllToolBarAreas, true, true},
        {ui.toolBarDevices, "toolBar_2", Qt::TopToolBarArea, Qt::AllToolBarAreas, true, true},
    };
    for (const auto& expected : bars) {
        QToolBar* bar = expected.bar;
        QCOMPARE(bar->windowTitle(), QString::fromLatin1(expected.title));
        QCOMPARE(window.toolBarArea(bar), expected.area);
        QCOMPARE(bar->allowedAreas(), expected.allowed);
        QCOMPARE(bar->isMovable(), expected.movable);
        QCOMPARE(bar->isFloatable(), expected.floatable);
        QCOMPARE(bar->iconSize(), QSize(40, 40));
    }
    QVERIFY(ui.toolBarDevices->isHidden());
}

void MainWindowFormTest::menusHoldTheirActionsInOrder() {
    QStringList titles;
    for (const QAction* entry : ui.menubar->actions()) titles << entry->menu()->title();
    QCOMPARE(titles, QStringList({"File", "Spectrometer", "Applications", "Help"}));

    QCOMPARE(entryNames(ui.menuFile->actions()), QStringList({"actionSave", "actionExit"}));
    QCOMPARE(entryNames(ui.menuSpectrometer->actions()),
             QStringList({"actionPlay", "actionStop", "actionSnap", "", "actionDark", "actionRef",
                          "actionBright", "", "actionDarkCorrect", "actionRefCorrect", ""}));
    QCOMPARE(entryNames(ui.menuApplications->actions()),
             QStringList({"actionColor", "actionTimeSeries", "actionRecording"}));
    QCOMPARE(entryNames(ui.menuHelp->actions()), QStringList({"actionHelp", "actionAbout"}));

    const QString menuStyle = ui.menubar->styleSheet();
    QVERIFY(menuStyle.contains("rgb(225, 225, 225)"));
    QVERIFY(menuStyle.contains("padding: 2px 25px 2px 20px"));
    QVERIFY(menuStyle.contains("margin: 2px"));
}

void MainWindowFormTest::darkPaletteColoursEveryGroup_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("disabledColour");
    const auto add = [](const char* tag, QPalette::ColorRole role, QColor colour,
                        QColor disabledColour) {
        QTest::newRow(tag) << int(role) << colour << disabledColour;
    };
    add("Window", QPalette::Window, QColor(25, 25, 25), QColor(25, 25, 25));
    add("WindowText", QPalette::WindowText, QColor(255, 255, 255), QColor(255, 255, 255));
    add("Base", QPalette::Base, QColor(25, 25, 25), QColor(25, 25, 25));
    add("AlternateBase", QPalette::AlternateBase, QColor(53, 53, 53), QColor(53, 53, 53));
    add("ToolTipBase", QPalette::ToolTipBase, QColor(0, 0, 0), QColor(0, 0, 0));
    add("ToolTipText", QPalette::ToolTipText, QColor(255, 255, 255), QColor(255, 255, 255));
    add("Text", QPalette::Text, QColor(255, 255, 255), QColor(169, 169, 169));
    add("Button", QPalette::Button, QColor(53, 53, 53), QColor(53, 53, 53));
    add("ButtonText", QPalette::ButtonText, QColor(255, 255, 255), QColor(169, 169, 169));
    add("BrightText", QPalette::BrightText, QColor(255, 0, 0), QColor(255, 0, 0));
    add("Link", QPalette::Link, QColor(42, 130, 218), QColor(42, 130, 218));
    add("Highlight", QPalette::Highlight, QColor(242, 242, 242), QColor(242, 242, 242));
    add("HighlightedText", QPalette::HighlightedText, QColor(0, 0, 0), QColor(0, 0, 0));
}

void MainWindowFormTest::darkPaletteColoursEveryGroup() {
    QFETCH(int, role);
    QFETCH(QColor, colour);
    QFETCH(QColor, disabledColour);
    const QPalette palette = kelo::app::darkPalette();
    const auto colourRole = QPalette::ColorRole(role);
    QCOMPARE(palette.color(QPalette::Active, colourRole), colour);
    QCOMPARE(palette.color(QPalette::Inactive, colourRole), colour);
    QCOMPARE(palette.color(QPalette::Disabled, colourRole), disabledColour);
}

void MainWindowFormTest::applyThemeSetsFusionPaletteAndStyleSheet() {
    kelo::app::applyTheme(*qApp);
    QVERIFY(!qApp->styleSheet().isEmpty());
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(25, 25, 25));
    QCOMPARE(QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText),
             QColor(169, 169, 169));

    // The style sheet wraps the application style; without it the base shows.
    qApp->setStyleSheet(QString());
    QCOMPARE(QApplication::style()->objectName(), QStringLiteral("fusion"));
    QVERIFY(kelo::app::installStyleSheet(*qApp));
    QVERIFY(!qApp->styleSheet().isEmpty());
}

void MainWindowFormTest::verifyUnclipped(const QWidget* container) const {
    for (const QLabel* label : container->findChildren<QLabel*>()) {
        // Lamps and empty readings have nothing to clip.
        if (!label->isVisibleTo(&window) || label->text().isEmpty()) continue;
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(describe(label)));
        QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(describe(label)));
    }
    // A layout that cannot fit squeezes its widgets below their minimum; text
    // and list boxes scroll instead.
    for (const QWidget* widget : container->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->objectName().startsWith("qt_") ||
            qobject_cast<const QAbstractScrollArea*>(widget))
            continue;
        const QSize minimum = QLayout::closestAcceptableSize(widget, QSize(0, 0));
        QVERIFY2(widget->width() >= minimum.width() && widget->height() >= minimum.height(),
                 qPrintable(describe(widget)));
    }
}

void MainWindowFormTest::verifyLaidOutCleanly() {
    QList<QWidget*> bar;
    for (QWidget* widget :
         ui.widgetIndicator->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (widget->isVisible()) bar << widget;
    for (int i = 0; i < bar.size(); ++i)
        for (int j = i + 1; j < bar.size(); ++j)
            QVERIFY2(!bar[i]->geometry().intersects(bar[j]->geometry()),
                     qPrintable(describe(bar[i]) + " overlaps " + describe(bar[j])));
    verifyUnclipped(ui.widgetIndicator);
    verifyUnclipped(ui.title);
    verifyUnclipped(ui.groupBoxDevices);

    // Pages are laid out when shown; the controls page is left in front.
    for (int i = ui.tabWidgetControls->count() - 1; i >= 0; --i) {
        ui.tabWidgetControls->setCurrentIndex(i);
        QTRY_VERIFY(ui.tabWidgetControls->widget(i)->isVisible());
        verifyUnclipped(ui.tabWidgetControls->widget(i));
    }
}

void MainWindowFormTest::formLaysOutWithoutOverlapOrClipping() {
    kelo::app::applyTheme(*qApp);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The form asks for 1840 x 896 and grows where the fonts at hand need
    // more room.
    QCOMPARE(window.size(), QSize(1840, 896).expandedTo(window.minimumSizeHint()));
    verifyLaidOutCleanly();
    QVERIFY(window.grab().save(QStringLiteral("/tmp/form-preview.png")));

    // Down to its own minimum size every widget still gets what it needs.
    const QSize lowest = window.minimumSizeHint();
    window.resize(lowest);
    QTRY_COMPARE(window.size(), lowest);
    verifyLaidOutCleanly();
}

void MainWindowFormTest::formStaysTidyWhenMaximisedOnAFullHdScreen() {
    QVERIFY(window.isVisible());
    window.resize(1920, 1050);
    QTRY_COMPARE(window.size(), QSize(1920, 1050));
    verifyLaidOutCleanly();
    QTRY_VERIFY(ui.LFrame->width() > 1000);
    QCOMPARE(ui.settingsFrame->width(), 300);
}

QTEST_MAIN(MainWindowFormTest)
#include "MainWindowFormTest.moc"
