#include "usb/ops/ui/UsbOpReportError.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpReportError::process(Sptr<BaseEvent> event)
{
    doCpLog(event);
    sendUiEvent(event, UI_SIG_STATUS);
    return noState;
}

}  // namespace Tessor::usb
