#include "DevicesMenu.h"

#include <QSettings>

#include "device/DeviceRegistry.h"

namespace kelo::app {

namespace {

constexpr const char* kNetworkSearchKey = "devices/networkSearch";

}  // namespace

DevicesMenu::DevicesMenu(QWidget* parent) : QMenu("Devices", parent) {
    setObjectName("menuDevices");
    setToolTipsVisible(true);
    networkSearch = addAction("Search the network for GigE cameras");
    networkSearch->setObjectName("actionNetworkSearch");
    networkSearch->setCheckable(true);
    const QString why =
        "Also lists GigE Vision cameras on the network; the search sends broadcast packets on "
        "every network interface";
    networkSearch->setStatusTip(why);
    networkSearch->setToolTip(why);
    // Started with the gige backend the program searches from the start;
    // otherwise the operator's last choice holds.
    const bool remembered = QSettings().value(kNetworkSearchKey, false).toBool();
    const bool search = remembered || DeviceRegistry::networkSearch();
    networkSearch->setChecked(search);
    DeviceRegistry::setNetworkSearch(search);
    connect(networkSearch, &QAction::toggled, this, &DevicesMenu::setNetworkSearch);
}

void DevicesMenu::setNetworkSearch(bool on) {
    DeviceRegistry::setNetworkSearch(on);
    QSettings().setValue(kNetworkSearchKey, on);
}

}  // namespace kelo::app
