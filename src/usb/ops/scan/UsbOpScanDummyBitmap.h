// Gives the device an all-good bitmap (the missing pages of triple-level cells bad).
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpScanDummyBitmap : public UsbOpScanStep {
public:
    UsbOpScanDummyBitmap() : UsbOpScanStep("ScanDumyBitmap", 50) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
