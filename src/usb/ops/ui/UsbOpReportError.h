// Entry of the error state: reports the event's error code to the window.
#pragma once

#include "schema/ops/DeviceOperator.h"

namespace Tessor::usb {

class UsbOpReportError : public schema::DeviceOperator {
public:
    UsbOpReportError() : DeviceOperator("ReportError", 0) {}

    Sptr<schema::BaseState> process(Sptr<schema::BaseEvent> event) override;
};

}  // namespace Tessor::usb
