// Starts a production run, or carries out a login operation.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::schema {
class ConfigInfo;
}

namespace Tessor::usb {

class UsbOpUiStartProduct : public schema::DeviceOperator {
public:
    UsbOpUiStartProduct() : DeviceOperator("UiStartProduct", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

private:
    // The login road: opens or unprotects the hidden units, or lets a
    // password change go on to production (noState).
    Sptr<schema::BaseState> login(const Sptr<schema::BaseEvent>& event, schema::UsbDevice* device,
                                  const schema::ConfigInfo& settings);
};

}  // namespace Tessor::usb
