// Takes the device library's answer to an eject.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpHwEject : public schema::DeviceOperator {
public:
    UsbOpHwEject() : DeviceOperator("HwEject", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
