// The ten states every device slot holds, each with its own operators.
#pragma once

#include "schema/state/BaseStateMachine.h"

namespace Tessor::schema {

// Adds one new instance of each state to `machine`, in type order.
void addDeviceStates(BaseStateMachine& machine);

}  // namespace Tessor::schema
