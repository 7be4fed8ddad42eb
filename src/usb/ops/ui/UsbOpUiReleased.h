// Releases the device once the window has let go of it.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpUiReleased : public schema::DeviceOperator {
public:
    UsbOpUiReleased() : DeviceOperator("UiReleased", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
