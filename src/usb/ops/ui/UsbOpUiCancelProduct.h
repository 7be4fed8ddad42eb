// Takes a cancel request back to waiting.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpUiCancelProduct : public schema::DeviceOperator {
public:
    UsbOpUiCancelProduct() : DeviceOperator("UiCancelProduct", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
