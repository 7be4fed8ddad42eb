// A failed step; its entry reports the error code to the window.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateError : public BaseState {
public:
    UsbStateError();
};

}  // namespace Tessor::schema
