// Ejects the disk on the window's request.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpUiEjectDisk : public schema::DeviceOperator {
public:
    UsbOpUiEjectDisk() : DeviceOperator("UiEjectDisk", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
