// A finished device waiting for its eject.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateBuildOk : public BaseState {
public:
    UsbStateBuildOk();

    void initState() override;
};

}  // namespace Tessor::schema
