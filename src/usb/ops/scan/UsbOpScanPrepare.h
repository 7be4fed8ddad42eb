// Entry of the scanning state: chooses the scan road by the scan level and posts its first signal.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpScanPrepare : public schema::DeviceOperator {
public:
    UsbOpScanPrepare() : DeviceOperator("ScanPrepare", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
