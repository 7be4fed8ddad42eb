#include "schema/state/UsbStateWait.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateWait::UsbStateWait() : BaseState("StateWait", STATE_WAIT, false) { BaseState::initState(); }

}  // namespace Tessor::schema
