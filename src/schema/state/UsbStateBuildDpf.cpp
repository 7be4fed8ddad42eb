#include "schema/state/UsbStateBuildDpf.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

UsbStateBuildDpf::UsbStateBuildDpf() : BaseState("StateBuildDpf", STATE_BUILD_DPF, true) { BaseState::initState(); }

}  // namespace Tessor::schema
