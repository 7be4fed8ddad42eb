// Photo-frame build; no operator leads here.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateBuildDpf : public BaseState {
public:
    UsbStateBuildDpf();
};

}  // namespace Tessor::schema
