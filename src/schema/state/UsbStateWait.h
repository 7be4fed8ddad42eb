// An identified device waiting for production.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateWait : public BaseState {
public:
    UsbStateWait();
};

}  // namespace Tessor::schema
