// Runs the full scan (or the read-back of saved bitmaps), then chains on.
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpScanProcess : public UsbOpScanStep {
public:
    UsbOpScanProcess() : UsbOpScanStep("ScanProcess", 600) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
