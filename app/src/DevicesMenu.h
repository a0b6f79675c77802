// The Devices menu: whether listing cameras also searches the network for
// GigE cameras. The operator's choice is remembered across starts and given
// to the device layer as the menu is made, before the window first looks
// for a camera.
#pragma once

#include <QMenu>

class QAction;

namespace kelo::app {

class DevicesMenu : public QMenu {
    Q_OBJECT
public:
    explicit DevicesMenu(QWidget* parent = nullptr);

private:
    // To the device layer, from its next listing, and to the settings.
    void setNetworkSearch(bool on);

    QAction* networkSearch;
};

}  // namespace kelo::app
