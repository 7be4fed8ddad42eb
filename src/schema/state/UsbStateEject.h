// Eject requested; waiting for the device library's answer.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateEject : public BaseState {
public:
    UsbStateEject();
};

}  // namespace Tessor::schema
