// The Simulator menu, present when the camera is the simulated one: what
// the camera looks at, its noise, unplugging it and trigger pulses. The
// simulator's settings from the environment are where it starts.
#pragma once

#include <QMenu>

class QAction;
class QActionGroup;

namespace kelo::app {

class SimulatorMenu : public QMenu {
    Q_OBJECT
public:
    explicit SimulatorMenu(QWidget* parent = nullptr);

    // Shows the simulator's present settings (a scene or noise changed
    // elsewhere, a camera plugged in again).
    void refresh();

private:
    void addSceneActions();
    void addPulseRateActions();
    void toggleCameraPlug();
    // The camera the menu acts on: the first one configured.
    QString cameraSerial() const;

    QActionGroup* scenes;
    QAction* noise;
    QAction* unplugged;
    QActionGroup* pulseRates;
};

}  // namespace kelo::app
