#include "schema/state/UsbStateInit.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/init/UsbOpReadFlashId.h"
#include "usb/ops/init/UsbOpReadVersion.h"
#include "usb/ops/ui/UsbOpUiEjectDisk.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateInit::UsbStateInit() : BaseState("StateInit", STATE_INIT, false) { UsbStateInit::initState(); }

void UsbStateInit::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpReadVersion()));
    addOperator(Sptr<BaseOperator>(new UsbOpReadFlashId()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiEjectDisk()));
}

}  // namespace Tessor::schema
