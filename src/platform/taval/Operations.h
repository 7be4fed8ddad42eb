// The operations table every device record points at.
#pragma once

#include "platform/taval/Taval.h"

namespace Tessor::taval {

DEV_OPERATIONS_T& deviceOperations();

}  // namespace Tessor::taval
