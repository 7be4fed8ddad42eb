// Low-level format of the flash.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateLowFormat : public BaseState {
public:
    UsbStateLowFormat();
};

}  // namespace Tessor::schema
