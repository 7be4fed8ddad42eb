// Runs the pre-scan that picks the scan mode, then chains to the full scan.
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpScanDetermineMode : public UsbOpScanStep {
public:
    UsbOpScanDetermineMode() : UsbOpScanStep("ScanDetermineMode", 150) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
