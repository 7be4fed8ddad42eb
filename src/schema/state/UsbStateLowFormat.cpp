#include "schema/state/UsbStateLowFormat.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateLowFormat::UsbStateLowFormat() : BaseState("StateLowFormat", STATE_LOW_FORMAT, true) { BaseState::initState(); }

}  // namespace Tessor::schema
