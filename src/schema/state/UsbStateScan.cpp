#include "schema/state/UsbStateScan.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateScan::UsbStateScan() : BaseState("StateScan", STATE_SCAN, true) { BaseState::initState(); }

}  // namespace Tessor::schema
