#include "CameraFeatureControls.h"

#include <QAction>
#include <QWidget>
#include <utility>

namespace kelo::app {

namespace {

// The controls are actions and widgets, which share no base that has both.
// A widget's own state: a disabled panel around it is not its own.
bool isEnabled(const QObject& control) {
    if (auto* action = qobject_cast<const QAction*>(&control)) return action->isEnabled();
    return !qobject_cast<const QWidget*>(&control)->testAttribute(Qt::WA_ForceDisabled);
}

QString toolTip(const QObject& control) {
    if (auto* action = qobject_cast<const QAction*>(&control)) return action->toolTip();
    return qobject_cast<const QWidget*>(&control)->toolTip();
}

void setState(QObject& control, bool enabled, const QString& toolTip) {
    if (auto* action = qobject_cast<QAction*>(&control)) {
        action->setEnabled(enabled);
        action->setToolTip(toolTip);
        return;
    }
    auto* widget = qobject_cast<QWidget*>(&control);
    widget->setEnabled(enabled);
    widget->setToolTip(toolTip);
}

// A control of the form by its object name; null when the form has none or
// it is neither an action nor a widget.
QObject* findControl(QObject& window, const QString& name) {
    if (auto* action = window.findChild<QAction*>(name)) return action;
    return window.findChild<QWidget*>(name);
}

}  // namespace

void CameraFeatureControls::show(QObject& window, FeatureAvailability camera) {
    restore();
    shown = std::move(camera);
    for (const FeatureControlNames& feature : FeatureAvailability::controls()) {
        const QString reason = shown.unavailableReason(feature.feature);
        if (reason.isEmpty()) continue;
        for (const QString& name : feature.objectNames) {
            QObject* control = findControl(window, name);
            if (control == nullptr) continue;
            disabled.push_back({control, isEnabled(*control), toolTip(*control)});
            setState(*control, false, reason);
        }
    }
}

void CameraFeatureControls::restore() {
    for (const Disabled& control : disabled)
        if (control.control != nullptr)
            setState(*control.control, control.enabled, control.toolTip);
    disabled.clear();
    shown = FeatureAvailability();
}

}  // namespace kelo::app
