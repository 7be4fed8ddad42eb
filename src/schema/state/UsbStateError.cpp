#include "schema/state/UsbStateError.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateError::UsbStateError() : BaseState("StateError", STATE_ERROR, false) { BaseState::initState(); }

}  // namespace Tessor::schema
