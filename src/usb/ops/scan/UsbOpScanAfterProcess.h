// Closes the scan and chains straight to saving the bitmaps.
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpScanAfterProcess : public UsbOpScanStep {
public:
    UsbOpScanAfterProcess() : UsbOpScanStep("ScanAfterProcess", 100) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
