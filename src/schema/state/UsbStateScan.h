// Scanning the flash for bad blocks.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateScan : public BaseState {
public:
    UsbStateScan();

    void initState() override;
};

}  // namespace Tessor::schema
