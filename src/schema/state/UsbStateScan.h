// Scanning the flash for bad blocks.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateScan : public BaseState {
public:
    UsbStateScan();
};

}  // namespace Tessor::schema
