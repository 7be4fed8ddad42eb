#include "schema/state/UsbStateHighFormat.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateHighFormat::UsbStateHighFormat() : BaseState("StateHighFormat", STATE_HIGH_FORMAT, true) { BaseState::initState(); }

}  // namespace Tessor::schema
