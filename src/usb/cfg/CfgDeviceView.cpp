#include "usb/cfg/CfgDeviceView.h"

#include "schema/base/Assert.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

CfgDeviceView CfgDeviceView::of(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    CfgDeviceView view;
    view.flash = device->getFlashInfo();
    view.disk = device->getDiskInfo();
    view.plane = device->getCurrentPlaneInfo();
    view.scan = device->getScanConfig();
    view.settings = device->getConfigInfo();
    return view;
}

}  // namespace Tessor::usb
