// Base of the scan operators that follow the entry: each acts on its own
// signal only and, when its tasks did not fail, writes the next signal into
// the same event so the next scan operator runs in the same pass.
#pragma once

#include "schema/event/DeviceSignalType.h"
#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpScanStep : public schema::DeviceOperator {
public:
    UsbOpScanStep(const std::string& name, int weight) : DeviceOperator(name, weight) {}

protected:
    // The error state when the event carries an error, else noState with `next` chained.
    Sptr<schema::BaseState> chain(const Sptr<schema::BaseEvent>& event, schema::DeviceSignalType next);
};

}  // namespace Tessor::usb
