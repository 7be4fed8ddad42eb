// Reads the version block and downloads the default table and the scan code.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpReadVersion : public schema::DeviceOperator {
public:
    UsbOpReadVersion() : DeviceOperator("ReadVersion", 0) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
