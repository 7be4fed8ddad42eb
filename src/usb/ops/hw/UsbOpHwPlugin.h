// Takes a plug-in reported by the device library and starts identification.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpHwPlugin : public schema::DeviceOperator {
public:
    UsbOpHwPlugin() : DeviceOperator("HwPlugin", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
