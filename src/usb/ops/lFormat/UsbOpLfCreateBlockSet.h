// Cuts the scanned flash into block sets (after placing the photo-frame
// areas on a photo frame), then chains to the index map.
#pragma once

#include "usb/ops/lFormat/UsbOpLfStep.h"

namespace Tessor::usb {

class UsbOpLfCreateBlockSet : public UsbOpLfStep {
public:
    UsbOpLfCreateBlockSet();

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
