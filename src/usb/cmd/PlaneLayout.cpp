#include "usb/cmd/PlaneLayout.h"

#include "schema/base/Assert.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

namespace {

bool blockMode(schema::UsbDevice* device)
{
    Sptr<schema::ConfigInfo> settings = device->getConfigInfo();
    return settings && settings->checkBlockMode();
}

int planes(schema::UsbDevice* device)
{
    Sptr<schema::PlaneInfo> plane = device->getCurrentPlaneInfo();
    TESSOR_ASSERT(plane);
    return plane->getTotalPlanes();
}

}  // namespace

bool PlaneLayout::isSinglePlane(schema::UsbDevice* device)
{
    return !blockMode(device) && planes(device) == 1;
}

bool PlaneLayout::isBlockModeMultiPlane(schema::UsbDevice* device)
{
    return blockMode(device) && planes(device) > 1;
}

}  // namespace Tessor::usb
