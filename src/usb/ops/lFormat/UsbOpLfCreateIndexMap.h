// Builds the index tables of every block set the set list holds.
#pragma once

#include "usb/ops/lFormat/UsbOpLfStep.h"

namespace Tessor::usb {

class UsbOpLfCreateIndexMap : public UsbOpLfStep {
public:
    UsbOpLfCreateIndexMap() : UsbOpLfStep("CreateIndexMap", 50, schema::DEV_SIG_CREATE_INDEX_MAP) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
