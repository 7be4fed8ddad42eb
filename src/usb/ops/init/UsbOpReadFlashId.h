// Identifies the flash; the device then waits for production.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpReadFlashId : public schema::DeviceOperator {
public:
    UsbOpReadFlashId() : DeviceOperator("ReadFlashId", 0) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
