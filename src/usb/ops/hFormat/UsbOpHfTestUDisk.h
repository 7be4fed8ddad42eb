// First step of the high format: in the factory function the high-format
// table and code go to the controller's RAM before the disk test; user and
// login runs write their table to the flash.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpHfTestUDisk : public schema::DeviceOperator {
public:
    UsbOpHfTestUDisk() : DeviceOperator("TestUDisk", 100) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
