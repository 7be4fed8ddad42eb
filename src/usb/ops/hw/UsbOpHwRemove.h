// Takes a removal or a device error reported by the device library.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpHwRemove : public schema::DeviceOperator {
public:
    UsbOpHwRemove() : DeviceOperator("HwRemove", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
