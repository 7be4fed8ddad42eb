// Brings the run settings to the capacity the block sets offer and writes
// the system area and the index tables.
#pragma once

#include "usb/ops/lFormat/UsbOpLfStep.h"

namespace Tessor::usb {

class UsbOpLfWriteData : public UsbOpLfStep {
public:
    UsbOpLfWriteData();

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;

protected:
    void init() override;
};

}  // namespace Tessor::usb
