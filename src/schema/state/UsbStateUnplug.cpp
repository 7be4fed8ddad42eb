#include "schema/state/UsbStateUnplug.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateUnplug::UsbStateUnplug() : BaseState("StateUnplug", STATE_UNPLUG, false) { BaseState::initState(); }

}  // namespace Tessor::schema
