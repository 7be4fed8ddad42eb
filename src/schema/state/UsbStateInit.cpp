#include "schema/state/UsbStateInit.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateInit::UsbStateInit() : BaseState("StateInit", STATE_INIT, false) { BaseState::initState(); }

}  // namespace Tessor::schema
