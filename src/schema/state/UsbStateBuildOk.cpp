#include "schema/state/UsbStateBuildOk.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateBuildOk::UsbStateBuildOk() : BaseState("StateBuildOk", STATE_BUILD_OK, false) { BaseState::initState(); }

}  // namespace Tessor::schema
