#include "schema/state/UsbStateEject.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateEject::UsbStateEject() : BaseState("StateEject", STATE_EJECT, false) { BaseState::initState(); }

}  // namespace Tessor::schema
