// Formats every partition and ends the run built.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpHfFormatAllPartitions : public schema::DeviceOperator {
public:
    UsbOpHfFormatAllPartitions() : DeviceOperator("FormatAllPartitions", 200) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
