// Base of the low-format operators: each takes its own signal only and
// reports what is left of its weight once its tasks have run, so the
// state's bar ends at its total and never passes it.
#pragma once

#include "usb/ops/scan/UsbOpScanStep.h"

namespace Tessor::usb {

class UsbOpLfStep : public UsbOpScanStep {
public:
    UsbOpLfStep(const std::string& name, int weight, schema::DeviceSignalType signal)
        : UsbOpScanStep(name, weight), m_signal(signal)
    {
    }

protected:
    bool takes(const Sptr<schema::BaseEvent>& event) { return getDeviceEventType(event) == m_signal; }
    // Runs the tasks and completes the operator's share of the bar.
    void runToTotal(const Sptr<schema::BaseEvent>& event);
    Sptr<schema::BaseState> errorState(const Sptr<schema::BaseEvent>& event);

private:
    schema::DeviceSignalType m_signal;
};

}  // namespace Tessor::usb
