// Reads the written system area back; a device that passes goes on to the
// high-level format, unless the run ends here.
#pragma once

#include "usb/ops/lFormat/UsbOpLfStep.h"

namespace Tessor::usb {

class UsbOpLfVerifyData : public UsbOpLfStep {
public:
    UsbOpLfVerifyData();

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
