// A finished device waiting for its eject.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateBuildOk : public BaseState {
public:
    UsbStateBuildOk();
};

}  // namespace Tessor::schema
