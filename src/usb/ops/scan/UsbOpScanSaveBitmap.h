// Saves the bitmaps on the flash and hands the device to the low format.
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpScanSaveBitmap : public UsbOpScanStep {
public:
    UsbOpScanSaveBitmap() : UsbOpScanStep("ScanSaveBitmap", 50) { init(); }

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
