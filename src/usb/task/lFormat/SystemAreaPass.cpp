#include "usb/task/lFormat/SystemAreaPass.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CfgTableIndex.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/PlaneLayout.h"
#include "usb/scan/ScanObject.h"

namespace Tessor::schema {

int SystemAreaPass::setCount(UsbDevice* device)
{
    Sptr<usb::AllocatAddress> sets = device->getAllocatAddress();
    return sets ? sets->getCount() : 0;
}

Sptr<usb::AllocatAddress> SystemAreaPass::set(UsbDevice* device, int i)
{
    Sptr<usb::AllocatAddress> one = device->getAllocatAddress()->getData(i);
    TESSOR_ASSERT(one);
    return one;
}

int SystemAreaPass::assignAddresses(UsbDevice* device, const Sptr<usb::AllocatAddress>& set,
                                    const Sptr<BaseEvent>& event)
{
    Sptr<usb::CfgTable> table = device->getCfgTable();
    table->setAddress(set->getCfgTableAddress());
    device->getExternalCode()->setAddress(set->getExternalCodeAddress());
    if (device->getDpfCode() && set->getDpfCodeAddress()) {
        device->getDpfCode()->setAddress(set->getDpfCodeAddress());
    }
    if (usb::PlaneLayout::isSinglePlane(device)) {
        device->getFlagBitmap()->setAddress(set->getFlagTableAddress());
        // Each copy has page-bitmap pages of its own: none is left unwritten.
        if (set->getPageBitmapAddress()) {
            device->getPageBitmap()->setAddress(set->getPageBitmapAddress());
            // The flag table repeats the bits of this copy's page-bitmap blocks.
            if (device->getFlagBitmap()->update(device) != 0) {
                return fail(event, DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
            }
        }
    }
    table->getBuildInfo()->setAddress(set->getBuildInfoAddress());
    return 0;
}

int SystemAreaPass::reloadFirmware(usb::ScanObject& reload, CMD_COMMON_T firmware, const Sptr<BaseEvent>& event)
{
    const int result = reload.updateCfgAndCode(firmware);
    if (result == 0) {
        return 0;
    }
    CPLOG(3, "The controller of device %s did not take its table and firmware for the flash",
          reload.getDevice()->getName());
    return fail(event, result == DeviceCode::CFG_TABLE_DOWNLOAD_FAILED ? DeviceCode::CFG_TABLE_WRITE_FAILED : result);
}

bool SystemAreaPass::isIndexPointerFirmware(UsbDevice* device)
{
    Sptr<VersionInfo> version = device->getVersion();
    if (!version) {
        return false;
    }
    const VERSION_T n = version->getVersionNumber();
    return n == VERSION_6716V31 || n == VERSION_6716V32 || n == VERSION_6726;
}

Sptr<usb::CfgTableIndex> SystemAreaPass::indexOfSet(UsbDevice* device, const Sptr<usb::AllocatAddress>& set)
{
    if (!isIndexPointerFirmware(device)) {
        return Sptr<usb::CfgTableIndex>();
    }
    Sptr<usb::CfgTableIndex> index(new usb::CfgTableIndex(device));
    Sptr<BaseAddress> pages(new BaseAddress(device, 0, 0, 0));
    pages->addData(set->getCfgTableIndexAddress());
    index->setAddress(pages);
    device->setCfgTableIndex(index);
    return index;
}

int SystemAreaPass::finishTable(UsbDevice* device, const Sptr<BaseEvent>& event)
{
    const int result = device->getCfgTable()->finish(device);
    if (result == 0) {
        return 0;
    }
    CPLOG(3, "Update Config Table of device %s faile", device->getName());
    return fail(event, result == -DeviceCode::NO_USER_SETTING_FILE ? DeviceCode::NO_USER_SETTING_FILE
                                                                     : DeviceCode::CFG_TABLE_WRITE_FAILED);
}

int SystemAreaPass::fail(const Sptr<BaseEvent>& event, int code)
{
    event->setErrorCode(code);
    return -code;
}

void SystemAreaPass::logElapsed(const char* task, uint32_t started)
{
    const uint32_t elapsed = SystemInfo::getSystemTick() - started;
    CPLOG(7, " %s elasped %d s %d ms", task, static_cast<int>(elapsed / 1000), static_cast<int>(elapsed % 1000));
}

}  // namespace Tessor::schema
