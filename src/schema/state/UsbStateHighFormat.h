// High-level format of the partitions.
#pragma once

#include "schema/state/BaseState.h"

namespace Tessor::schema {

class UsbStateHighFormat : public BaseState {
public:
    UsbStateHighFormat();
};

}  // namespace Tessor::schema
