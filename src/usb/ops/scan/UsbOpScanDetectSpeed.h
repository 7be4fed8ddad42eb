// Runs the access-speed probe on its signal, then chains to the pre-scan.
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpScanDetectSpeed : public UsbOpScanStep {
public:
    UsbOpScanDetectSpeed() : UsbOpScanStep("ScanDetectSpeed", 50) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
