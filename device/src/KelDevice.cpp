#include "device/KelDevice.h"

namespace Brevanta {

KelDevice::KelDevice(QObject* parent) : QObject(parent) {}

KelDevice::~KelDevice() = default;

}  // namespace Brevanta
