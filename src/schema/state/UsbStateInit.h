// A plugged device being identified.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateInit : public BaseState {
public:
    UsbStateInit();
};

}  // namespace Tessor::schema
