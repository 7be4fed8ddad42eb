// No device on the port, or one the window has released.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateUnplug : public BaseState {
public:
    UsbStateUnplug();
};

}  // namespace Tessor::schema
