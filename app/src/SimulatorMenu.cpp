#include "SimulatorMenu.h"

#include <QActionGroup>

#include "simcam/SimulatorControl.h"

namespace kelo::app {

namespace {

constexpr double kPulseRates[] = {0.0, 1.0, 5.0, 20.0};

}  // namespace

SimulatorMenu::SimulatorMenu(QWidget* parent)
    : QMenu("Simulator", parent),
      scenes(new QActionGroup(this)),
      pulseRates(new QActionGroup(this)) {
    setObjectName("menuSimulator");
    addSceneActions();
    addSeparator();
    noise = addAction("Noise");
    noise->setCheckable(true);
    connect(noise, &QAction::toggled, this, [](bool on) { simcam::setNoise(on); });
    unplugged = addAction("Unplug camera");
    unplugged->setCheckable(true);
    unplugged->setShortcut(QKeySequence("Ctrl+Alt+U"));
    unplugged->setShortcutContext(Qt::ApplicationShortcut);
    connect(unplugged, &QAction::triggered, this, &SimulatorMenu::toggleCameraPlug);
    addSeparator();
    QAction* pulse = addAction("Trigger pulse");
    pulse->setShortcut(QKeySequence("Ctrl+Alt+T"));
    pulse->setShortcutContext(Qt::ApplicationShortcut);
    connect(pulse, &QAction::triggered, this, [] { simcam::triggerPulse(); });
    addPulseRateActions();
    refresh();
}

void SimulatorMenu::addSceneActions() {
    QMenu* sceneMenu = addMenu("Scene");
    for (const std::string& name : simcam::sceneNames()) {
        QAction* scene = sceneMenu->addAction(QString::fromStdString(name));
        scene->setCheckable(true);
        scene->setData(QString::fromStdString(name));
        scenes->addAction(scene);
    }
    connect(scenes, &QActionGroup::triggered, this,
            [](QAction* scene) { simcam::setScene(scene->data().toString().toStdString()); });
}

void SimulatorMenu::addPulseRateActions() {
    QMenu* rateMenu = addMenu("Periodic pulses");
    for (double hz : kPulseRates) {
        QAction* rate = rateMenu->addAction(hz > 0.0 ? QString("%1 Hz").arg(hz) : "Off");
        rate->setCheckable(true);
        rate->setData(hz);
        rate->setChecked(hz == 0.0);
        pulseRates->addAction(rate);
    }
    connect(pulseRates, &QActionGroup::triggered, this,
            [](QAction* rate) { simcam::setTriggerRate(rate->data().toDouble()); });
}

void SimulatorMenu::refresh() {
    const simcam::SimulatorSettings settings = simcam::currentSettings();
    for (QAction* scene : scenes->actions())
        scene->setChecked(scene->data().toString().toStdString() == settings.scene);
    const QSignalBlocker quiet(noise);
    noise->setChecked(settings.noise);
}

QString SimulatorMenu::cameraSerial() const {
    const simcam::SimulatorSettings settings = simcam::currentSettings();
    return settings.cameras.empty() ? QString()
                                    : QString::fromStdString(settings.cameras.front().serialNumber);
}

void SimulatorMenu::toggleCameraPlug() {
    const std::string serial = cameraSerial().toStdString();
    if (serial.empty()) return;
    if (unplugged->isChecked())
        simcam::unplug(serial);
    else
        simcam::plugIn(serial);
}

}  // namespace kelo::app
